#include "CatalogTestSupport.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestCatalogFileReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordsRead_data();
    void recordsRead();
    void treeRebuilt_data();
    void treeRebuilt();
    void olderWindowsTextIsRead();
    void malformedFilesStopWithLine_data();
    void malformedFilesStopWithLine();
    void tooManyCategoriesStop();
    void missingFilesAreListedNotLoaded();
    void relativePathsNameNoFile();
    void bigLoadKeepsTheFileOrder();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void fileChangedWhileLoadingIsNoCrash();
    void bigFileStopsAtTheRightLine();
};

using CatalogTest::kAllExist;
using CatalogTest::missingOf;
using CatalogTest::recordsOf;
using CatalogTest::shape;

void TestCatalogFileReader::recordsRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("keywordsMended");
    QTest::addColumn<int>("unholdable"); // paths left out and reported
    QTest::newRow("as written") << QByteArray(" 1 \r\n\"A\"           \"A\"            1 \r\n"
                                              "\"/p/x.jpg\"                 1             \"k w\"\r\n")
                                << "A" << "/p/x.jpg/1>k w" << 0 << 0;
    QTest::newRow("commas and tabs") << QByteArray("1\r\n\"A\",\"A\",1\r\n\t\"/p/x.jpg\",1,\"k w\"") << "A"
                                     << "/p/x.jpg/1>k w" << 0 << 0;
    QTest::newRow("items across lines") << QByteArray("1\n\"A\"\n\"A\"\n1\n\"/p/x.jpg\"\n1\n\"k w\"\n\n\n") << "A"
                                        << "/p/x.jpg/1>k w" << 0 << 0;
    QTest::newRow("unquoted text keeps its trailing blanks")
        << QByteArray("1\r\nA  ,A,1\r\n/p/x.jpg ,1,k w  \r\n") << "A  " << "/p/x.jpg /1>k w  " << 0 << 0;
    const QByteArray head = " 1 \r\n\"A\",\"A\", 1 \r\n";
    QTest::newRow("slash in keywords") << head + "\"/m/a.mp3\", 1 ,\"AC/DC\"\r\n" << "A" << "/m/a.mp3/1>AC DC" << 1
                                       << 0;
    QTest::newRow("greater-than in keywords") << head + "\"/m/a.mp3\", 1 ,\"x>y\"\r\n" << "A" << "/m/a.mp3/1>x y"
                                              << 1 << 0;
    QTest::newRow("quote in unquoted keywords") << head + "\"/m/a.mp3\", 1 ,x\"y\r\n" << "A" << "/m/a.mp3/1>x y"
                                                << 1 << 0;
    QTest::newRow("line break in quoted keywords") << head + "\"/m/a.mp3\", 1 ,\"x\r\ny\"\r\n" << "A"
                                                   << "/m/a.mp3/1>x  y" << 1 << 0;
    QTest::newRow("quote in an unquoted path") << head + "/m/a\"b.mp3, 1 ,\"k\"\r\n\"/m/c.mp3\", 1 ,\"\"\r\n" << "A"
                                               << "/m/c.mp3/1>" << 0 << 1;
    QTest::newRow("line break in a quoted path") << head + "\"/m/a\nb.mp3\", 1 ,\"k\"\r\n\"/m/c.mp3\", 1 ,\"\"\r\n"
                                                 << "A" << "/m/c.mp3/1>" << 0 << 1;
    QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + head + "\"/m/a.mp3\", 1 ,\"\"\r\n" << "A" << "/m/a.mp3/1>"
                                     << 0 << 0;
}

void TestCatalogFileReader::recordsRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, record);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), catalog, kAllExist);
    QVERIFY2(!report.stop, report.stop ? qPrintable(report.stop->reason) : "");
    QCOMPARE(shape(catalog), QStringList{"0:" + name});
    QCOMPARE(recordsOf(catalog), QStringList{record}); // with the cached index as the text says
    QTEST(report.keywordsMended, "keywordsMended");
    QTEST(int(report.unholdablePaths.size()), "unholdable");
    QVERIFY(catalog.FileListSaved());
}

