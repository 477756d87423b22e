// Thumbnails of camera-size photos: the first screenful and the whole folder with an
// empty cache, the first screenful again from the cache, and a grid of 10,000 rows
// scrolled from top to bottom; and the grid over a million rows.
//
// The photos are JPEGs of 4000 by 3000 pixels at quality 90, made once in the given
// folder (default: 1,000 of them in the temporary folder). The baseline is GNOME's
// gdk-pixbuf-thumbnailer (package libgdk-pixbuf2.0-bin), run once per file at size 128
// as a file manager runs it, in the same run. The scroll measures the longest time the
// event loop did not run (a 2 ms timer notes the gap between its firings).
//
// Usage: bench_thumbnails [COUNT] [FOLDER]

#include "FileListModel.h"
#include "FileThumbnailView.h"
#include "FreezeProbe.h"
#include "ThumbnailCacheDir.h"
#include "ThumbnailFile.h"
#include "ThumbnailLoader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr int kScreenful = 40;
constexpr int kScrollRows = 10000;

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// A photo-like picture: smooth light with texture, so that the JPEG holds about what
// a camera's would, unlike a flat fill.
QImage makePhoto(int seed)
{
    QImage photo(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
    quint32 noise = 2654435761u * quint32(seed + 1);
    for (int y = 0; y < kPhotoHeight; ++y) {
        auto *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < kPhotoWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            const int r = (x * 255 / kPhotoWidth + seed * 37 + grain) & 0xFF;
            const int g = (y * 255 / kPhotoHeight + ((x / 97 + y / 89) & 1) * 40 + grain) & 0xFF;
            const int b = ((x + y) * 255 / (kPhotoWidth + kPhotoHeight) + seed * 11 + grain) & 0xFF;
            line[x] = qRgb(r, g, b);
        }
    }
    return photo;
}

QStringList makePhotos(const QString &folder, int count)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths.append(folder + QStringLiteral("/photo %1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    std::atomic_int next{0};
    std::atomic_int made{0};
    QElapsedTimer clock;
    clock.start();
    auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            if (QFileInfo::exists(paths[i]))
                continue;
            makePhoto(i).save(paths[i], "jpg", 90);
            ++made;
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    if (made > 0)
        std::printf("made %d photos of %dx%d in %.1f s\n", int(made), kPhotoWidth, kPhotoHeight,
                    double(clock.elapsed()) / 1e3);
    return paths;
}

void report(const char *what, double ms, double baselineMs)
{
    if (baselineMs > 0)
        std::printf("%-58s %9.1f ms  (%.2f x baseline %.1f ms)\n", what, ms, ms / baselineMs, baselineMs);
    else
        std::printf("%-58s %9.1f ms\n", what, ms);
    std::fflush(stdout);
}

struct Baseline {
    double screenfulMs = -1;
    double allMs = -1;
    double cpuMs = -1; // of the thumbnailer processes
};

double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

Baseline runBaseline(const QStringList &photos, const QString &outFolder)
{
    Baseline baseline;
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("gdk-pixbuf-thumbnailer"));
    if (tool.isEmpty()) {
        std::printf("gdk-pixbuf-thumbnailer not found (package libgdk-pixbuf2.0-bin): no baseline\n");
        return baseline;
    }
    QDir(outFolder).removeRecursively();
    QDir().mkpath(outFolder);
    const double cpuBefore = childrenCpuMs();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < photos.size(); ++i) {
        QProcess::execute(tool, {QStringLiteral("-s"), QStringLiteral("128"), photos[i],
                                 outFolder + QStringLiteral("/%1.png").arg(i)});
        if (i + 1 == kScreenful)
            baseline.screenfulMs = double(clock.nsecsElapsed()) / 1e6;
    }
    baseline.allMs = double(clock.nsecsElapsed()) / 1e6;
    baseline.cpuMs = childrenCpuMs() - cpuBefore;
    return baseline;
}

QStandardItemModel *makeModel(const QStringList &paths, QObject *parent)
{
    auto *model = new QStandardItemModel(parent);
    QList<QStandardItem *> items;
    items.reserve(paths.size());
    for (const QString &path : paths) {
        auto *item = new QStandardItem(QFileInfo(path).completeBaseName());
        item->setData(path, FileListModel::PathRole);
        items.append(item);
    }
    model->invisibleRootItem()->appendRows(items);
    return model;
}

// A grid of 8 by 5 cells: the first screenful is the first 40 rows.
void showScreenful(FileThumbnailView &view)
{
    const QSize cell = view.gridSize();
    view.resize(cell.width() * 8 + view.verticalScrollBar()->sizeHint().width() + 4, cell.height() * 5 + 4);
    view.show();
}

