#include "Catalog.h"
#include "CatalogFileWriter.h"
#include "FileRecord.h"
#include "OpenFileList.h"
#include "TestFiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestCatalogFileReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oddSpacingAndLineEnds_data();
    void oddSpacingAndLineEnds();
    void missingFilesAreListedNotLoaded();
    void subCategoryAttachesToLastNodeOfName();
    void emptyNamesAndUnknownParentsAreDropped();
    void temporaryCategoryLoads();
    void recordsFollowStoredIndexes();
    void olderWindowsTextIsRead();
    void malformedFilesStopWithLine_data();
    void malformedFilesStopWithLine();
    void tooManyCategoriesStop();
    void hostileInputNeverCrashes();
    void realFilesAndMissingFile();
};

namespace {

const FileExistsCheck kAllExist = [](const QString &) { return true; };

QStringList recordsOf(const Catalog &catalog)
{
    QStringList list;
    for (int i = 0; i < catalog.records().size(); ++i)
        list.append(catalog.records().at(i));
    return list;
}

QStringList fullPaths(const Catalog &catalog)
{
    QStringList list;
    for (int i = 1; i <= catalog.tree().nodeCount(); ++i)
        list.append(catalog.tree().fullPath(i));
    return list;
}

} // namespace

void TestCatalogFileReader::oddSpacingAndLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("as written") << QByteArray(" 1 \r\n\"A\"           \"A\"            1 \r\n"
                                              "\"/p/x.jpg\"                 1             \"k w\"\r\n");
    QTest::newRow("LF only") << QByteArray(" 1 \n\"A\" \"A\" 1 \n\"/p/x.jpg\" 1 \"k w\"\n");
    QTest::newRow("commas and tabs") << QByteArray("1\r\n\"A\",\"A\",1\r\n\t\"/p/x.jpg\",1,\"k w\"");
    QTest::newRow("items across lines") << QByteArray("1\n\"A\"\n\"A\"\n1\n\"/p/x.jpg\"\n1\n\"k w\"\n\n\n");
    QTest::newRow("unquoted text") << QByteArray("1\r\nA,A,1\r\n/p/x.jpg,1,k w\r\n");
}

void TestCatalogFileReader::oddSpacingAndLineEnds()
{
    QFETCH(QByteArray, bytes);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), catalog, kAllExist);
    QVERIFY2(!report.stop, report.stop ? qPrintable(report.stop->reason) : "");
    QCOMPARE(fullPaths(catalog), QStringList{"A"});
    QCOMPARE(recordsOf(catalog), QStringList{"/p/x.jpg/1>k w"});
    QVERIFY(catalog.FileListSaved());
}

void TestCatalogFileReader::missingFilesAreListedNotLoaded()
{
    const QByteArray bytes = " 0 \r\n\"/gone.jpg\" 3 \"\"\r\n\"/here.jpg\" 3 \"\"\r\n\"\" 3 \"x\"\r\n";
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), catalog,
                                                  [](const QString &path) { return path == QLatin1String("/here.jpg"); });
    QCOMPARE(report.missingFiles, QStringList{"/gone.jpg"}); // the empty path is skipped silently
    QCOMPARE(recordsOf(catalog), QStringList{"/here.jpg/3>"});
}

void TestCatalogFileReader::subCategoryAttachesToLastNodeOfName()
{
    const QByteArray bytes = "4\r\n"
                             "\"Photos\",\"Photos\",1\r\n"
                             "\"Photos\",\"Photos\",2\r\n"
                             "\"Beach\",\"Photos\\Beach\",3\r\n"
                             "\"Sand\",\"Beach\\Sand\",4\r\n"
                             "\"/a.jpg\",4,\"\"\r\n";
    Catalog catalog;
    QVERIFY(!OpenFileList(QByteArrayView(bytes), catalog, kAllExist).stop);
    QCOMPARE(catalog.tree().node(3)->parent, catalog.tree().node(2));
    QCOMPARE(fullPaths(catalog), (QStringList{"Photos", "Photos", "Photos\\Beach", "Photos\\Beach\\Sand"}));
    QCOMPARE(recordsOf(catalog), QStringList{"/a.jpg/4>"});
}