void TestCatalogFileReader::treeRebuilt_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("shape");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("temporary");
    QTest::addColumn<QStringList>("putAtTopLevel");
    QTest::addColumn<int>("unnamedFiles");
    QTest::addColumn<int>("filesWithoutCategory");
    QTest::addColumn<int>("namesMended");
    QTest::addColumn<QStringList>("temporaryRenamed");

    QTest::newRow("a sub-category goes under the last node of its parent's name")
        << QByteArray("4\r\n\"Photos\",\"Photos\",1\r\n\"Photos\",\"Photos\",2\r\n\"Beach\",\"Photos\\Beach\",3\r\n"
                      "\"Sand\",\"Beach\\Sand\",4\r\n\"/a.jpg\",4,\"\"\r\n")
        << QStringList{"0:Photos", "0:Photos", "2:Beach", "3:Sand"} << QStringList{"/a.jpg/4>"} << -1 << QStringList{}
        << 0 << 0 << 0 << QStringList{};
    // An index no line holds would now name B: the file filed it under no category.
    QTest::newRow("stored indexes with gaps")
        << QByteArray("2\r\n\"A\",\"A\",1\r\n\"B\",\"B\",3\r\n\"/b.jpg\",3,\"kb\"\r\n\"/a.jpg\",1,\"ka\"\r\n\"/lost.jpg\",2,\"\"\r\n")
        << QStringList{"0:A", "0:B"} << QStringList{"/b.jpg/2>kb", "/a.jpg/1>ka", "/lost.jpg/0>"} << -1 << QStringList{}
        << 0 << 1 << 0 << QStringList{};
    // At the top a sub-category "Temporary" would pass for the system category.
    QTest::newRow("categories the file cannot place keep their files")
        << QByteArray("7\r\n\"\",\"\",1\r\n\"Child\",\"\\Child\",2\r\n\"Orphan\",\"Nobody\\Orphan\",3\r\n"
                      "\"Deep\",\"A\\B\\Deep\",4\r\n\"Kept\",\"Kept\",9\r\n\"Sub\",\"Orphan\\Sub\",6\r\n"
                      "\"Temporary\",\"Gone\\Temporary\",7\r\n"
                      "\"/u.jpg\",1,\"\"\r\n\"/c.jpg\",2,\"\"\r\n\"/o.jpg\",3,\"\"\r\n\"/d.jpg\",4,\"\"\r\n\"/k.jpg\",9,\"\"\r\n"
                      "\"/s.jpg\",6,\"\"\r\n\"/t.jpg\",7,\"\"\r\n\"/lost.jpg\",5,\"\"\r\n\"/far.jpg\",40,\"\"\r\n")
        << QStringList{"0:Child", "0:Orphan", "0:Deep", "0:Kept", "2:Sub", "0:Gone Temporary", "0:Unnamed category"}
        << QStringList{"/u.jpg/7>", "/c.jpg/1>", "/o.jpg/2>", "/d.jpg/3>", "/k.jpg/4>", "/s.jpg/5>", "/t.jpg/6>",
                       "/lost.jpg/0>", "/far.jpg/40>"}
        << -1 << QStringList{"\\Child", "Nobody\\Orphan", "A\\B\\Deep", "Gone\\Temporary"} << 1 << 1 << 0 << QStringList{};
    QTest::newRow("Temporary at the top is the system category")
        << QByteArray("2\r\n\"Temporary\",\"Temporary\",1\r\n\"A\",\"A\",2\r\n\"/t.jpg\",1,\"\"\r\n")
        << QStringList{"0:Temporary", "0:A"} << QStringList{"/t.jpg/1>"} << 1 << QStringList{} << 0 << 0 << 0 << QStringList{};
    QTest::newRow("a sub-category named Temporary is the user's")
        << QByteArray("2\r\n\"Mine\",\"Mine\",1\r\n\"Temporary\",\"Mine\\Temporary\",2\r\n\"/m.jpg\",2,\"\"\r\n")
        << QStringList{"0:Mine", "1:Temporary"} << QStringList{"/m.jpg/2>"} << -1 << QStringList{} << 0 << 0 << 0 << QStringList{};
    QTest::newRow("a second Temporary at the top is the user's")
        << QByteArray("3\r\n\"Temporary\",\"Temporary\",1\r\n\"Temporary\",\"Temporary\",2\r\n\"S\",\"Temporary\\S\",3\r\n"
                      "\"/1.jpg\",1,\"\"\r\n\"/2.jpg\",2,\"\"\r\n")
        << QStringList{"0:Temporary", "0:Temporary 2", "2:S"} << QStringList{"/1.jpg/1>", "/2.jpg/2>"} << 1
        << QStringList{} << 0 << 0 << 0 << QStringList{"Temporary 2"};
    QTest::newRow("U+FEFF is part of a name")
        << QByteArray("3\r\n\"\xEF\xBB\xBF\",\"\xEF\xBB\xBF\",1\r\n\xEF\xBB\xBF" "A,\xEF\xBB\xBF" "A,2\r\n"
                      "\"B\",\"\xEF\xBB\xBF" "A\\B\",3\r\n\"/b.jpg\",1,\"\"\r\n")
        << QStringList{QStringLiteral("0:\uFEFF"), QStringLiteral("0:\uFEFFA"), "2:B"} << QStringList{"/b.jpg/1>"} << -1
        << QStringList{} << 0 << 0 << 0 << QStringList{};
    QTest::newRow("a negative count reads as no categories")
        << QByteArray("-5\r\n\"/a\",1,\"\"") << QStringList{} << QStringList{"/a/1>"} << -1 << QStringList{} << 0 << 0 << 0 << QStringList{};
    QTest::newRow("names the file could not store again")
        << QByteArray("4\r\nA\"B,A\"B,1\r\n\"Two\r\nlines\",\"Two\r\nlines\",2\r\n\"x\\y\",\"Q\",3\r\n\"C\",A\"B\\C,4\r\n"
                      "\"/a\",4,\"\"\r\n")
        << QStringList{"0:A'B", "0:Two  lines", "0:x y", "1:C"} << QStringList{"/a/4>"} << -1 << QStringList{} << 0 << 0
        << 3 << QStringList{};
}