// Runs the event loop until the condition holds or the time is up.
bool waitFor(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

bool screenfulReady(const ThumbnailLoader &loader, const QStringList &paths)
{
    for (int i = 0; i < kScreenful && i < paths.size(); ++i)
        if (loader.thumbnail(paths[i], ThumbnailSize::Normal).isNull() && !loader.hasNone(paths[i], ThumbnailSize::Normal))
            return false;
    return true;
}

// Cold cache: the first screenful, then every photo as if the user scrolled on.
void measureCold(const QStringList &photos, const ThumbnailCacheDir &cache, const Baseline &baseline)
{
    QDir(cache.root()).removeRecursively();
    auto *loader = new ThumbnailLoader(cache, DesktopThumbnailers());
    FileThumbnailView view(nullptr, loader);
    loader->setParent(&view);
    view.setModel(makeModel(photos, &view));
    const double cpuBefore = cpuMs();
    QElapsedTimer clock;
    clock.start();
    showScreenful(view);
    waitFor([&] { return screenfulReady(*loader, photos); }, 600000);
    QCoreApplication::processEvents();
    const double screenful = double(clock.nsecsElapsed()) / 1e6;
    loader->setWanted(photos, ThumbnailSize::Normal);
    waitFor([&] { return loader->isIdle(); }, 3600000);
    const double all = double(clock.nsecsElapsed()) / 1e6;
    const double cpu = cpuMs() - cpuBefore;
    const int n = int(photos.size());
    report("cold cache: first screenful (40) shown", screenful, baseline.screenfulMs);
    report(qPrintable(QStringLiteral("cold cache: all %1 made").arg(n)), all, baseline.allMs);
    report("cold cache: per picture (wall)", all / n, baseline.allMs > 0 ? baseline.allMs / n : -1);
    report("cold cache: per picture (CPU time)", cpu / n, baseline.cpuMs > 0 ? baseline.cpuMs / n : -1);
    std::printf("%-58s %9.2f\n", "cold cache: cores busy on average", cpu / all);
}

void measureWarm(const QStringList &photos, const ThumbnailCacheDir &cache)
{
    auto *loader = new ThumbnailLoader(cache, DesktopThumbnailers());
    FileThumbnailView view(nullptr, loader);
    loader->setParent(&view);
    view.setModel(makeModel(photos, &view));
    const double cpuBefore = cpuMs();
    QElapsedTimer clock;
    clock.start();
    showScreenful(view);
    waitFor([&] { return screenfulReady(*loader, photos); }, 60000);
    QCoreApplication::processEvents();
    report("warm cache: first screenful (40) shown", double(clock.nsecsElapsed()) / 1e6, 50);
    std::printf("%-58s %9.1f ms\n", "warm cache: CPU time of it, all threads", cpuMs() - cpuBefore);
}

// 10,000 rows of distinct files (symbolic links to the photos) whose thumbnails are in
// the cache, as after a first visit.
QStringList makeScrollRows(const QStringList &photos, const QString &folder, const ThumbnailCacheDir &cache)
{
    QDir().mkpath(folder);
    QStringList rows;
    for (int i = 0; i < kScrollRows; ++i)
        rows.append(folder + QStringLiteral("/row %1.jpg").arg(i, 5, 10, QLatin1Char('0')));
    std::atomic_int next{0};
    auto work = [&] {
        for (int i = next++; i < kScrollRows; i = next++) {
            const QString &source = photos[i % photos.size()];
            if (!QFileInfo::exists(rows[i]))
                QFile::link(source, rows[i]);
            const QFileInfo row(rows[i]);
            const QByteArray uri = ThumbnailCacheDir::fileUri(rows[i]);
            const qint64 modified = row.lastModified().toSecsSinceEpoch();
            if (!ThumbnailFile::readFresh(cache, uri, modified, ThumbnailSize::Normal).isNull())
                continue;
            const QImage thumbnail = ThumbnailFile::readFresh(cache, ThumbnailCacheDir::fileUri(source), -1,
                                                              ThumbnailSize::Normal);
            ThumbnailFile::write(cache.thumbnailPath(uri, ThumbnailSize::Normal), thumbnail,
                                 {uri, modified, row.size(), QStringLiteral("image/jpeg")});
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    return rows;
}

// The longest paint of the grid: the window's own share of a stall, apart from
// what other programs on the machine take.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct PaintClock : QObject {
    QElapsedTimer clock;
    qint64 longest = 0;
    double longestCpuMs = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        clock.start();
        const double cpuBefore = threadCpuMs();
        static_cast<QWidget *>(watched)->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        watched->installEventFilter(this);
        longest = std::max(longest, clock.nsecsElapsed());
        longestCpuMs = std::max(longestCpuMs, threadCpuMs() - cpuBefore);
        return true;
    }
};

void measureScroll(const QStringList &rows, const ThumbnailCacheDir &cache, bool waitForEachPage)
{
    auto *loader = new ThumbnailLoader(cache, DesktopThumbnailers());
    FileThumbnailView view(nullptr, loader);
    loader->setParent(&view);
    view.setModel(makeModel(rows, &view));
    showScreenful(view);
    waitFor([&] { return loader->isIdle(); }, 60000);
    QScrollBar *bar = view.verticalScrollBar();
    PaintClock paints;
    view.viewport()->installEventFilter(&paints);
    FreezeProbe probe;
    QElapsedTimer clock;
    clock.start();
    probe.start();
    int pages = 0;
    while (bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + view.viewport()->height());
        ++pages;
        // A fast drag moves a page per frame; a reader waits for each page.
        if (waitForEachPage) {
            waitFor([&] { return loader->isIdle(); }, 10000);
            QCoreApplication::processEvents();
        } else {
            QEventLoop frame;
            QTimer::singleShot(16, &frame, &QEventLoop::quit);
            frame.exec();
        }
    }
    waitFor([&] { return loader->isIdle(); }, 60000);
    const double stall = probe.longestMs();
    const qint64 scrolledMs = clock.elapsed();
    // The baseline: the same probe over an idle event loop for as long, which is what
    // the other programs on the machine leave of the core.
    probe.start();
    QEventLoop idle;
    QTimer::singleShot(int(scrolledMs), &idle, &QEventLoop::quit);
    idle.exec();
    const double idleStall = probe.longestMs();
    const char *how = waitForEachPage ? "scroll 10,000 rows, each page served" : "scroll 10,000 rows, a page per frame";
    std::printf("%-58s %9.1f ms  (baseline idle loop %.1f ms; %d pages in %.1f s; aim below 50 ms)\n",
                qPrintable(QString::fromLatin1(how) + QStringLiteral(": longest stall")), stall, idleStall, pages,
                double(scrolledMs) / 1e3);
    std::printf("%-58s %9.1f ms  (%.1f ms of CPU at most)\n", "  longest paint of the grid",
                double(paints.longest) / 1e6, paints.longestCpuMs);
    std::printf("%-58s %9.1f MiB  (bound %.0f MiB)\n", "  thumbnails held in memory",
                double(loader->memoryUsed()) / 1048576.0, double(loader->memoryLimit()) / 1048576.0);
    std::printf("%-58s %9.1f MiB\n", "  resident memory of the process", double(residentKiB()) / 1024.0);
    std::fflush(stdout);
}

