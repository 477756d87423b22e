#include "ApplyScanResult.h"
#include "Catalog.h"
#include "FileRecord.h"
#include "FolderScanner.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

std::vector<QString> contents(const RecordList &records)
{
    std::vector<QString> all;
    for (int i = 0; i < records.size(); ++i)
        all.push_back(records.at(i));
    return all;
}

void fill(RecordList &records, const QStringList &initial)
{
    for (const QString &record : initial)
        records.append(record);
}

} // namespace

class TestApplyScanResult : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void batchInsertEqualsOneInsertPerFile_data();
    void batchInsertEqualsOneInsertPerFile();
    void recordsCarryTheTemporaryIndex();
    void threeFilesBehindTheSentinel();
    void scanMarksTheCatalogChanged_data();
    void scanMarksTheCatalogChanged();
};

void TestApplyScanResult::batchInsertEqualsOneInsertPerFile_data()
{
    QTest::addColumn<QStringList>("initial");
    QTest::addColumn<int>("foundCount");

    const QStringList sentinelOnly{kSentinelRecord};
    const QStringList filed{kSentinelRecord, "/a/x.jpg/1>k", "/a/y.jpg/2>"};
    QTest::newRow("empty list, one found") << QStringList{} << 1;
    QTest::newRow("empty list, several found") << QStringList{} << 5;
    QTest::newRow("sentinel only, several found") << sentinelOnly << 4;
    QTest::newRow("filed records stay behind the found ones") << filed << 3;
    QTest::newRow("loaded catalog without sentinel") << QStringList{"/a/x.jpg/1>"} << 2;
    QTest::newRow("nothing found") << filed << 0;
}

void TestApplyScanResult::batchInsertEqualsOneInsertPerFile()
{
    QFETCH(QStringList, initial);
    QFETCH(int, foundCount);
    std::vector<QString> found;
    for (int i = 0; i < foundCount; ++i)
        found.push_back(MakeFileRecord(QStringLiteral("/scan/f%1.jpg").arg(i), 9, QString()));

    RecordList oneByOne;
    fill(oneByOne, initial);
    for (const QString &record : found)
        oneByOne.insert(oneByOne.isEmpty() ? 0 : 1, record);

    RecordList batch;
    fill(batch, initial);
    insertFoundRecords(batch, found);

    QCOMPARE(contents(batch), contents(oneByOne));
    for (int i = 0; i < batch.size(); ++i)
        QCOMPARE(batch.categoryAt(i), oneByOne.categoryAt(i));
}

void TestApplyScanResult::recordsCarryTheTemporaryIndex()
{
    Catalog catalog;
    catalog.resetToEmpty();
    catalog.setTemporaryIndex(7);
    ScanResult result;
    result.files.push_back({QStringLiteral("/Pics/Beach.JPG"), QStringLiteral("beach"), QStringLiteral("jpg")});
    QCOMPARE(applyScanResult(result, catalog), 1);
    QCOMPARE(catalog.records().size(), 2);
    QCOMPARE(catalog.records().at(1), QStringLiteral("/Pics/Beach.JPG/7>"));
    QCOMPARE(catalog.records().categoryAt(1), 7);
}

void TestApplyScanResult::threeFilesBehindTheSentinel()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char *name : {"first.jpg", "second.jpg", "third.jpg"})
        TestFiles::createFile(dir.path() + '/' + name);
    FolderScanner scanner({dir.path(), false, {{"jpg", false}}});
    scanner.run();

    Catalog catalog;
    catalog.resetToEmpty();
    catalog.setTemporaryIndex(3);
    QCOMPARE(applyScanResult(scanner.result(), catalog), 3);
    QCOMPARE(contents(catalog.records()),
             (std::vector<QString>{kSentinelRecord, dir.path() + "/third.jpg/3>", dir.path() + "/second.jpg/3>",
                                   dir.path() + "/first.jpg/3>"}));
    // Rows stand in finding order.
    QCOMPARE(scanner.result().files.front().path, dir.path() + "/first.jpg");
}

void TestApplyScanResult::scanMarksTheCatalogChanged_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("withPasses");
    QTest::addColumn<bool>("savedAfterwards");

    QTest::newRow("a scan that finds nothing still changes the catalog") << "." << true << false;
    QTest::newRow("a folder that cannot be opened too") << "/no/such/folder" << true << false;
    QTest::newRow("an empty path is no scan") << "" << true << true;
    QTest::newRow("no passes, no scan") << "." << false << true;
}

void TestApplyScanResult::scanMarksTheCatalogChanged()
{
    QFETCH(QString, folder);
    QFETCH(bool, withPasses);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (folder == QLatin1String("."))
        folder = dir.path();
    FolderScanner scanner({folder, true, withPasses ? std::vector<ScanPass>{{"jpg", false}} : std::vector<ScanPass>{}});
    scanner.run();

    Catalog catalog;
    catalog.resetToEmpty();
    catalog.markSaved();
    QCOMPARE(applyScanResult(scanner.result(), catalog), 0);
    QTEST(catalog.FileListSaved(), "savedAfterwards");
    QCOMPARE(catalog.records().size(), 1);
}

QTEST_GUILESS_MAIN(TestApplyScanResult)
#include "tst_scanner_applyresult.moc"