void TestCatalogFileReader::treeRebuilt()
{
    QFETCH(QByteArray, bytes);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), catalog, kAllExist);
    QVERIFY2(!report.stop, report.stop ? qPrintable(report.stop->reason) : "");
    QTEST(shape(catalog), "shape");
    QTEST(recordsOf(catalog), "records");
    QTEST(catalog.TemporaryIndex(), "temporary");
    QTEST(report.categoriesPutAtTopLevel, "putAtTopLevel");
    QTEST(report.filesOfUnnamedCategories, "unnamedFiles");
    QTEST(report.filesWithoutCategory, "filesWithoutCategory");
    QTEST(report.temporaryCategoriesRenamed, "temporaryRenamed");
    QTEST(report.categoryNamesMended, "namesMended");
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
    QTest::addColumn<QString>("reason");
    const QString itemMissing = QStringLiteral("an item is missing at the end of the file");
    QTest::newRow("empty file") << QByteArray() << 1 << 0 << 0 << "a number is missing at the end of the file";
    QTest::newRow("count not a number") << QByteArray("abc\r\n") << 1 << 0 << 0 << "\"abc\" is not a number";
    QTest::newRow("truncated category line") << QByteArray("2\r\n\"A\",\"A\",1\r\n\"B\",\"B") << 3 << 1 << 0
                                             << "a quoted text has no closing quote";
    QTest::newRow("truncated file line") << QByteArray("1\r\n\"A\",\"A\",1\r\n\"/a\",1,\"\"\r\n\"/b\",1") << 4 << 1 << 1
                                         << itemMissing;
    QTest::newRow("index not a number") << QByteArray("1\r\n\"A\",\"A\",1\r\n\"/a\",1,\"\"\r\n\"/b\",x,\"\"\r\n") << 4
                                        << 1 << 1 << "\"x\" is not a number";
    QTest::newRow("index out of range") << QByteArray("0\r\n\"/a\",99999,\"\"\r\n") << 2 << 0 << 0
                                        << "the number 99999 is out of range";
    QTest::newRow("count larger than lines") << QByteArray("3\r\n\"A\",\"A\",1\r\n\"/a\",1,\"\"\r\n") << 4 << 2 << 0
                                             << itemMissing;
    // Unprintable bytes are shown escaped, and only the first few.
    QTest::newRow("forty NUL bytes") << QByteArray(40, '\0') << 1 << 0 << 0
                                     << "\"\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0...\" is not a number";
    QTest::newRow("control bytes") << QByteArray("\x01\x1b\t7\r\n") << 1 << 0 << 0 << "\"\\x01\\x1B\\t7\" is not a number";
}

