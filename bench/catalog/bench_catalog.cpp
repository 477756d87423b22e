// Load, save, renumbering and duplicate removal on a catalog of a million records,
// each timed against a plain baseline over the same bytes in the same run.
#include "AllocatorTuning.h"
#include "Catalog.h"
#include "CatalogEdits.h"
#include "CatalogFileWriter.h"
#include "DeleteDuplicates.h"
#include "FileRecord.h"
#include "GeneratedCatalog.h"
#include "KeywordEditor.h"
#include "OpenFileList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <unistd.h>

namespace {

const int kRecords = qEnvironmentVariableIntValue("BENCH_RECORDS") > 0 ? qEnvironmentVariableIntValue("BENCH_RECORDS") : 1'000'000;
constexpr int kCategories = GeneratedCatalog::kCategories;
const int kRealFiles = qEnvironmentVariableIsSet("BENCH_RECORDS") ? 1000 : 100'000;

double seconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

void report(const char *what, double time, double baseline)
{
    if (baseline > 0)
        std::printf("%-52s %8.3f s   baseline %8.3f s   ratio %5.2f\n", what, time, baseline, time / baseline);
    else
        std::printf("%-52s %8.3f s\n", what, time);
    std::fflush(stdout);
}

void fillCatalog(Catalog &catalog, int records, const std::function<QString(int)> &pathOf)
{
    GeneratedCatalog::fill(catalog, records, pathOf);
}

void reportMs(const char *what, double time, double baseline)
{
    std::printf("%-52s %8.3f ms  baseline %8.3f ms  ratio %5.2f\n", what, time * 1e3, baseline * 1e3, time / baseline);
    std::fflush(stdout);
}

double readLineByLine(const QString &path)
{
    return seconds([&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        qint64 lines = 0;
        while (!file.atEnd())
            lines += !file.readLine().isEmpty();
        if (lines == 0)
            std::printf("(empty file)\n");
    });
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// What an atomic save cannot do without: the bytes into a new file, onto the disk,
// and the new file renamed over the old one.
double writeSyncRename(const QByteArray &bytes, const QString &target)
{
    return seconds([&] {
        const QString fresh = target + QStringLiteral(".new");
        QFile file(fresh);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.flush();
        ::fsync(file.handle());
        file.close();
        std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(target).constData());
    });
}

struct EditTimes {
    double keywords = 0;
    double drop = 0;
    double removeOne = 0;
    double firstEdit = 0; // pays for whatever the record list sets up on the first look-up
};

// The edits a user makes all day, on five files spread over a catalog of the given
// size (one file for Remove Item); medians of several rounds, each round on other files.
EditTimes timeSmallEdits(int records)
{
    Catalog catalog;
    auto pathOf = [](int i) { return QStringLiteral("/home/user/Media/F%1/P%2.jpg").arg(i / 500).arg(i); };
    fillCatalog(catalog, records, pathOf);
    constexpr int kRounds = 7;
    std::vector<double> keywords, drops, removals;
    for (int round = 0; round < kRounds; ++round) {
        QStringList five;
        for (int k = 0; k < 5; ++k)
            five.append(pathOf(int((qint64(records) * (2 * k + 1) / 10 + round * 13) % records)));
        keywords.push_back(seconds([&] { KeywordEditor::UpdateKeywords(catalog, five, QStringLiteral("round %1").arg(round)); }));
        drops.push_back(seconds([&] { CatalogEdits::MoveDroppedFiles(catalog, five, 1 + round % kCategories); }));
        const QStringList one{pathOf(int((qint64(records) * 3 / 4 + round * 17) % records))};
        removals.push_back(seconds([&] { CatalogEdits::removeRecordsWithPaths(catalog, one); }));
    }
    return {median(keywords), median(drops), median(removals), keywords.front()};
}

} // namespace

