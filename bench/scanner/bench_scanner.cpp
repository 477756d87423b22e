// Times scanning against baselines measured in the same run, on trees of 100,000 and
// 300,000 files generated under /tmp (warm cache):
//
// - the walk alone against a plain readdir walk that does what the scan does on disk
//   and no more (d_type from the listing, a stat only where it gives none);
// - Search All Files end to end in a window (scan dialog, progress window, file list
//   in a view) against `find DIR -type f | wc -l`, with the longest time the event
//   loop did not run (a 2 ms timer noting the gap between its firings), so that a
//   freeze shows as a number;
// - Cancel pressed halfway: how long until the program is idle again, and the
//   longest freeze after the press.
//
// Each time is given as the best of a few runs and as the first run. Run with
// QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 and an accessibility bus to measure a desktop
// with a screen reader.
//
// Usage: bench_scanner [file count in thousands ...]   (default: 100 300)

#include "AgreeingInteraction.h"
#include "AllocatorTuning.h"
#include "AppSettings.h"
#include "Catalog.h"
#include "ExtensionTable.h"
#include "FileIconCache.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FileTypeCache.h"
#include "FolderScanner.h"
#include "FreezeProbe.h"
#include "Interaction.h"
#include "ScanContext.h"
#include "ScanDialog.h"
#include "ScanPasses.h"
#include "ScanProgressWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kRounds = 3;
constexpr int kFilesPerFolder = 20;
constexpr int kFoldersPerGroup = 50;

const char *const kNameEndings[] = {
    ".jpg", ".JPG", ".png", ".mp3", ".avi",    ".wav", ".gif", ".tif",  ".mpeg", ".txt",
    ".doc", ".pdf", ".ini", "",     ".tar.gz", ".wmv", ".bmp", ".html", ".xml",  ".Mpg",
};

// group/album folders of kFilesPerFolder files each; returns the file count.
int generateTree(const std::string &root, int fileCount)
{
    ::mkdir(root.c_str(), 0755);
    int files = 0;
    int ending = 0;
    for (int group = 0; files < fileCount; ++group) {
        const std::string groupPath = root + "/group" + std::to_string(group);
        ::mkdir(groupPath.c_str(), 0755);
        for (int album = 0; album < kFoldersPerGroup && files < fileCount; ++album) {
            const std::string folder = groupPath + "/album" + std::to_string(album);
            ::mkdir(folder.c_str(), 0755);
            for (int f = 0; f < kFilesPerFolder && files < fileCount; ++f) {
                const std::string path
                    = folder + "/file" + std::to_string(f) + kNameEndings[ending++ % int(std::size(kNameEndings))];
                const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
                if (fd >= 0) {
                    ::close(fd);
                    ++files;
                }
            }
        }
    }
    return files;
}

// What the scan must do on disk: list every folder, take the kind of each entry from
// the listing, and stat only the entries whose kind the listing leaves out.
long readdirWalk(int parentFd, const char *name)
{
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    DIR *directory = ::fdopendir(fd);
    if (!directory) {
        ::close(fd);
        return 0;
    }
    long files = 0;
    while (const dirent *entry = ::readdir(directory)) {
        if (entry->d_name[0] == '.' && (!entry->d_name[1] || (entry->d_name[1] == '.' && !entry->d_name[2])))
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat status;
            if (::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR)
            files += readdirWalk(fd, entry->d_name);
        else if (type == DT_REG)
            ++files;
    }
    ::closedir(directory);
    return files;
}

struct Timing {
    double best = 1e300;
    double first = 0;
};

Timing timeRuns(const std::function<void()> &work)
{
    Timing timing;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (round == 0)
            timing.first = ms;
        timing.best = std::min(timing.best, ms);
    }
    return timing;
}

void print(const char *label, const Timing &timing, const Timing &baseline, const char *note = "")
{
    std::printf("  %-40s best %8.1f ms (%.2fx)  first %8.1f ms (%.2fx)  %s\n", label, timing.best,
                timing.best / baseline.best, timing.first, timing.first / baseline.first, note);
}

// What the main window owns, with the file list shown in its view.
struct Window {
    Catalog catalog;
    FileTypeCache types;
    FileIconCache icons{[](const QString &) { return QIcon(); }};
    FileListModel fileList{icons, types};
    AgreeingInteraction interaction;
    AppSettings settings;
    ExtensionTable extensions;
    bool includeSubfolders = true;
    FileListView view;

    Window()
    {
        catalog.resetToEmpty();
        catalog.tree().addRoot(Catalog::kTemporaryName);
        catalog.findTemporary();
        view.setModel(&fileList);
        view.resize(800, 600);
        view.show();
    }
    ScanContext context()
    {
        return {catalog, fileList, interaction, settings, extensions, includeSubfolders, [](int) {}};
    }
};

struct EndToEnd {
    double ms = 0;
    double longestFreezeMs = 0;
    int rows = 0;
};

