// Times the browsing of a large category against a plain stat of the same files.
//
// The catalog holds 1,000,000 records in 2,000 categories; one category holds
// 300,000 records whose files exist on disk (small files of 10 extensions in a
// temporary folder). Every figure is printed with its ratio to the baseline, a
// plain stat() of those 300,000 files, one after another, measured in the same run.
// A click in a shown window is measured by the first paint of the list, the last
// row, and the longest time the event loop did not run (a 2 ms timer that notes the
// gap between its firings). With ONLY_CLICK set, only the clicks are measured.

#include "AgreeingInteraction.h"
#include "AllocatorTuning.h"
#include "Catalog.h"
#include "CategoryCommands.h"
#include "FileIconCache.h"
#include "FileListCommands.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "Interaction.h"
#include "FileRecord.h"
#include "FileStamp.h"
#include "FileTypeCache.h"
#include "FreezeProbe.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QEventLoop>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <fcntl.h>
#include <time.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRecords = 1000000;
constexpr int kCategories = 2000;
constexpr int kListedCategory = 1234;
constexpr int kListedFiles = 300000;
constexpr int kFolders = 300;
const char *const kExtensions[] = {"jpg", "JPG", "png", "gif", "bmp", "mp3", "wav", "avi", "mpg", "mov"};

double g_baselineMs = 0;
double g_lastCpuMs = 0;

double threadCpuMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Wall time of the work; the main thread's processor time goes to g_lastCpuMs, which
// tells a busy machine (wall much larger) from slow code.
double timeMs(const std::function<void()> &work)
{
    const double cpuStart = threadCpuMs();
    QElapsedTimer timer;
    timer.start();
    work();
    const double wall = double(timer.nsecsElapsed()) / 1e6;
    g_lastCpuMs = threadCpuMs() - cpuStart;
    return wall;
}

void report(const char *what, double ms)
{
    std::printf("%-58s %9.1f ms %6.2f x baseline  (cpu %7.1f ms)\n", what, ms, ms / g_baselineMs, g_lastCpuMs);
    std::fflush(stdout);
}

QStringList createFiles(const QString &root)
{
    QStringList paths;
    paths.reserve(kListedFiles);
    auto *random = QRandomGenerator::global();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (int folder = 0; folder < kFolders; ++folder)
        QDir().mkpath(QStringLiteral("%1/folder %2").arg(root).arg(folder));
    for (int i = 0; i < kListedFiles; ++i) {
        const QString path = QStringLiteral("%1/folder %2/Picture %3 %4.%5")
                                 .arg(root)
                                 .arg(i % kFolders)
                                 .arg(random->bounded(1000000))
                                 .arg(i)
                                 .arg(QLatin1String(kExtensions[i % 10]));
        const QByteArray native = QFile::encodeName(path);
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            continue;
        const char content[] = "x";
        [[maybe_unused]] const auto written = ::write(fd, content, 1);
        ::close(fd);
        timespec times[2] = {};
        times[0].tv_sec = times[1].tv_sec = time_t(now - random->bounded(10 * 365 * 86400));
        ::utimensat(AT_FDCWD, native.constData(), times, 0);
        paths.append(path);
    }
    return paths;
}

// Creating 100,000 files takes minutes on a slow disk: a folder given on the command
// line keeps them, with their list, for the next run.
QStringList filesIn(const QString &root)
{
    QFile list(root + QStringLiteral("/bench-files.txt"));
    if (list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QStringList paths = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (paths.size() == kListedFiles)
            return paths;
    }
    std::printf("creating %d files in %s...\n", kListedFiles, qPrintable(root));
    std::fflush(stdout);
    const QStringList paths = createFiles(root);
    if (list.open(QIODevice::WriteOnly | QIODevice::Text))
        list.write(paths.join(QLatin1Char('\n')).toUtf8());
    return paths;
}

void buildCatalog(Catalog &catalog, const QStringList &files)
{
    catalog.resetToEmpty(); // the sentinel comes first
    for (int i = 0; i < kCategories; ++i)
        catalog.tree().addRoot(QStringLiteral("Category %1").arg(i + 1));
    RecordList &records = catalog.records();
    records.reserve(kRecords + 1);
    // The listed category's records are spread evenly through the list.
    const int stride = kRecords / int(files.size());
    int listed = 0;
    for (int i = 0; i < kRecords; ++i) {
        if (i % stride == 0 && listed < files.size()) {
            records.append(MakeFileRecord(files[listed++], kListedCategory, QStringLiteral("keyword %1").arg(i % 97)));
            continue;
        }
        int category = 1 + i % kCategories;
        if (category == kListedCategory)
            category = 1;
        records.append(MakeFileRecord(QStringLiteral("/media/elsewhere/file %1.jpg").arg(i), category, QString()));
    }
}

