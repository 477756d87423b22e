// The quick search against grep over the same records, the advanced search against
// one stat per path, and what the searches cost in memory.
#include "AdvancedSearch.h"
#include "AllocatorTuning.h"
#include "Catalog.h"
#include "CatalogFileWriter.h"
#include "FileIconCache.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FileTypeCache.h"
#include "FreezeProbe.h"
#include "GeneratedCatalog.h"
#include "OpenFileList.h"
#include "QuickSearch.h"
#include "SearchRows.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const int kRecords = qEnvironmentVariableIntValue("BENCH_RECORDS") > 0 ? qEnvironmentVariableIntValue("BENCH_RECORDS") : 1'000'000;
const int kRealFiles = qEnvironmentVariableIsSet("BENCH_RECORDS") ? 1000 : 100'000;

double processCpuSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

double median3(const std::function<double()> &measure)
{
    double runs[] = {measure(), measure(), measure()};
    std::sort(std::begin(runs), std::end(runs));
    return runs[1];
}

void report(const char *what, double time, double baseline)
{
    std::printf("%-56s %8.3f s   baseline %8.3f s   ratio %5.2f\n", what, time, baseline, time / baseline);
    std::fflush(stdout);
}

double residentMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / 1e6;
}

double grepCount(const QString &word, const QString &file, qint64 *count)
{
    return median3([&] {
        QProcess grep;
        QElapsedTimer timer;
        timer.start();
        grep.start(QStringLiteral("grep"), {QStringLiteral("-F"), QStringLiteral("-i"), QStringLiteral("-c"), word, file});
        grep.waitForFinished(-1);
        const double elapsed = double(timer.nsecsElapsed()) / 1e9;
        *count = grep.readAllStandardOutput().trimmed().toLongLong();
        return elapsed;
    });
}

double statEach(const std::vector<QString> &paths)
{
    return median3([&] {
        return seconds([&] {
            struct stat status {};
            int found = 0;
            for (const QString &path : paths)
                found += ::stat(QFile::encodeName(path).constData(), &status) == 0;
            if (found < 0)
                std::printf("!!\n");
        });
    });
}

std::vector<QString> pathsOf(const RecordList &records)
{
    std::vector<QString> paths;
    paths.reserve(std::size_t(records.size()));
    for (int i = 0; i < records.size(); ++i)
        paths.push_back(recordPath(records.at(i)));
    return paths;
}

// The advanced search as the dialog runs it, turn by turn, rows included.
double advancedSearch(const RecordList &records, const QString &fileName, const AdvancedSearch::FileStatus &status,
                      std::size_t *found)
{
    return median3([&] {
        return seconds([&] {
            AdvancedSearchCriteria criteria;
            criteria.byFileName = true;
            criteria.fileNameText = fileName;
            AdvancedSearch search(records, criteria, status);
            std::vector<AdvancedSearch::Match> matches;
            FileListRows rows;
            while (!search.isFinished())
                search.searchNext(64, matches);
            for (const AdvancedSearch::Match &match : matches)
                addAdvancedSearchRow(rows, match.path, match.keywords);
            *found = rows.size();
        });
    });
}

} // namespace