void TestCatalogFileReader::malformedFilesStopWithLine()
{
    QFETCH(QByteArray, bytes);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), catalog, kAllExist);
    QVERIFY(report.stop.has_value());
    QTEST(report.stop->reason, "reason");
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

void TestCatalogFileReader::missingFilesAreListedNotLoaded()
{
    // A folder at a file's path is no file either; an empty path is skipped silently.
    QTemporaryDir dir;
    const QString present = TestFiles::createFile(dir.filePath(QStringLiteral("a b/pic.jpg")), "x");
    const QString catalogPath = dir.filePath(QStringLiteral("c.kvd"));
    const QByteArray folder = dir.filePath(QStringLiteral("a b")).toUtf8();
    const QByteArray gone = dir.filePath(QStringLiteral("gone.jpg")).toUtf8();
    TestFiles::createFile(catalogPath, "1\r\n\"A\",\"A\",1\r\n\"" + gone + "\",1,\"\"\r\n\"" + present.toUtf8()
                                           + "\",1,\"\"\r\n\"" + folder + "\",1,\"\"\r\n\"\",1,\"x\"\r\n");
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(catalogPath, catalog);
    QVERIFY(report.opened);
    QCOMPARE(recordsOf(catalog), QStringList{present + QStringLiteral("/1>")});
    QCOMPARE(report.missingFiles, 2);
    // Kept aside with their category and their place among the loaded records.
    QCOMPARE(missingOf(catalog), (QStringList{QString::fromUtf8(gone) + "/1>@0", QString::fromUtf8(folder) + "/1>@1"}));
}

void TestCatalogFileReader::relativePathsNameNoFile()
{
    // Records hold full paths. Names that happen to exist in the folder the program
    // runs in must not become catalogued files: Execute would hand them to the opener
    // as a web address, another file or an option.
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    TestFiles::createFile(dir.filePath(QStringLiteral("-rf.jpg")), "x");
    TestFiles::createFile(dir.filePath(QStringLiteral("http:/evil.com/x.jpg")), "x");
    TestFiles::createFile(dir.filePath(QStringLiteral("file:/etc/hostname")), "x");
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(
        QByteArrayView("0\r\n\"-rf.jpg\",1,\"\"\r\n\"http://evil.com/x.jpg\",1,\"\"\r\n\"file:///etc/hostname\",1,\"\"\r\n"),
        catalog);
    QDir::setCurrent(before);
    QCOMPARE(recordsOf(catalog), QStringList());
    QCOMPARE(report.missingFiles, 3);
}

