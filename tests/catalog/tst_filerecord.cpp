#include "FileRecord.h"

#include <QTest>

class TestFileRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void make();
    void setRecordCategoryKeepsPathAndKeywords_data();
    void setRecordCategoryKeepsPathAndKeywords();
    void indexFieldIsCanonical();
};

void TestFileRecord::parse_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("keywords");

    QTest::newRow("linux path with keywords") << "/home/ann/Pics/a.jpg/5>beach sunset"
                                              << "/home/ann/Pics/a.jpg" << 5 << "beach sunset";
    QTest::newRow("empty keywords") << "/media/b.jpg/9>" << "/media/b.jpg" << 9 << "";
    QTest::newRow("windows path") << "C:\\Pics\\a.jpg/5>beach" << "C:\\Pics\\a.jpg" << 5 << "beach";
    QTest::newRow("sentinel") << kSentinelRecord << "ForTestingPurposes,,18712+-*648392" << 30000 << "";
    QTest::newRow("negative index") << "/x/a.mp3/-1>k" << "/x/a.mp3" << -1 << "k";
    QTest::newRow("index with leading blanks") << "/x/a.mp3/  12>k" << "/x/a.mp3" << 12 << "k";
    QTest::newRow("non-numeric index reads 0") << "/x/a.mp3/abc>k" << "/x/a.mp3" << 0 << "k";
    QTest::newRow("number stops at junk") << "/x/a.mp3/7x>k" << "/x/a.mp3" << 7 << "k";
    QTest::newRow("no separators") << "plain" << "" << 0 << "plain";
    QTest::newRow("no greater-than") << "/x/a.mp3/7" << "/x/a.mp3" << 0 << "/x/a.mp3/7";
    QTest::newRow("slash in keywords is taken as last") << "/x/a.jpg/3>a/b" << "/x/a.jpg/3>a" << 0 << "a/b";
    QTest::newRow("greater-than in keywords") << "/x/a.jpg/3>a>b" << "/x/a.jpg" << 3 << "b";
}

void TestFileRecord::parse()
{
    QFETCH(QString, record);
    const ParsedRecord parsed = ParseFileRecord(record);
    QTEST(parsed.path, "path");
    QTEST(parsed.categoryIndex, "index");
    QTEST(parsed.keywords, "keywords");
    // The fast partial readers must agree with the full parse.
    QCOMPARE(recordPath(record), parsed.path);
    QCOMPARE(recordCategoryIndex(record), parsed.categoryIndex);
    QCOMPARE(recordKeywords(record), parsed.keywords);
}

void TestFileRecord::make()
{
    QCOMPARE(MakeFileRecord(QStringLiteral("/home/ann/My Pics/ä b.jpeg"), 42, QStringLiteral("x y")),
             QStringLiteral("/home/ann/My Pics/ä b.jpeg/42>x y"));
    QCOMPARE(MakeFileRecord(QStringLiteral("/a"), -3, QString()), QStringLiteral("/a/-3>"));
}

void TestFileRecord::setRecordCategoryKeepsPathAndKeywords_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/p/q/a.jpg/5>k w" << 2 << "/p/q/a.jpg/2>k w";
    QTest::newRow("empty keywords") << "/p/a.jpg/15>" << 140 << "/p/a.jpg/140>";
    QTest::newRow("odd index text is normalised") << "/p/a.jpg/ 07>k" << 7 << "/p/a.jpg/7>k";
}

void TestFileRecord::setRecordCategoryKeepsPathAndKeywords()
{
    QFETCH(QString, record);
    QFETCH(int, index);
    QTEST(SetRecordCategory(record, index), "expected");
}

void TestFileRecord::indexFieldIsCanonical()
{
    QVERIFY(recordIndexFieldIs(QStringLiteral("/a/b.jpg/12>k"), 12));
    QVERIFY(!recordIndexFieldIs(QStringLiteral("/a/b.jpg/012>k"), 12));
    QVERIFY(recordIndexFieldIs(QStringLiteral("/a/b.jpg/-4>"), -4));
    QCOMPARE(recordViews(QStringLiteral("/a/b.jpg/ 012>k")).indexText, QStringView(u" 012"));
}

QTEST_GUILESS_MAIN(TestFileRecord)
#include "tst_filerecord.moc"
