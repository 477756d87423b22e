// Times the folder scanner against `find` listing the same tree with modification
// times, warm cache, in one run. Prints each time and the ratio to the baseline.

#include "ApplyScanResult.h"
#include "Catalog.h"
#include "ExtensionTable.h"
#include "FolderScanner.h"
#include "ScanPasses.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kGroupCount = 50;
constexpr int kFoldersPerGroup = 99; // 50 + 50 * 99 = 5,000 folders
constexpr int kFilesPerFolder = 20; // 100,000 files
constexpr int kRounds = 3;

const char *const kNameEndings[] = {
    ".jpg", ".JPG", ".png", ".mp3", ".avi",    ".wav", ".gif", ".tif",  ".mpeg", ".txt",
    ".doc", ".pdf", ".ini", "",     ".tar.gz", ".wmv", ".bmp", ".html", ".xml",  ".Mpg",
};

bool createEmptyFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

int generateTree(const QString &root)
{
    int files = 0;
    int ending = 0;
    const auto fillFolder = [&](const QString &folder) {
        QDir().mkpath(folder);
        for (int f = 0; f < kFilesPerFolder; ++f) {
            const char *end = kNameEndings[ending++ % int(std::size(kNameEndings))];
            if (createEmptyFile(QStringLiteral("%1/file%2%3").arg(folder).arg(f).arg(QLatin1String(end))))
                ++files;
        }
    };
    for (int g = 0; g < kGroupCount; ++g) {
        const QString group = QStringLiteral("%1/group%2").arg(root).arg(g, 2, 10, QLatin1Char('0'));
        fillFolder(group);
        for (int a = 0; a < kFoldersPerGroup; ++a)
            fillFolder(QStringLiteral("%1/album%2").arg(group).arg(a, 3, 10, QLatin1Char('0')));
    }
    return files;
}

// Best of a few rounds: the least disturbed by the other work on the machine.
double bestMilliseconds(const std::function<void()> &work)
{
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

qint64 runFind(const QString &root)
{
    QProcess find;
    find.start(
        QStringLiteral("find"),
        {root, QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-printf"), QStringLiteral("%T@ %p\\n")});
    qint64 bytes = 0;
    while (find.waitForReadyRead(-1))
        bytes += find.readAllStandardOutput().size();
    find.waitForFinished(-1);
    return bytes + find.readAllStandardOutput().size();
}

std::size_t runScan(const QString &root, const std::vector<ScanPass> &passes)
{
    FolderScanner scanner({root, true, passes});
    scanner.run();
    return scanner.result().files.size();
}

void compare(const char *label, const QString &root, const std::vector<ScanPass> &passes, double findMs)
{
    std::size_t found = 0;
    const double scanMs = bestMilliseconds([&] { found = runScan(root, passes); });
    std::printf("%-28s %9.1f ms  %7zu files  ratio to find %.2f\n", label, scanMs, found, scanMs / findMs);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString root = dir.filePath(QStringLiteral("media"));
    QElapsedTimer timer;
    timer.start();
    const int fileCount = generateTree(root);
    std::printf("tree: %d files in %d folders under %s (built in %.1f s)\n", fileCount,
                kGroupCount * (kFoldersPerGroup + 1), qPrintable(root), double(timer.elapsed()) / 1000);

    const std::vector<ScanPass> media = ScanPasses::forMediaScan(ScanPasses::builtInExtensions(), ExtensionTable());
    const std::vector<ScanPass> allFiles = ScanPasses::forAllFilesScan();
    // Warm the cache once for everyone.
    runFind(root);
    runScan(root, allFiles);

    qint64 findBytes = 0;
    const double findMs = bestMilliseconds([&] { findBytes = runFind(root); });
    std::printf("%-28s %9.1f ms  %7lld bytes of output\n", "find -type f -printf", findMs,
                static_cast<long long>(findBytes));
    compare("scan, 17 built-in passes", root, media, findMs);
    compare("scan, all files", root, allFiles, findMs);

    FolderScanner scanner({root, true, allFiles});
    scanner.run();
    const ScanResult result = scanner.takeResult();
    const double applyMs = bestMilliseconds([&] {
        Catalog catalog;
        catalog.resetToEmpty();
        catalog.setTemporaryIndex(1);
        applyScanResult(result, catalog);
    });
    std::printf("%-28s %9.1f ms  %7zu records\n", "filing the all-files result", applyMs, result.files.size());
    return 0;
}