double baselineStat(const QStringList &files)
{
    return timeMs([&files] {
        struct stat status {};
        int found = 0;
        for (const QString &path : files)
            found += ::stat(QFile::encodeName(path).constData(), &status) == 0;
        if (found != files.size())
            std::printf("warning: %d of %lld files missing\n", int(files.size()) - found, qlonglong(files.size()));
    });
}

// A click on the category in a shown list: first paint of the list, last row, and
// the longest stall of the event loop in between. From a full list, the rows shown
// before go as part of the click.
void clickInWindow(FileListModel &model, FileListView &view, const Catalog &catalog, bool fromFullList)
{
    if (!fromFullList)
        model.clear();
    QCoreApplication::processEvents();
    FreezeProbe probe;
    QElapsedTimer clock;
    double firstPaint = -1;
    struct PaintWatch : QObject {
        std::function<void()> painted;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && painted)
                painted();
            return false;
        }
    } watch;
    QEventLoop untilListed;
    QObject::connect(&model, &FileListModel::listingFinished, &untilListed, &QEventLoop::quit);
    probe.start();
    QTimer::singleShot(0, [&] {
        clock.start();
        watch.painted = [&] {
            if (firstPaint < 0 && model.rowCount() > 0)
                firstPaint = double(clock.nsecsElapsed()) / 1e6;
        };
        view.viewport()->installEventFilter(&watch);
        model.ShowCategoryFiles(catalog, kListedCategory);
        view.viewport()->update();
        if (!model.isListing())
            untilListed.quit();
    });
    untilListed.exec();
    const double allRows = double(clock.nsecsElapsed()) / 1e6;
    QCoreApplication::processEvents(); // the paint of the last rows
    const double stall = probe.longestMs();
    view.viewport()->removeEventFilter(&watch);
    g_lastCpuMs = 0;
    const char *const from = fromFullList ? "click, list full before" : "click, list empty before";
    report(QByteArray(from).append(": first rows painted").constData(), firstPaint);
    report(QByteArray(from).append(": last row listed").constData(), allRows);
    std::printf("%-58s %9.1f ms\n", QByteArray(from).append(": longest stall").constData(), stall);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    tuneAllocatorForLargeCatalogs(argv); // as the program runs
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QTemporaryDir temporary;
    QString root = application.arguments().value(1);
    if (root.isEmpty()) {
        if (!temporary.isValid())
            return 1;
        root = temporary.path();
    }
    QDir().mkpath(root);
    const QStringList files = filesIn(root);
    Catalog catalog;
    const double building = timeMs([&] { buildCatalog(catalog, files); });
    std::printf("catalog: %d records in %d categories, built in %.0f ms\n", catalog.records().size(),
                catalog.tree().nodeCount(), building);

    baselineStat(files); // warms the caches the way a second look at a category would find them
    g_baselineMs = std::min(baselineStat(files), baselineStat(files));
    std::printf("baseline: stat() of %d files %38.1f ms (cpu %.1f ms)\n\n", kListedFiles, g_baselineMs,
                g_lastCpuMs);

    FileTypeCache types;
    FileIconCache icons(types);
    FileListModel model(icons, types);
    model.setBackgroundFillEnabled(false);

    model.setListingSteps(kListedFiles);
    report("listing the category in one step (built, sorted, deduplicated)",
           timeMs([&] { model.ShowCategoryFiles(catalog, kListedCategory); }));
    if (model.rowCount() != kListedFiles)
        std::printf("warning: %d rows listed\n", model.rowCount());
    report("filling every row's type, date and icon", timeMs([&] { model.fillAllDetails(); }));

    model.setListingSteps(2000);
    model.ShowCategoryFiles(catalog, kListedCategory);
    model.setBackgroundFillEnabled(true);
    QEventLoop untilFilled;
    QObject::connect(&model, &FileListModel::detailsFilled, &untilFilled, &QEventLoop::quit);
    report("listing again, then the idle pass to the last row", timeMs([&] {
               model.ShowCategoryFiles(catalog, kListedCategory);
               untilFilled.exec();
           }));
    model.setBackgroundFillEnabled(false);

    FileListView view;
    view.setModel(&model);
    view.resize(1000, 700);
    view.show();
    QCoreApplication::processEvents();
    clickInWindow(model, view, catalog, false);
    clickInWindow(model, view, catalog, true);
    if (qEnvironmentVariableIsSet("ONLY_CLICK")) return 0;
    model.setListingSteps(kListedFiles); // the figures below time single steps
    view.hide();

    for (int column : {NameColumn, ExtensionColumn, TypeColumn, KeywordsColumn}) {
        const QByteArray label = "sort by \"" + model.headerData(column, Qt::Horizontal).toString().toUtf8() + "\"";
        report(label.constData(), timeMs([&] { model.sort(column); }));
    }
    model.sort(NameColumn);
    model.ShowCategoryFiles(catalog, kListedCategory);
    report("sort by \"Last Modified\", dates not yet read", timeMs([&] { model.sort(LastModifiedColumn); }));
    model.sort(NameColumn);
    report("sort by \"Last Modified\", dates read", timeMs([&] { model.sort(LastModifiedColumn); }));
    report("listing with \"Last Modified\" as sort column",
           timeMs([&] { model.ShowCategoryFiles(catalog, kListedCategory); }));
    model.sort(NameColumn);

    report("appending 1,000 rows one by one into the sorted list", timeMs([&] {
               for (int i = 0; i < 1000; ++i)
                   model.appendRow(files[i], QString());
           }));

    std::printf("\nper-row look-ups over the %d files:\n", kListedFiles);
    report("icon position, file known to exist (cached per extension)", timeMs([&] {
               for (const QString &path : files)
                   icons.iconIndexForExistingFile(path);
           }));
    report("GetFileIconIndex (existence check included)", timeMs([&] {
               for (const QString &path : files)
                   icons.GetFileIconIndex(path);
           }));
    report("type description (cached per extension)", timeMs([&] {
               for (const QString &path : files)
                   types.descriptionForPath(path);
           }));
    std::vector<const QString *> paths;
    for (const QString &path : files)
        paths.push_back(&path);
    report("modified time, one file at a time", timeMs([&] {
               for (const QString *path : paths)
                   readModifiedMSecs(*path);
           }));
    report("modified time, one batch over the cores", timeMs([&] { readModifiedMSecs(paths); }));
    QMimeDatabase database;
    report("for comparison: uncached MIME look-up by extension", timeMs([&] {
               for (const QString &path : files)
                   database.mimeTypeForFile(path, QMimeDatabase::MatchExtension).comment();
           }));
    report("for comparison: QFileInfo::lastModified", timeMs([&] {
               for (const QString &path : files)
                   QFileInfo(path).lastModified();
           }));
    std::printf("\nicon cache entries: %d, type cache entries: %d\n", icons.count(), types.size());

    // Editing through the list, every question answered Yes: 10,000 of the listed rows
    // (every tenth) get keywords, are dropped on another category, then listed again
    // and removed; last, the whole category of 100,000 records is deleted.
    std::printf("\nediting 10,000 selected rows of the listed category\n");
    AgreeingInteraction yes;
    FileListCommands commands(catalog, model, yes);
    CategoryCommands categories(catalog, yes);
    auto everyTenthRow = [&] {
        QList<int> rows;
        for (int row = 0; row < model.rowCount(); row += 10)
            rows.append(row);
        return rows;
    };
    model.setBackgroundFillEnabled(false);
    model.ShowCategoryFiles(catalog, kListedCategory);
    QList<int> rows = everyTenthRow();
    report("Update Keywords on 10,000 rows", timeMs([&] { commands.UpdateKeywords(rows, QStringLiteral("sunny day")); }));
    QStringList dropped;
    for (int row : rows)
        dropped.append(model.rowPath(row));
    report("drop 10,000 rows on another category", timeMs([&] { commands.MoveDroppedFiles(dropped, 5, rows); }));
    model.ShowCategoryFiles(catalog, kListedCategory);
    rows = everyTenthRow();
    report("Remove Item on 10,000 rows", timeMs([&] { commands.RemoveItem(rows, rows.first()); }));
    report("delete the category of the remaining 80,000 records", timeMs([&] { categories.RemoveCategory(kListedCategory); }));
    return 0;
}
