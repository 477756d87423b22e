#include "ApplyScanResult.h"
#include "ExtensionListFile.h"
#include "ExtensionTable.h"
#include "FileNameRules.h"
#include "FileRecord.h"
#include "FoundFiles.h"
#include "RecordList.h"
#include "ScanPasses.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

Q_DECLARE_METATYPE(std::vector<ScanPass>)

// The scanner's rules that need no folder walk: names, passes, the extension table and
// its .ext file, and where found records go.
class TestScannerRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowCells_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("rowName");
        QTest::addColumn<QString>("rowExtension");

        QTest::newRow("upper-case name and extension") << "Beach.JPG" << "JPG" << "beach" << "jpg";
        QTest::newRow("several dots: the last one counts") << "archive.tar.gz" << "gz" << "archive.tar" << "gz";
        QTest::newRow("leading dot only") << ".profile" << "profile" << "" << "profile";
        QTest::newRow("trailing dot") << "notes." << "" << "notes" << "";
        QTest::newRow("no dot at all") << "README" << "" << "readme" << "";
        QTest::newRow("two trailing dots") << "odd.." << "" << "odd." << "";
        QTest::newRow("dot file with extension") << ".Hidden.PNG" << "PNG" << ".hidden" << "png";
        QTest::newRow("non-ASCII letters lower-cased")
            << QString::fromUtf8("ÉTÉ.Jpeg") << "Jpeg" << QString::fromUtf8("été") << "jpeg";
        QTest::newRow("spaces kept") << "My Song .Mp3" << "Mp3" << "my song " << "mp3";
    }

    void rowCells()
    {
        QFETCH(QString, fileName);
        QTEST(FileNameRules::extensionOf(QStringView(fileName)).toString(), "extension");
        QTEST(FileNameRules::rowName(fileName), "rowName");
        QTEST(FileNameRules::rowExtension(fileName), "rowExtension");
        // The byte form used while walking the disk splits the same way.
        const std::string bytes = fileName.toStdString();
        QTEST(QString::fromStdString(std::string(FileNameRules::extensionOf(std::string_view(bytes)))), "extension");
    }

    void listingOrder()
    {
        std::vector<std::string> names
            = {"b.jpg", "_x.jpg", "B.jpg", "a10.jpg", "A2.jpg", "\xc3\xa9.jpg", "a.jpg", "Z.jpg"};
        std::sort(names.begin(), names.end(), FileNameRules::listsBefore);
        const std::vector<std::string> expected
            = {"_x.jpg", "a.jpg", "a10.jpg", "A2.jpg", "B.jpg", "b.jpg", "Z.jpg", "\xc3\xa9.jpg"};
        QCOMPARE(names, expected);
        QVERIFY(!FileNameRules::listsBefore("same", "same"));
        QVERIFY(FileNameRules::listsBefore("ab", "abc"));
        QVERIFY(!FileNameRules::listsBefore("abc", "AB"));
    }

    void matching_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<bool>("skipFilesWithoutExtension");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("found");

        QTest::newRow("extension differs only in case") << "jpg" << false << "Beach.JPG" << true;
        QTest::newRow("inner extension does not count") << "tar" << false << "archive.tar.gz" << false;
        QTest::newRow("leading dot is an extension") << "profile" << false << ".profile" << true;
        QTest::newRow("trailing dot matches the empty extension") << "" << false << "notes." << true;
        QTest::newRow("empty extension skipped in all-files mode") << "" << true << "README" << false;
        QTest::newRow("star finds a name with extension") << "*" << true << "a.b" << true;
        QTest::newRow("star in all-files mode skips a name without dot") << "*" << true << "README" << false;
        QTest::newRow("star outside all-files mode finds every file") << "*" << false << "README" << true;
        QTest::newRow("wanted with a dot never matches") << ".jpg" << false << "a.jpg" << false;
        QTest::newRow("prefix is not enough") << "jpe" << false << "a.jpeg" << false;
        QTest::newRow("non-ASCII case folded")
            << QString::fromUtf8("été") << false << QString::fromUtf8("x.ÉTÉ") << true;
    }

    void matching()
    {
        QFETCH(QString, wanted);
        QFETCH(bool, skipFilesWithoutExtension);
        QFETCH(QString, fileName);
        const ScanPass pass{wanted, skipFilesWithoutExtension};
        QTEST(ScanPasses::matches(pass, FileNameRules::extensionOf(QStringView(fileName))), "found");
    }

    void mediaScanPasses_data()
    {
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QStringList>("additional");
        QTest::addColumn<std::vector<ScanPass>>("expected");

        QTest::newRow("checked boxes run in fixed order")
            << QStringList{"wmv", "jpg", "avi"} << QStringList{}
            << std::vector<ScanPass>{{"avi", false}, {"jpg", false}, {"wmv", false}};
        QTest::newRow("additional extensions follow, as typed")
            << QStringList{"png"} << QStringList{"INI", "png"}
            << std::vector<ScanPass>{{"png", false}, {"INI", false}, {"png", false}};
        QTest::newRow("star in entry one: only its own pass and the boxes see it")
            << QStringList{"jpg"} << QStringList{"*", "png"}
            << std::vector<ScanPass>{{"jpg", true}, {"*", true}, {"png", false}};
        QTest::newRow("star further down is an ordinary every-file pass")
            << QStringList{} << QStringList{"png", "*"} << std::vector<ScanPass>{{"png", false}, {"*", false}};
        QTest::newRow("nothing checked, nothing added") << QStringList{} << QStringList{} << std::vector<ScanPass>{};
    }

    void mediaScanPasses()
    {
        QFETCH(QStringList, checked);
        QFETCH(QStringList, additional);
        ExtensionTable table;
        table.setExtensions(additional);
        QTEST(ScanPasses::forMediaScan(checked, table), "expected");
    }

    void countIsReadFromEntryZero_data()
    {
        QTest::addColumn<QString>("entryZero");
        QTest::addColumn<int>("count");

        QTest::newRow("plain number") << "3" << 3;
        QTest::newRow("number then junk") << "2abc" << 2;
        QTest::newRow("not a number") << "abc" << 0;
        QTest::newRow("negative") << "-4" << 0;
        QTest::newRow("beyond the table") << "9999" << 2500;
    }

    void countIsReadFromEntryZero()
    {
        ExtensionTable table;
        table.setExtensions({"ini", "log", "cfg"});
        QFETCH(QString, entryZero);
        table.setEntry(0, entryZero);
        QTEST(table.count(), "count");
        QCOMPARE(table.extensions().size(), table.count());
    }

    void tableHoldsAtMost2500()
    {
        QStringList many;
        for (int i = 0; i < 2501; ++i)
            many.append(QStringLiteral("e%1").arg(i));
        ExtensionTable table;
        QVERIFY(!table.setExtensions(many));
        QCOMPARE(table.entry(0), QStringLiteral("2500"));
        QCOMPARE(table.entry(2500), QStringLiteral("e2499"));
        QCOMPARE(table.entry(2501), QString());
        many.removeLast();
        QVERIFY(table.setExtensions(many));
    }

    void writtenBytesReadBack_data()
    {
        QTest::addColumn<QStringList>("extensions");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("three extensions, four lines")
            << QStringList{"ini", "*", "log"} << QByteArray(" 3 \r\nini\r\n*\r\nlog\r\n");
        QTest::newRow("empty list, empty file") << QStringList{} << QByteArray();
        QTest::newRow("non-ASCII as UTF-8") << QStringList{QString::fromUtf8("été")}
                                            << QByteArray(" 1 \r\n\xc3\xa9t\xc3\xa9\r\n");
        QTest::newRow("count of two digits") << QStringList(12, QStringLiteral("x"))
                                             << QByteArray(" 12 \r\n") + QByteArray("x\r\n").repeated(12);
    }

    void writtenBytesReadBack()
    {
        QFETCH(QStringList, extensions);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ExtensionListFile::format(extensions), bytes);
        QCOMPARE(ExtensionListFile::parse(bytes).extensions, extensions);
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("extensions");
        QTest::addColumn<bool>("ok");

        const QStringList iniLog{"ini", "log"};
        QTest::newRow("LF line ends") << QByteArray(" 2 \nini\nlog\n") << iniLog << true;
        QTest::newRow("no line end at the close") << QByteArray("2\r\nini\r\nlog") << iniLog << true;
        QTest::newRow("blanks before an entry") << QByteArray(" 1 \r\n   ini\r\n") << QStringList{"ini"} << true;
        QTest::newRow("comma ends an entry") << QByteArray(" 3 \r\nini,log\r\ncfg\r\n") << iniLog + QStringList{"cfg"}
                                             << true;
        QTest::newRow("count ended by a comma") << QByteArray("2,ini,log\r\n") << iniLog << true;
        QTest::newRow("lines beyond the count are ignored") << QByteArray(" 1 \r\nini\r\nlog\r\n") << QStringList{"ini"}
                                                            << true;
        QTest::newRow("empty line is an empty entry") << QByteArray(" 2 \r\n\r\nlog\r\n") << QStringList{"", "log"}
                                                      << true;
        QTest::newRow("Windows-1252 from an older file")
            << QByteArray(" 1 \r\n\xe9t\xe9\r\n") << QStringList{QString::fromUtf8("été")} << true;
        QTest::newRow("negative count") << QByteArray("-2\r\nini\r\n") << QStringList{} << true;
        QTest::newRow("file ends early") << QByteArray(" 3 \r\nini\r\nlog\r\n") << iniLog << false;
        QTest::newRow("count beyond 16 bits") << QByteArray(" 40000 \r\nini\r\n") << QStringList{} << false;
    }

    void parse()
    {
        QFETCH(QByteArray, bytes);
        const ExtensionListFile::ReadResult result = ExtensionListFile::parse(bytes);
        QTEST(result.extensions, "extensions");
        QTEST(result.ok(), "ok");
    }

    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("path"); // in a fresh folder that holds the named pipe "pipe"
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "media.ext" << "76 - Path not found";
        // A pipe would block the read for good, /dev/zero fill the memory.
        QTest::newRow("named pipe") << "pipe" << "75 - Path/File access error (a named pipe is not a file)";
        QTest::newRow("endless device") << "/dev/zero" << "75 - Path/File access error (a device is not a file)";
    }

    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600) == 0);
        const ExtensionListFile::ReadResult result = ExtensionListFile::read(QDir(dir.path()).filePath(path));
        QTEST(result.error, "error");
        QVERIFY(result.extensions.isEmpty());
    }

    void writtenListReadsBackAndAFailedWriteLeavesNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(ExtensionListFile::write(dir.filePath(QStringLiteral("missing/media.ext")), {"ini"}).has_value());
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
        const QString path = dir.filePath(QStringLiteral("media.ext"));
        const QStringList extensions{"ini", "*", QString::fromUtf8("été"), "LOG"};
        QCOMPARE(ExtensionListFile::write(path, extensions), std::nullopt);
        const ExtensionListFile::ReadResult result = ExtensionListFile::read(path);
        QVERIFY(result.ok());
        QCOMPARE(result.declaredCount, 4);
        QCOMPARE(result.extensions, extensions);