void TestCatalogFileReader::bigLoadKeepsTheFileOrder()
{
    // Files are looked for in batches, on more than one thread: records and missing
    // files still come in the file's order.
    QByteArray bytes = "1\r\n\"A\",\"A\",1\r\n";
    QStringList kept;
    QStringList missing;
    for (int i = 0; i < 40000; ++i) {
        const QString path = QStringLiteral("/p/%1.jpg").arg(i);
        bytes += "\"" + path.toUtf8() + "\",1,\"\"\r\n";
        (i % 7 == 3 ? missing : kept).append(i % 7 == 3 ? path + QStringLiteral("/1>@%1").arg(kept.size()) : path);
    }
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), catalog, [](QByteArrayView utf8Path) {
        const QString path = QString::fromUtf8(utf8Path);
        return path.section(QLatin1Char('/'), 2).section(QLatin1Char('.'), 0, 0).toInt() % 7 != 3;
    });
    QCOMPARE(missingOf(catalog), missing);
    QStringList paths;
    for (const QString &record : recordsOf(catalog))
        paths.append(record.chopped(3));
    QCOMPARE(paths, kept);
}

void TestCatalogFileReader::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("path"); // in a fresh folder: "pipe" is made a named pipe there
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "nope.kvd" << false << "76 - Path not found";
    QTest::newRow("missing folder") << "nowhere/c.kvd" << false << "76 - Path not found";
    QTest::newRow("folder") << "." << false << "75 - Path/File access error (a folder is not a file)";
    // Reading either would block, or run until memory is exhausted.
    QTest::newRow("named pipe") << "pipe" << false << "75 - Path/File access error (a named pipe is not a file)";
    QTest::newRow("endless device") << "/dev/zero" << false << "75 - Path/File access error (a device is not a file)";
    // Its size says 0 bytes, as a file that grew after it was measured.
    QTest::newRow("more content than its size") << "/proc/self/status" << true
                                                << "75 - Path/File access error (the file grew while it was read)";
}

void TestCatalogFileReader::onlyRegularFilesAreRead()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600) == 0);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QDir(dir.path()).filePath(path), catalog, kAllExist);
    QTEST(report.opened, "opened");
    QVERIFY(report.stop.has_value());
    QTEST(report.stop->reason, "reason");
    QCOMPARE(catalog.tree().nodeCount(), 0);
}

void TestCatalogFileReader::fileChangedWhileLoadingIsNoCrash()
{
    // The file is emptied while its records are being filed: what was read is loaded.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.kvd"));
    QByteArray bytes = "1\r\n\"A\",\"A\",1\r\n";
    for (int i = 0; i < 50000; ++i)
        bytes += "\"/pictures/holiday/" + QByteArray::number(i) + ".jpg\",1,\"\"\r\n";
    TestFiles::createFile(path, bytes);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(path, catalog, [&](QByteArrayView) {
        QFile::resize(path, 0);
        return true;
    });
    QVERIFY(!report.stop);
    QCOMPARE(catalog.records().size(), 50000);
}

void TestCatalogFileReader::bigFileStopsAtTheRightLine()
{
    // Read from disk, the bytes already parsed are given back while the load goes on:
    // the records and a late stop's line must not notice.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.kvd"));
    QByteArray bytes = "1\r\n\"A\",\"A\",1\r\n";
    constexpr int kRecords = 100000;
    for (int i = 0; i < kRecords; ++i)
        bytes += "\"/pictures/holiday/" + QByteArray::number(i) + ".jpg\",1,\"k" + QByteArray::number(i) + "\"\r\n";
    bytes += "\"/late.jpg\",x,\"\"\r\n";
    TestFiles::createFile(path, bytes);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(path, catalog, kAllExist);
    QVERIFY(report.stop.has_value());
    QCOMPARE(report.stop->line, kRecords + 3);
    QCOMPARE(catalog.records().size(), kRecords);
    QCOMPARE(catalog.records().at(0), QStringLiteral("/pictures/holiday/0.jpg/1>k0"));
    QCOMPARE(catalog.records().at(kRecords - 1), QStringLiteral("/pictures/holiday/99999.jpg/1>k99999"));
}

QTEST_GUILESS_MAIN(TestCatalogFileReader)
#include "tst_catalogfilereader.moc"
