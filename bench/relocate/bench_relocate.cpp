// Times Locate (the walk of a folder and the matching of missing files against what it
// finds, on the job's thread, until finished() reaches the event loop) against
// `find DIR -type f | wc -l` in the same run, on a tree of 100,000 files generated
// under /tmp (warm cache), with the longest time the event loop did not run while the
// job ran (a 2 ms timer noting the gap between its firings). The two take turns, five
// rounds each, and each is given as its best and its first run.
//
// The tree holds 5,000 album folders of 20 files: a cover.jpg and nine tracks whose
// names recur in every album, and ten pictures of names of their own. The missing
// files are every tenth (a cover and a picture per album), as they were on a drive
// mounted elsewhere; the covers can only be told apart by their folders. A second
// round adds 990,000 missing files that are nowhere on disk, for the cost of a large
// list.
//
// Usage: bench_relocate [file count in thousands] [further missing files in thousands]
//        (defaults: 100 and 990; 0 leaves the second round out)

#include "AllocatorTuning.h"
#include "FreezeProbe.h"
#include "RelocationJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kRounds = 5;
constexpr int kFilesPerFolder = 20;
constexpr int kFoldersPerGroup = 50;
constexpr int kMissingOfTen = 1;
const char *const kOldRoot = "/media/alice/OldDrive/Music";

std::string nameInAlbum(int folderIndex, int file)
{
    if (file == 0)
        return "cover.jpg";
    if (file < 10)
        return "track0" + std::to_string(file) + ".mp3";
    return "IMG_" + std::to_string(folderIndex * kFilesPerFolder + file) + ".JPG";
}

std::string albumPath(int folderIndex)
{
    return "group" + std::to_string(folderIndex / kFoldersPerGroup) + "/album"
        + std::to_string(folderIndex % kFoldersPerGroup);
}

// Creates the tree unless it is there already; returns the missing paths its files
// were catalogued under before they moved.
std::vector<QByteArray> prepareTree(const std::string &root, int fileCount)
{
    const int folders = fileCount / kFilesPerFolder;
    const bool present = ::access((root + "/" + albumPath(folders - 1) + "/cover.jpg").c_str(), F_OK) == 0;
    if (!present) {
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), QString::fromStdString(root)});
        ::mkdir(root.c_str(), 0755);
    }
    std::vector<QByteArray> missing;
    for (int folder = 0; folder < folders; ++folder) {
        const std::string album = albumPath(folder);
        if (!present) {
            ::mkdir((root + "/" + album.substr(0, album.find('/'))).c_str(), 0755);
            ::mkdir((root + "/" + album).c_str(), 0755);
        }
        for (int file = 0; file < kFilesPerFolder; ++file) {
            const std::string name = nameInAlbum(folder, file);
            if (!present) {
                const int fd = ::open((root + "/" + album + "/" + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                if (fd >= 0)
                    ::close(fd);
            }
            if (file % 10 < kMissingOfTen)
                missing.push_back(QByteArray::fromStdString(std::string(kOldRoot) + "/" + album + "/" + name));
        }
    }
    return missing;
}

struct Timing {
    double best = 1e300;
    double first = 0;
    double longestFreezeMs = 0;
};

void note(Timing &timing, int round, double ms)
{
    if (round == 0)
        timing.first = ms;
    timing.best = std::min(timing.best, ms);
}

long countWithFind(const QString &folder)
{
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("find \"$0\" -type f | wc -l"), folder});
    shell.waitForFinished(-1);
    return shell.readAllStandardOutput().trimmed().toLong();
}

double timeFind(const QString &folder, long *files)
{
    QElapsedTimer timer;
    timer.start();
    *files = countWithFind(folder);
    return double(timer.nsecsElapsed()) / 1e6;
}

// Locate as the window runs it: the list of missing files handed over, the job
// started, the event loop turning until finished() arrives, and the job deleted.
double timeLocate(const QString &folder, const std::vector<QByteArray> &missing, Timing &timing,
                  RelocationResult *result)
{
    std::vector<QByteArray> handedOver = missing;
    FreezeProbe probe;
    QEventLoop loop;
    QElapsedTimer timer;
    probe.start();
    timer.start();
    double ms = 0;
    {
        RelocationJob job(folder, MovedFileMatcher(std::move(handedOver)));
        QObject::connect(&job, &RelocationJob::finished, &loop, &QEventLoop::quit);
        job.start();
        loop.exec();
        ms = double(timer.nsecsElapsed()) / 1e6;
        *result = job.takeResult();
    }
    timing.longestFreezeMs = std::max(timing.longestFreezeMs, probe.longestMs());
    return ms;
}

void print(const char *label, const Timing &timing, const Timing &baseline, const char *note = "")
{
    std::printf("  %-44s best %8.1f ms (%.2fx)  first %8.1f ms (%.2fx)  %s\n", label, timing.best,
                timing.best / baseline.best, timing.first, timing.first / baseline.first, note);
}

// find and Locate take turns, so that both meet the same load of the machine.
void compare(const char *label, const QString &folder, const std::vector<QByteArray> &missing)
{
    Timing find;
    Timing locate;
    RelocationResult result;
    long files = 0;
    for (int round = 0; round < kRounds; ++round) {
        note(find, round, timeFind(folder, &files));
        note(locate, round, timeLocate(folder, missing, locate, &result));
    }
    std::printf("%s: %ld files, %zu missing\n", label, files, missing.size());
    print("find -type f | wc -l (baseline)", find, find);
    char text[160];
    std::snprintf(text, sizeof text, "found %d, ambiguous %d; %d files seen; longest freeze %.1f ms",
                  result.foundCount, result.ambiguousCount, result.filesSeen, locate.longestFreezeMs);
    print("Locate, walk and match", locate, find, text);
}

} // namespace

int main(int argc, char **argv)
{
    tuneAllocatorForLargeCatalogs(argv); // as the program runs
    QCoreApplication app(argc, argv);
    const int thousands = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100;
    const int furtherThousands = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 990;
    const std::string root = "/tmp/corvanta-bench-relocate-" + std::to_string(thousands) + "k";
    const QString folder = QString::fromStdString(root);

    QElapsedTimer built;
    built.start();
    std::vector<QByteArray> missing = prepareTree(root, thousands * 1000);
    countWithFind(folder); // warms the cache for everyone
    std::printf("%s ready in %.1f s\n", root.c_str(), double(built.elapsed()) / 1000);
    compare("The moved files", folder, missing);

    if (furtherThousands <= 0)
        return 0;
    const std::size_t moved = missing.size();
    for (int i = 0; missing.size() < moved + std::size_t(furtherThousands) * 1000; ++i)
        missing.push_back(QByteArray(kOldRoot) + "/gone/folder" + QByteArray::number(i % 1000) + "/DSC_"
                          + QByteArray::number(i) + ".JPG");
    compare("And missing files that are nowhere on disk", folder, missing);
    return 0;
}