int main(int argc, char **argv)
{
    tuneAllocatorForLargeCatalogs(argv); // as the program runs
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    const QString catalogPath = dir.filePath(QStringLiteral("million.kvd"));

    Catalog catalog;
    fillCatalog(catalog, kRecords, [](int i) {
        return QStringLiteral("/home/user/Media/Folder %1/Photo %2.jpg").arg(i / 500).arg(i);
    });
    std::printf("%d records in %d categories\n\n", kRecords, kCategories);

    // Save against writing the same bytes, each three times in turn; the medians count.
    std::vector<double> saves;
    std::vector<double> writes;
    std::vector<double> syncedWrites;
    QByteArray bytes;
    for (int trial = 0; trial < 3; ++trial) {
        const QString target = dir.filePath(QStringLiteral("save%1.kvd").arg(trial));
        saves.push_back(seconds([&] { CatalogFileWriter(catalog, -1).saveTo(target); }));
        if (bytes.isEmpty())
            bytes = fileBytes(target);
        writes.push_back(seconds([&] {
            QFile plain(dir.filePath(QStringLiteral("plain%1.bin").arg(trial)));
            plain.open(QIODevice::WriteOnly);
            plain.write(bytes);
        }));
        syncedWrites.push_back(writeSyncRename(bytes, dir.filePath(QStringLiteral("synced.kvd"))));
    }
    QFile::copy(dir.filePath(QStringLiteral("save0.kvd")), catalogPath);
    const double save = median(saves);
    const double writeBaseline = median(writes);
    std::printf("catalog file: %.1f MB\n", bytes.size() / 1e6);
    report("save (1,000,000 records), against write+fsync+rename", save, median(syncedWrites));
    report("  ... against a bare write, no fsync (not a fair baseline)", save, writeBaseline);

    // Small edits: the same work at 10,000 and at the full size should cost about the same.
    const EditTimes small = timeSmallEdits(10'000);
    const EditTimes large = timeSmallEdits(kRecords);
    std::printf("small edits, %d records against 10,000 (ratio = growth)\n", kRecords);
    reportMs("  Update Keywords, 5 files", large.keywords, small.keywords);
    reportMs("  drop 5 files on a category", large.drop, small.drop);
    reportMs("  Remove Item, 1 file", large.removeOne, small.removeOne);
    reportMs("  the first edit after filling the list", large.firstEdit, small.firstEdit);

    // Load with existence checks stubbed out, against reading the lines.
    const double readBaseline = readLineByLine(catalogPath);
    Catalog loaded;
    const double load = seconds([&] { OpenFileList(catalogPath, loaded, [](QByteArrayView) { return true; }); });
    report("load (1,000,000 records, existence stubbed)", load, readBaseline);
    report("  ... then the path index, on the load's worker thread",
           seconds([&] { loaded.records().buildPathIndex(); }), 0);
    if (loaded.records().size() != kRecords)
        std::printf("!! loaded %d records\n", loaded.records().size());

    // Renumbering after removing an early category.
    const double renumber = seconds([&] {
        loaded.TagIndex();
        loaded.tree().removeSubtree(2);
        loaded.ChangecategoryIndexForFiles();
    });
    report("remove category 2 and renumber 1,000,000 records", renumber, 0);

    // Editing at scale: a fresh catalog where category 3 holds 100,000 records and has
    // sub-categories, and the records of a category of 10,000 files.
    {
        Catalog edited;
        fillCatalog(edited, kRecords, [](int i) { return QStringLiteral("/home/user/Media/F%1/P%2.jpg").arg(i / 500).arg(i); });
        // Categories 3 to 6 are one root with three sub-categories (every fourth node is a root).
        RecordList bulk;
        for (int i = 0; i < 100'000; ++i)
            bulk.append(MakeFileRecord(QStringLiteral("/home/user/Bulk/%1.jpg").arg(i), 5 + i % 4, QString()));
        edited.records().insert(edited.records().size() / 2, std::move(bulk));
        QStringList tenThousand;
        for (int i = 0; i < 10'000; ++i)
            tenThousand.append(QStringLiteral("/home/user/Media/F%1/P%2.jpg").arg(i * 7 / 500).arg(i * 7));

        const double drop = seconds([&] { CatalogEdits::MoveDroppedFiles(edited, tenThousand, 9); });
        report("drop 10,000 files on another category", drop, 0);
        const double keywords = seconds([&] { KeywordEditor::UpdateKeywords(edited, tenThousand, QStringLiteral("sunny day")); });
        report("update keywords of 10,000 selected files", keywords, 0);
        const double remove = seconds([&] { CatalogEdits::removeRecordsWithPaths(edited, tenThousand); });
        report("Remove Item on 10,000 files", remove, 0);
        const double deletion = seconds([&] { CatalogEdits::deleteCategory(edited, 5); });
        report("delete a category of 100,000+ records with subs", deletion, 0);
    }

    // Duplicate removal over 100,000 rows, a tenth of them repeated.
    std::vector<QString> rows;
    rows.reserve(100'000);
    for (int i = 0; i < 100'000; ++i)
        rows.push_back(QStringLiteral("/home/user/Media/%1.jpg").arg(i % 90'000));
    const double duplicates = seconds([&] { DeleteDuplicates(rows, [](const QString &row) -> const QString & { return row; }); });
    report("DeleteDuplicates on 100,000 rows", duplicates, 0);

    // Load with real existence checks: 100,000 files on disk.
    const QString mediaRoot = dir.filePath(QStringLiteral("media"));
    for (int folder = 0; folder < kRealFiles / 100; ++folder)
        QDir().mkpath(mediaRoot + QStringLiteral("/f%1").arg(folder));
    auto realPath = [&](int i) { return mediaRoot + QStringLiteral("/f%1/file%2.jpg").arg(i / 100).arg(i); };
    for (int i = 0; i < kRealFiles; ++i) {
        QFile file(realPath(i));
        file.open(QIODevice::WriteOnly);
    }
    Catalog real;
    fillCatalog(real, kRealFiles, realPath);
    const QString realCatalog = dir.filePath(QStringLiteral("real.kvd"));
    CatalogFileWriter(real, -1).saveTo(realCatalog);
    readLineByLine(realCatalog); // warm the cache
    const double realBaseline = readLineByLine(realCatalog);
    Catalog realLoaded;
    const double realLoad = seconds([&] { OpenFileList(realCatalog, realLoaded); });
    report("load (100,000 records, real existence checks)", realLoad, realBaseline);
    QStringList paths;
    for (int i = 0; i < kRealFiles; ++i)
        paths.append(realPath(i));
    const double statBaseline = seconds([&] {
        int found = 0;
        for (const QString &path : paths)
            found += QFileInfo::exists(path);
        if (found != kRealFiles)
            std::printf("!! %d files found\n", found);
    });
    report("  ... against reading the lines plus one stat per file", realLoad, realBaseline + statBaseline);
    return 0;
}