// Search All Files from the button to the closing message, in a window.
EndToEnd searchAllFiles(const QString &folder)
{
    Window window;
    auto *dialog = new ScanDialog(window.context());
    dialog->setFolder(folder);
    dialog->show();
    QCoreApplication::processEvents();
    FreezeProbe probe;
    QEventLoop loop;
    QObject::connect(dialog, &ScanDialog::scanEnded, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    probe.start();
    timer.start();
    dialog->RunAllFilesScan();
    loop.exec();
    EndToEnd result{double(timer.nsecsElapsed()) / 1e6, probe.longestMs(), window.fileList.rowCount()};
    delete dialog;
    return result;
}

struct Cancelled {
    double untilIdleMs = 0;
    double longestFreezeMs = 0;
    qsizetype filed = 0;
};

// Search All Files cancelled after the given time: from the press until the scan has
// filed what it found and no window of it is left.
Cancelled cancelAfter(const QString &folder, int afterMs)
{
    Window window;
    QPointer<ScanDialog> dialog = new ScanDialog(window.context());
    dialog->setFolder(folder);
    dialog->show();
    QCoreApplication::processEvents();
    FreezeProbe probe;
    QElapsedTimer sincePress;
    QEventLoop loop;
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(afterMs, [&] {
        probe.start();
        sincePress.start();
        if (dialog && dialog->progressWindow())
            dialog->progressWindow()->button()->click();
    });
    dialog->RunAllFilesScan();
    loop.exec();
    Cancelled result{double(sincePress.nsecsElapsed()) / 1e6, probe.longestMs(), 0};
    // Idle: nothing left to run once the loop has nothing queued.
    QCoreApplication::processEvents();
    for (int i = 0; i < window.catalog.records().size(); ++i)
        result.filed += window.catalog.records().categoryAt(i) == window.catalog.TemporaryIndex() ? 1 : 0;
    return result;
}

long countWithFind(const QString &folder)
{
    QProcess shell;
    shell.start(QStringLiteral("sh"),
                {QStringLiteral("-c"), QStringLiteral("find \"$0\" -type f | wc -l"), folder});
    shell.waitForFinished(-1);
    return shell.readAllStandardOutput().trimmed().toLong();
}

void benchmark(int thousands)
{
    const std::string root = "/tmp/corvanta-bench-scanner-" + std::to_string(thousands) + "k";
    const QString folder = QString::fromStdString(root);
    QElapsedTimer built;
    built.start();
    int files = int(readdirWalk(AT_FDCWD, root.c_str()));
    if (files != thousands * 1000) {
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), folder});
        files = generateTree(root, thousands * 1000);
    }
    std::printf("%d files under %s (ready in %.1f s)\n", files, root.c_str(), double(built.elapsed()) / 1000);

    // Warm the cache for everyone.
    readdirWalk(AT_FDCWD, root.c_str());
    long counted = 0;
    const Timing readdir = timeRuns([&] { counted = readdirWalk(AT_FDCWD, root.c_str()); });
    print("readdir walk (baseline of the walk)", readdir, readdir);
    const Timing find = timeRuns([&] { counted = countWithFind(folder); });
    print("find -type f | wc -l (baseline end to end)", find, find);

    std::size_t found = 0;
    const Timing allFiles = timeRuns([&] {
        FolderScanner scanner({folder, true, ScanPasses::forAllFilesScan()});
        scanner.run();
        found = scanner.result().files.size();
    });
    print("walk, all files", allFiles, readdir);
    const std::vector<ScanPass> media = ScanPasses::forMediaScan(ScanPasses::builtInExtensions(), ExtensionTable());
    const Timing mediaWalk = timeRuns([&] {
        FolderScanner scanner({folder, true, media});
        scanner.run();
    });
    print("walk, 17 built-in passes", mediaWalk, readdir);

    Timing endToEnd;
    double longestFreeze = 0;
    int rows = 0;
    for (int round = 0; round < kRounds; ++round) {
        const EndToEnd run = searchAllFiles(folder);
        if (round == 0)
            endToEnd.first = run.ms;
        endToEnd.best = std::min(endToEnd.best, run.ms);
        longestFreeze = std::max(longestFreeze, run.longestFreezeMs);
        rows = run.rows;
    }
    char note[96];
    std::snprintf(note, sizeof note, "%d rows, longest freeze %.0f ms", rows, longestFreeze);
    print("Search All Files in the window", endToEnd, find, note);

    // Halfway through the walk.
    const Cancelled cancelled = cancelAfter(folder, int(allFiles.best / 2));
    std::printf("  %-40s idle after %6.1f ms, longest freeze %.0f ms, %lld files kept\n",
                "Cancel halfway through", cancelled.untilIdleMs, cancelled.longestFreezeMs,
                static_cast<long long>(cancelled.filed));
}

} // namespace

int main(int argc, char **argv)
{
    tuneAllocatorForLargeCatalogs(argv); // as the program runs
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QString::fromLocal8Bit(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = {100, 300};
    for (const int thousands : sizes)
        benchmark(thousands);
    return 0;
}