#ifdef Q_OS_UNIX
        const QByteArray before = TestFiles::readFile(path);
        // A size limit makes the disk refuse the new list part-way, even for root: the
        // moment where a careless writer leaves a cut-off file.
        QStringList longList;
        for (int i = 0; i < 500; ++i)
            longList.append(QStringLiteral("extension%1").arg(i));
        struct rlimit oldLimit;
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &oldLimit) == 0);
        const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit smallLimit = oldLimit;
        smallLimit.rlim_cur = 64;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &smallLimit) == 0);
        const std::optional<QString> error = ExtensionListFile::write(path, longList);
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        ::signal(SIGXFSZ, oldHandler);

        QVERIFY(error.has_value());
        QCOMPARE(TestFiles::readFile(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("media.ext")});
#endif
    }

    // Found f0, f1, f2 in that order: each one goes to position 1 (0 in an empty list).
    void foundRecordsGoBehindTheFirst_data()
    {
        QTest::addColumn<QStringList>("initial");
        QTest::addColumn<int>("foundCount");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<int>>("categories");
        const QString s = kSentinelRecord;
        QTest::newRow("empty list: the first found stays first")
            << QStringList{} << 3 << QStringList{"f0/9>", "f2/9>", "f1/9>"} << QList<int>{9, 9, 9};
        QTest::newRow("behind the sentinel, newest first")
            << QStringList{s} << 3 << QStringList{s, "f2/9>", "f1/9>", "f0/9>"} << QList<int>{30000, 9, 9, 9};
        QTest::newRow("filed records stay behind the found ones")
            << QStringList{s, "x/1>k", "y/2>"} << 2 << QStringList{s, "f1/9>", "f0/9>", "x/1>k", "y/2>"}
            << QList<int>{30000, 9, 9, 1, 2};
        QTest::newRow("nothing found") << QStringList{"x/1>"} << 0 << QStringList{"x/1>"} << QList<int>{1};
    }

    void foundRecordsGoBehindTheFirst()
    {
        QFETCH(QStringList, initial);
        QFETCH(int, foundCount);
        std::vector<QString> found;
        for (int i = 0; i < foundCount; ++i)
            found.push_back(QStringLiteral("f%1/9>").arg(i));
        RecordList list;
        for (const QString &record : initial)
            list.append(record);
        // The scan session hands its records over newest first.
        RecordList newestFirst;
        for (auto record = found.rbegin(); record != found.rend(); ++record)
            newestFirst.append(*record);
        insertFoundRecordsNewestFirst(list, std::move(newestFirst));
        QStringList records;
        QList<int> categories;
        for (int i = 0; i < list.size(); ++i) {
            records << list.at(i);
            categories << list.categoryAt(i);
        }
        QTEST(records, "expected");
        QTEST(categories, "categories");
    }

    // What the walk read (a folder and a name, both UTF-8) as a row and as a record. The
    // row's strings are made without the general text functions for ASCII names, so
    // names of every kind are checked here.
    void foundFileStrings_data()
    {
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("rowName");
        QTest::addColumn<QString>("rowExtension");

        QTest::newRow("upper-case ASCII") << QByteArray("/m/Pics") << QByteArray("Beach.JPG") << "/m/Pics/Beach.JPG"
                                          << "beach" << "jpg";
        QTest::newRow("several dots") << QByteArray("/m") << QByteArray("a.Tar.GZ") << "/m/a.Tar.GZ" << "a.tar"
                                      << "gz";
        QTest::newRow("no dot") << QByteArray("/m") << QByteArray("README") << "/m/README" << "readme" << "";
        QTest::newRow("trailing dot") << QByteArray("/m") << QByteArray("Notes.") << "/m/Notes." << "notes" << "";
        QTest::newRow("leading dot") << QByteArray("/m") << QByteArray(".Profile") << "/m/.Profile" << ""
                                     << "profile";
        QTest::newRow("folder ending in a separator") << QByteArray("/") << QByteArray("x.jpg") << "/x.jpg" << "x"
                                                      << "jpg";
        QTest::newRow("non-ASCII name") << QByteArray("/m") << QByteArray("\xc3\x89T\xc3\x89.Jpeg")
                                        << QString::fromUtf8("/m/ÉTÉ.Jpeg") << QString::fromUtf8("été") << "jpeg";
        QTest::newRow("non-ASCII folder") << QByteArray("/m/\xc3\xa9t\xc3\xa9") << QByteArray("A.mp3")
                                          << QString::fromUtf8("/m/été/A.mp3") << "a" << "mp3";
        QTest::newRow("leading zero-width no-break space kept")
            << QByteArray("/m") << QByteArray("\xef\xbb\xbfHoliday.jpg") << QStringLiteral("/m/\uFEFFHoliday.jpg")
            << QStringLiteral("\uFEFFholiday") << "jpg";
    }

    void foundFileStrings()
    {
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, name);
        QFETCH(QString, path);
        FoundFiles files;
        files.addFolder(std::string_view(folder.constData(), std::size_t(folder.size())));
        files.addFile("first.jpg");
        files.addFile(std::string_view(name.constData(), std::size_t(name.size())));
        std::vector<FoundFile> walked(files.begin(), files.end());
        QCOMPARE(walked.size(), std::size_t(2));
        for (const FoundFile &file : {walked[1], files.at(1)}) {
            QCOMPARE(file.path, path);
            QTEST(file.name, "rowName");
            QTEST(file.extension, "rowExtension");
        }
        // Newest first, as they go into the record list.
        const RecordList records = foundRecordsNewestFirst(files, 7);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0), MakeFileRecord(path, 7, QString()));
        QCOMPARE(records.at(1), MakeFileRecord(walked[0].path, 7, QString()));
        QCOMPARE(records.categoryAt(0), 7);
    }
};

QTEST_GUILESS_MAIN(TestScannerRules)
#include "tst_scanner_rules.moc"