int main(int argc, char **argv)
{
    tuneAllocatorForLargeCatalogs(argv); // as the program runs
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    const QString catalogPath = dir.filePath(QStringLiteral("million.kvd"));
    const QString recordsPath = dir.filePath(QStringLiteral("records.txt"));

    // One record in a hundred has the rare word; none has the absent one.
    {
        Catalog generated;
        GeneratedCatalog::fill(
            generated, kRecords, [](int i) { return QStringLiteral("/home/user/Media/Folder %1/Photo %2.jpg").arg(i / 500).arg(i); },
            [](int i) { return i % 100 == 7 ? QStringLiteral("lighthouse") : GeneratedCatalog::everyThirdHoliday(i); });
        CatalogFileWriter(generated, -1).saveTo(catalogPath);
        QFile records(recordsPath);
        records.open(QIODevice::WriteOnly);
        QByteArray lines;
        for (int i = 0; i < generated.records().size(); ++i)
            lines.append(generated.records().at(i).toUtf8()).append('\n');
        records.write(lines);
    }
    ::malloc_trim(0);
    const double catalogMB = double(QFileInfo(catalogPath).size()) / 1e6;
    std::printf("%d records; catalog file %.1f MB, the same records for grep %.1f MB\n", kRecords, catalogMB,
                double(QFileInfo(recordsPath).size()) / 1e6);

    const double beforeLoad = residentMB();
    Catalog catalog;
    OpenFileList(catalogPath, catalog, [](QByteArrayView) { return true; });
    const double afterLoad = residentMB();
    std::printf("resident: %.0f MB before load, %.0f MB after (+%.0f MB)\n\n", beforeLoad, afterLoad, afterLoad - beforeLoad);

    FileTypeCache types;
    FileIconCache icons(types);
    FileListModel model(icons, types);
    model.setBackgroundFillEnabled(false);
    FileListView view;
    view.setModel(&model);
    view.resize(1000, 700);
    view.show();
    QCoreApplication::processEvents();

    // The records' bytes in the page cache, as grep will find them.
    QFile warm(recordsPath);
    warm.open(QIODevice::ReadOnly);
    warm.readAll();

    bool first = true;
    for (const QString &word : {QStringLiteral("lighthouse"), QStringLiteral("zqxjvk"), QStringLiteral("/")}) {
        qint64 grepped = 0;
        const double grep = grepCount(word, recordsPath, &grepped);
        std::vector<int> found;
        // The first search of the run is the one that pays for anything set up once.
        const double firstCount = seconds([&] { found = QuickSearchMatches(catalog.records(), word); });
        const double count = median3([&] { return seconds([&] { found = QuickSearchMatches(catalog.records(), word); }); });
        const double clear = seconds([&] { model.clear(); });
        FileListRows rows;
        const double cpuBefore = processCpuSeconds();
        const double built = seconds([&] { rows = quickSearchRows(catalog.records(), found); });
        const double builtCpu = processCpuSeconds() - cpuBefore;
        const double appended = seconds([&] { model.appendRows(std::move(rows)); });
        const double residentInModel = residentMB();
        const double painted = seconds([&] { view.viewport()->repaint(); });
        const double shown = built + appended + painted;
        std::printf("  rows built %.3f s (processor %.3f s on all threads), into the list %.3f s, painted %.3f s\n",
                    built, builtCpu, appended, painted);
        std::printf("quick search \"%s\": %zu found (grep counts %lld)\n", qPrintable(word), found.size(), grepped);
        report("  count (median of 3)", count, grep);
        report("  count, first search of the run", firstCount, grep);
        std::printf("  %-54s %8.3f s\n", "clearing the list of the search before", clear);
        std::printf("  %-54s %8.3f s\n", "from the count to the first screenful painted", shown);
        if (first) {
            const double afterSearch = residentMB();
            std::printf("  resident after the first quick search: %.0f MB (+%.0f MB over load; catalog file %.0f MB)\n",
                        afterSearch, afterSearch - afterLoad, catalogMB);
            first = false;
        }
        if (found.size() == std::size_t(kRecords)) {
            std::printf("  resident with every record in the list's model, before the view laid them out: +%.0f MB over load\n",
                        residentInModel - afterLoad);
        }
    }
    std::printf("  resident with every record listed: %.0f MB (+%.0f MB over load)\n", residentMB(), residentMB() - afterLoad);

    // The next search starts by clearing the list.
    std::printf("clearing a list of every record: %.3f s\n", seconds([&] { model.clear(); }));
    // The same with the list sorted by name, as it is once a category has been listed.
    model.ShowCategoryFiles(catalog, 1);
    model.clear();
    const std::vector<int> every = QuickSearchMatches(catalog.records(), u"/");
    const double sortedShown = seconds([&] {
        model.appendRows(quickSearchRows(catalog.records(), every));
        view.viewport()->repaint();
    });
    std::printf("quick search \"/\" into a list sorted by name: first screenful %.3f s after the count\n", sortedShown);
    // Sorted by date, the rows' times are read on a worker first (here of files that
    // are not there: one failing look each); the window answers meanwhile.
    model.clear();
    model.sort(LastModifiedColumn);
    FreezeProbe probe;
    QElapsedTimer byDate;
    probe.start();
    byDate.start();
    model.appendRowsOnceDated(quickSearchRows(catalog.records(), every));
    while (model.isDatingRows())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    view.viewport()->repaint();
    std::printf("quick search \"/\" into a list sorted by date: first screenful %.3f s after the count, longest freeze %.0f ms\n\n",
                double(byDate.nsecsElapsed()) / 1e9, probe.longestMs());
    model.clear();
    view.hide();

    // Advanced search by file name, every file there on a stub, against a stat of each path.
    const std::vector<QString> stubPaths = pathsOf(catalog.records());
    const double stubBaseline = statEach(stubPaths);
    std::size_t advancedFound = 0;
    const double stubbed = advancedSearch(catalog.records(), QStringLiteral("photo 12"),
                                          [](const QString &) { return std::optional<qint64>(0); }, &advancedFound);
    std::printf("advanced search \"photo 12\" in file names: %zu found\n", advancedFound);
    report("  1,000,000 records, files on a stub", stubbed, stubBaseline);

    // And over real files.
    const QString mediaRoot = dir.filePath(QStringLiteral("media"));
    for (int folder = 0; folder < kRealFiles / 100; ++folder)
        QDir().mkpath(mediaRoot + QStringLiteral("/f%1").arg(folder));
    Catalog real;
    GeneratedCatalog::fill(real, kRealFiles, [&](int i) { return mediaRoot + QStringLiteral("/f%1/file %2.jpg").arg(i / 100).arg(i); });
    const std::vector<QString> realPaths = pathsOf(real.records());
    for (const QString &path : realPaths) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
    }
    statEach(realPaths); // warm
    const double realBaseline = statEach(realPaths);
    const double onDisk = advancedSearch(real.records(), QStringLiteral("file 12"), AdvancedSearch::fileOnDisk, &advancedFound);
    std::printf("advanced search \"file 12\" in file names: %zu found\n", advancedFound);
    report("  100,000 real files", onDisk, realBaseline);
    return 0;
}