// A million rows that cost nothing to make: the grid's own cost at scale.
class MillionRows : public QAbstractListModel
{
public:
    int rowCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : 1000000; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return QStringLiteral("row %1").arg(index.row());
        if (role == FileListModel::PathRole)
            return QStringLiteral("/nowhere/row %1.jpg").arg(index.row());
        return {};
    }
};

// Showing, selecting every row and scrolling to the end of 1,000,000 rows in the
// grid; the baseline is a plain report view (QTreeView, uniform rows) over them.
void measureMillionRows(const ThumbnailCacheDir &cache)
{
    MillionRows rows;
    auto timeView = [&rows](QAbstractItemView &view) {
        QElapsedTimer clock;
        clock.start();
        view.setModel(&rows);
        view.resize(1000, 700);
        view.show();
        QCoreApplication::processEvents();
        view.viewport()->repaint();
        const double shown = double(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        view.selectAll();
        view.scrollToBottom();
        QCoreApplication::processEvents();
        view.viewport()->repaint();
        return std::pair{shown, double(clock.nsecsElapsed()) / 1e6};
    };
    QTreeView list;
    list.setUniformRowHeights(true);
    list.setRootIsDecorated(false);
    const auto [listShown, listAll] = timeView(list);
    auto *loader = new ThumbnailLoader(cache, DesktopThumbnailers());
    FileThumbnailView grid(nullptr, loader);
    loader->setParent(&grid);
    const auto [gridShown, gridAll] = timeView(grid);
    report("1,000,000 rows: grid laid out and painted", gridShown, listShown);
    report("1,000,000 rows: Select All, scroll to the end, painted", gridAll, listAll);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(kScreenful, std::atoi(argv[1])) : 1000;
    const QString folder =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath() + QStringLiteral("/corvanta-bench-thumbnails");

    const QStringList photos = makePhotos(folder + QStringLiteral("/photos"), count);
    std::printf("%d photos of %dx%d, JPEG quality 90, in %s; %d cores\n", int(photos.size()), kPhotoWidth,
                kPhotoHeight, qPrintable(folder), QThread::idealThreadCount());
    const ThumbnailCacheDir cache(folder + QStringLiteral("/cache"));
    // ONLY_SCROLL: the scroll alone, over the cache an earlier run left.
    if (qEnvironmentVariableIsEmpty("ONLY_SCROLL")) {
        const Baseline baseline = runBaseline(photos, folder + QStringLiteral("/baseline"));
        measureCold(photos, cache, baseline);
        measureWarm(photos, cache);
    }
    const QStringList rows = makeScrollRows(photos, folder + QStringLiteral("/rows"), cache);
    std::printf("resident memory before scrolling: %.1f MiB\n", double(residentKiB()) / 1024.0);
    measureScroll(rows, cache, false);
    measureScroll(rows, cache, true);
    measureMillionRows(cache);
    return 0;
}