void TestCatalogFileReader::emptyNamesAndUnknownParentsAreDropped()
{
    const QByteArray bytes = "5\r\n"
                             "\"\",\"\",1\r\n"
                             "\"Child\",\"\\Child\",2\r\n"
                             "\"Orphan\",\"Nobody\\Orphan\",3\r\n"
                             "\"Deep\",\"A\\B\\Deep\",4\r\n"
                             "\"Kept\",\"Kept\",5\r\n"
                             "\"/k.jpg\",5,\"\"\r\n";
    Catalog catalog;
    QVERIFY(!OpenFileList(QByteArrayView(bytes), catalog, kAllExist).stop);
    QCOMPARE(fullPaths(catalog), QStringList{"Kept"});
    QCOMPARE(recordsOf(catalog), QStringList{"/k.jpg/1>"});
}

void TestCatalogFileReader::temporaryCategoryLoads()
{
    const QByteArray bytes = "2\r\n\"Temporary\",\"Temporary\",1\r\n\"A\",\"A\",2\r\n\"/t.jpg\",1,\"\"\r\n";
    Catalog catalog;
    QVERIFY(!OpenFileList(QByteArrayView(bytes), catalog, kAllExist).stop);
    QCOMPARE(catalog.TemporaryIndex(), 1);
    QCOMPARE(recordsOf(catalog), QStringList{"/t.jpg/1>"});
}

void TestCatalogFileReader::recordsFollowStoredIndexes()
{
    // Stored indexes with gaps (a Temporary was left out at save time).
    const QByteArray bytes = "2\r\n\"A\",\"A\",1\r\n\"B\",\"B\",3\r\n"
                             "\"/b.jpg\",3,\"kb\"\r\n\"/a.jpg\",1,\"ka\"\r\n\"/lost.jpg\",2,\"\"\r\n";
    Catalog catalog;
    QVERIFY(!OpenFileList(QByteArrayView(bytes), catalog, kAllExist).stop);
    QCOMPARE(recordsOf(catalog), (QStringList{"/b.jpg/2>kb", "/a.jpg/1>ka", "/lost.jpg/2>"}));
}

void TestCatalogFileReader::olderWindowsTextIsRead()
{
    const QByteArray bytes = "1\r\n\"Caf\xe9\",\"Caf\xe9\",1\r\n\"/\x80.jpg\",1,\"na\xefve\"\r\n";
    Catalog catalog;
    QVERIFY(!OpenFileList(QByteArrayView(bytes), catalog, kAllExist).stop);
    QCOMPARE(catalog.tree().node(1)->name, QStringLiteral("Café"));
    QCOMPARE(recordsOf(catalog), QStringList{QStringLiteral("/€.jpg/1>naïve")});
}

void TestCatalogFileReader::malformedFilesStopWithLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("nodes");
    QTest::addColumn<int>("records");
    QTest::newRow("empty file") << QByteArray() << 1 << 0 << 0;
    QTest::newRow("count not a number") << QByteArray("abc\r\n") << 1 << 0 << 0;
    QTest::newRow("truncated category line") << QByteArray("2\r\n\"A\",\"A\",1\r\n\"B\",\"B") << 3 << 1 << 0;
    QTest::newRow("truncated file line") << QByteArray("1\r\n\"A\",\"A\",1\r\n\"/a\",1,\"\"\r\n\"/b\",1") << 4 << 1 << 1;
    QTest::newRow("index not a number") << QByteArray("1\r\n\"A\",\"A\",1\r\n\"/a\",1,\"\"\r\n\"/b\",x,\"\"\r\n") << 4 << 1 << 1;
    QTest::newRow("index out of range") << QByteArray("0\r\n\"/a\",99999,\"\"\r\n") << 2 << 0 << 0;
    QTest::newRow("count larger than lines") << QByteArray("3\r\n\"A\",\"A\",1\r\n\"/a\",1,\"\"\r\n") << 4 << 2 << 0;
}

