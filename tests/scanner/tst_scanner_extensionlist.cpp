#include "ExtensionListFile.h"
#include "ExtensionTable.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

class TestExtensionList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void freshTableIsEmpty();
    void countIsReadFromEntryZero_data();
    void countIsReadFromEntryZero();
    void tableHoldsAtMost2500();
    void scanLeavesTheTableEmpty();
    void starShowsAsAllFileExtensions();
    void writtenBytes_data();
    void writtenBytes();
    void parse_data();
    void parse();
    void writeThenRead();
    void failedWriteLeavesNothingBehind();
    void failedWriteKeepsTheOldFile();
    void missingFileIsAnError();
};

void TestExtensionList::freshTableIsEmpty()
{
    const ExtensionTable table;
    QCOMPARE(table.entry(0), QStringLiteral("0"));
    QCOMPARE(table.count(), 0);
    QVERIFY(table.extensions().isEmpty());
    QVERIFY(!table.isAllFilesMode());
    QCOMPARE(table.entry(2501), QString());
}

void TestExtensionList::countIsReadFromEntryZero_data()
{
    QTest::addColumn<QString>("entryZero");
    QTest::addColumn<int>("count");

    QTest::newRow("plain number") << "3" << 3;
    QTest::newRow("number then junk") << "2abc" << 2;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("negative") << "-4" << 0;
    QTest::newRow("beyond the table") << "9999" << 2500;
}

void TestExtensionList::countIsReadFromEntryZero()
{
    QFETCH(QString, entryZero);
    ExtensionTable table;
    table.setEntry(1, QStringLiteral("ini"));
    table.setEntry(2, QStringLiteral("log"));
    table.setEntry(3, QStringLiteral("cfg"));
    table.setEntry(0, entryZero);
    QTEST(table.count(), "count");
    QCOMPARE(table.extensions().size(), table.count());
}

void TestExtensionList::tableHoldsAtMost2500()
{
    QStringList many;
    for (int i = 0; i < 2501; ++i)
        many.append(QStringLiteral("e%1").arg(i));
    ExtensionTable table;
    QVERIFY(!table.setExtensions(many));
    QCOMPARE(table.entry(0), QStringLiteral("2500"));
    QCOMPARE(table.entry(2500), QStringLiteral("e2499"));
    many.removeLast();
    QVERIFY(table.setExtensions(many));
}

void TestExtensionList::scanLeavesTheTableEmpty()
{
    ExtensionTable table;
    table.setExtensions({QStringLiteral("*"), QStringLiteral("png")});
    QVERIFY(table.isAllFilesMode());
    table.clearUsedEntries();
    QCOMPARE(table.entry(0), QStringLiteral("0"));
    QCOMPARE(table.entry(1), QString());
    QCOMPARE(table.entry(2), QString());
    QVERIFY(!table.isAllFilesMode());
}

void TestExtensionList::starShowsAsAllFileExtensions()
{
    QCOMPARE(ExtensionTable::toDisplayText(QStringLiteral("*")), QStringLiteral("<All File Extensions>"));
    QCOMPARE(ExtensionTable::toDisplayText(QStringLiteral("ini")), QStringLiteral("ini"));
    QCOMPARE(ExtensionTable::fromDisplayText(QStringLiteral("<All File Extensions>")), QStringLiteral("*"));
    QCOMPARE(ExtensionTable::fromDisplayText(QStringLiteral("png")), QStringLiteral("png"));
}

void TestExtensionList::writtenBytes_data()
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

void TestExtensionList::writtenBytes()
{
    QFETCH(QStringList, extensions);
    QTEST(ExtensionListFile::format(extensions), "bytes");
}

void TestExtensionList::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("extensions");
    QTest::addColumn<bool>("ok");

    QTest::newRow("as written") << QByteArray(" 2 \r\nini\r\nlog\r\n") << QStringList{"ini", "log"} << true;
    QTest::newRow("LF line ends") << QByteArray(" 2 \nini\nlog\n") << QStringList{"ini", "log"} << true;
    QTest::newRow("no line end at the close") << QByteArray("2\r\nini\r\nlog") << QStringList{"ini", "log"} << true;
    QTest::newRow("blanks before an entry") << QByteArray(" 1 \r\n   ini\r\n") << QStringList{"ini"} << true;
    QTest::newRow("comma ends an entry") << QByteArray(" 3 \r\nini,log\r\ncfg\r\n") << QStringList{"ini", "log", "cfg"}
                                         << true;
    QTest::newRow("count ended by a comma") << QByteArray("2,ini,log\r\n") << QStringList{"ini", "log"} << true;
    QTest::newRow("lines beyond the count are ignored")
        << QByteArray(" 1 \r\nini\r\nlog\r\n") << QStringList{"ini"} << true;
    QTest::newRow("empty line is an empty entry") << QByteArray(" 2 \r\n\r\nlog\r\n") << QStringList{"", "log"} << true;
    QTest::newRow("Windows-1252 from an older file")
        << QByteArray(" 1 \r\n\xe9t\xe9\r\n") << QStringList{QString::fromUtf8("été")} << true;
    QTest::newRow("UTF-8") << QByteArray(" 1 \r\n\xc3\xa9t\xc3\xa9\r\n") << QStringList{QString::fromUtf8("été")}
                           << true;
    QTest::newRow("empty file") << QByteArray() << QStringList{} << true;
    QTest::newRow("count zero") << QByteArray(" 0 \r\n") << QStringList{} << true;
    QTest::newRow("negative count") << QByteArray("-2\r\nini\r\n") << QStringList{} << true;
    QTest::newRow("file ends early") << QByteArray(" 3 \r\nini\r\nlog\r\n") << QStringList{"ini", "log"} << false;
    QTest::newRow("count beyond 16 bits") << QByteArray(" 40000 \r\nini\r\n") << QStringList{} << false;
}

void TestExtensionList::parse()
{
    QFETCH(QByteArray, bytes);
    const ExtensionListFile::ReadResult result = ExtensionListFile::parse(bytes);
    QTEST(result.extensions, "extensions");
    QTEST(result.ok(), "ok");
}

void TestExtensionList::writeThenRead()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("media.ext"));
    const QStringList extensions{"ini", "*", QString::fromUtf8("été"), "LOG"};
    QCOMPARE(ExtensionListFile::write(path, extensions), std::nullopt);
    const ExtensionListFile::ReadResult result = ExtensionListFile::read(path);
    QVERIFY(result.ok());
    QCOMPARE(result.declaredCount, 4);
    QCOMPARE(result.extensions, extensions);

    QCOMPARE(ExtensionListFile::write(path, {}), std::nullopt);
    QCOMPARE(TestFiles::readFile(path), QByteArray());
    QVERIFY(ExtensionListFile::read(path).extensions.isEmpty());
}

void TestExtensionList::failedWriteLeavesNothingBehind()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing/media.ext"));
    QVERIFY(ExtensionListFile::write(path, {QStringLiteral("ini")}).has_value());
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

void TestExtensionList::failedWriteKeepsTheOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("Needs a file-size limit");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("media.ext"));
    QCOMPARE(ExtensionListFile::write(path, {QStringLiteral("ini"), QStringLiteral("log")}), std::nullopt);
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

void TestExtensionList::missingFileIsAnError()
{
    const ExtensionListFile::ReadResult result = ExtensionListFile::read(QStringLiteral("/no/such/list.ext"));
    QVERIFY(!result.ok());
    QVERIFY(result.extensions.isEmpty());
}

QTEST_GUILESS_MAIN(TestExtensionList)
#include "tst_scanner_extensionlist.moc"