void TestCatalogFileReader::malformedFilesStopWithLine()
{
    QFETCH(QByteArray, bytes);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), catalog, kAllExist);
    QVERIFY(report.stop.has_value());
    QVERIFY(!report.stop->reason.isEmpty());
    QTEST(report.stop->line, "line");
    QTEST(catalog.tree().nodeCount(), "nodes");
    QTEST(catalog.records().size(), "records");
}

void TestCatalogFileReader::tooManyCategoriesStop()
{
    QByteArray bytes = "5001\r\n";
    for (int i = 1; i <= 5001; ++i)
        bytes += "\"C" + QByteArray::number(i) + "\",\"C" + QByteArray::number(i) + "\"," + QByteArray::number(i) + "\r\n";
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), catalog, kAllExist);
    QVERIFY(report.stop.has_value());
    QCOMPARE(report.stop->line, 5002);
    QCOMPARE(catalog.tree().nodeCount(), 5000);
}

void TestCatalogFileReader::hostileInputNeverCrashes()
{
    QRandomGenerator random(20041);
    QList<QByteArray> inputs;
    for (int i = 0; i < 200; ++i) {
        QByteArray noise(int(random.bounded(2000)), Qt::Uninitialized);
        for (char &c : noise)
            c = char(random.bounded(256));
        inputs.append(noise);
    }
    inputs.append(QByteArray(1 << 20, '"'));
    inputs.append(QByteArray("1\r\n\"") + QByteArray(4 << 20, 'x'));
    inputs.append(QByteArray("32767\r\n") + QByteArray(100000, ','));
    inputs.append(QByteArray("-5\r\n\"/a\",1,\"\""));
    inputs.append(QByteArray("0\r\n") + QByteArray(3 << 20, '\n'));
    inputs.append(QByteArray("1\r\n\"A\",\"A\",1\r\n\"/a\0b\",1,\"\"\r\n", 27));
    for (const QByteArray &input : inputs) {
        Catalog catalog;
        OpenFileList(QByteArrayView(input), catalog, kAllExist);
        for (int i = 0; i < catalog.records().size(); ++i)
            QVERIFY(!catalog.records().at(i).isNull());
    }
    // A negative count reads as no categories and the file lines still load.
    Catalog catalog;
    QVERIFY(!OpenFileList(QByteArrayView(inputs.at(inputs.size() - 3)), catalog, kAllExist).stop);
    QCOMPARE(catalog.records().size(), 1);
}

void TestCatalogFileReader::realFilesAndMissingFile()
{
    QTemporaryDir dir;
    const QString present = TestFiles::createFile(dir.filePath(QStringLiteral("a b/pic.jpg")), "x");
    const QString catalogPath = dir.filePath(QStringLiteral("c.kvd"));
    TestFiles::createFile(catalogPath, "1\r\n\"A\",\"A\",1\r\n\"" + present.toUtf8() + "\",1,\"\"\r\n\""
                                           + dir.filePath(QStringLiteral("gone.jpg")).toUtf8() + "\",1,\"\"\r\n");
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(catalogPath, catalog);
    QVERIFY(report.opened);
    QCOMPARE(recordsOf(catalog), QStringList{present + QStringLiteral("/1>")});
    QCOMPARE(report.missingFiles, QStringList{dir.filePath(QStringLiteral("gone.jpg"))});

    Catalog none;
    const CatalogLoadReport unreadable = OpenFileList(dir.filePath(QStringLiteral("nope.kvd")), none);
    QVERIFY(!unreadable.opened);
    QVERIFY(unreadable.stop.has_value());
}

QTEST_GUILESS_MAIN(TestCatalogFileReader)
#include "tst_catalogfilereader.moc"
