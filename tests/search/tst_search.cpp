#include "AdvancedSearch.h"
#include "FileRecord.h"
#include "QuickSearch.h"
#include "RecordList.h"
#include "UpperCaseText.h"

#include <QLocale>
#include <QTest>


// The searches without a window: which records the quick search finds, and the helpers
// the advanced search reads its entries with. The criteria are tested through the dialog.
class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quickSearchMatches_data();
    void quickSearchMatches();
    void quickSearchOverManyBuffers();
    void removeSpaces_data();
    void removeSpaces();
    void monthDayYear_data();
    void monthDayYear();
    void advancedSearchGoesOnWhereItStopped();
    void advancedSearchFindsOfflineFiles_data();
    void advancedSearchFindsOfflineFiles();

private:
    static RecordList listOf(const QStringList &records)
    {
        RecordList list;
        for (const QString &record : records)
            list.append(record);
        return list;
    }
};

void TestSearch::quickSearchMatches_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("found");
    const QStringList catalog {kSentinelRecord,         "/pics/beach.jpg/1>beach sunset", "/c/x.png/15>",
                               "/pics/beach.jpg/1>beach sunset", "/music/rock.mp3/2>loud"};
    QTest::newRow("slash lists every record") << catalog << "/" << QList<int> {1, 2, 3, 4};
    QTest::newRow("greater than lists every record") << catalog << ">" << QList<int> {1, 2, 3, 4};
    QTest::newRow("upper-case finds lower-case") << catalog << "BEACH" << QList<int> {1, 3};
    QTest::newRow("index digits take part") << catalog << "5>" << QList<int> {2};
    QTest::newRow("separator and index") << catalog << "/2>" << QList<int> {4};
    QTest::newRow("sentinel never listed") << catalog << "Testing" << QList<int> {};
    QTest::newRow("nothing found") << catalog << "zebra" << QList<int> {};
    QTest::newRow("no match across two records") << QStringList {"/a/1>xy", "zw/b/2>"} << "yzw" << QList<int> {};
    QTest::newRow("accented upper finds lower") << QStringList {u"/m/été.mp3/1>"_qs, "/m/ete.mp3/1>"} << u"ÉTÉ"_qs
                                                << QList<int> {0};
    QTest::newRow("what upper-casing gives") << QStringList {u"/a/Straße 1.jpg/1>"_qs, "/a/STRASSE 2.jpg/1>", "/a/strase.jpg/1>"}
                                             << "STRASSE" << QList<int> {0, 1};
    QTest::newRow("sharp s searched for") << QStringList {u"/a/Straße 1.jpg/1>"_qs, "/a/STRASSE 2.jpg/1>"} << u"straße"_qs
                                          << QList<int> {0, 1};
    QTest::newRow("ascii runs around others") << QStringList {u"/é/abcdefghijklmnopqrstuvwxyzé/1>"_qs, "/e/xyze/1>"}
                                              << u"xyzé"_qs << QList<int> {0};
    QTest::newRow("beyond the basic plane") << QStringList {u"/\U00010428.jpg/1>"_qs, "/a.jpg/1>"} << u"\U00010400"_qs
                                            << QList<int> {0};
    QTest::newRow("dotless i and ligature") << QStringList {u"/\u0131\uFB01le/1>"_qs} << "IFILE" << QList<int> {0};
    QTest::newRow("record longer than a buffer") << QStringList {"/a/1>" + QString(300000, 'x') + "needle", "/b/1>"}
                                                 << "NEEDLE" << QList<int> {0};
}

void TestSearch::quickSearchMatches()
{
    QFETCH(QStringList, records);
    QFETCH(QString, text);
    const RecordList list = listOf(records);
    const std::vector<int> positions = QuickSearchMatches(list, text);
    QTEST(QList<int>(positions.begin(), positions.end()), "found");
}

// Enough records for several buffers and threads: every one is found in its order.
void TestSearch::quickSearchOverManyBuffers()
{
    RecordList list;
    for (int i = 0; i < 250000; ++i)
        list.append(MakeFileRecord(QStringLiteral("/media/folder %1/file %2.jpg").arg(i / 100).arg(i),
                                   1 + i % 7, i % 5000 == 17 ? QStringLiteral("Lighthouse") : QString()));
    const std::vector<int> rare = QuickSearchMatches(list, u"lighthouse");
    QCOMPARE(QList<int>(rare.begin(), rare.begin() + 3), (QList<int> {17, 5017, 10017}));
    QCOMPARE(rare.size(), std::size_t(50));
    QCOMPARE(rare.back(), 245017);
    const std::vector<int> every = QuickSearchMatches(list, u"/");
    QCOMPARE(every.size(), std::size_t(250000));
    QVERIFY(std::is_sorted(every.begin(), every.end()));
    QCOMPARE(every.back(), 249999);
}

void TestSearch::removeSpaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("spaces") << " my  doc " << "mydoc";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("other white space stays") << u"a\tb\u00A0c d"_qs << u"a\tb\u00A0cd"_qs;
}

void TestSearch::removeSpaces()
{
    QFETCH(QString, text);
    QTEST(RemoveSpaces(text), "expected");
}

void TestSearch::monthDayYear_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: not readable
    QTest::newRow("two digits") << "01/02/2004" << QDate(2004, 1, 2);
    QTest::newRow("one digit") << "1/2/2004" << QDate(2004, 1, 2);
    QTest::newRow("month first") << "12/31/1999" << QDate(1999, 12, 31);
    QTest::newRow("blanks around") << " 3/4/2005 " << QDate(2005, 3, 4);
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("day first") << "31/12/1999" << QDate();
    QTest::newRow("no such day") << "02/30/2004" << QDate();
    QTest::newRow("two-digit year") << "1/2/04" << QDate();
    QTest::newRow("other form") << "2004-01-02" << QDate();
    QTest::newRow("words") << "yesterday" << QDate();
}

void TestSearch::monthDayYear()
{
    QFETCH(QString, text);
    // The user's locale writes dates day first: the entry is read month first all the same.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::optional<QDate> read = readMonthDayYear(text);
    QLocale::setDefault(QLocale::system());
    QTEST(read.value_or(QDate()), "date");
}

// The search is taken in steps; records added meanwhile are still reached.
void TestSearch::advancedSearchGoesOnWhereItStopped()
{
    RecordList records = listOf({"/a/one.jpg/1>", "/a/two.jpg/1>"});
    AdvancedSearchCriteria criteria;
    criteria.byFileName = true;
    criteria.fileNameText = "/A/";
    AdvancedSearch search(records, criteria, [](const QString &) { return std::optional<qint64>(0); });
    std::vector<AdvancedSearch::Match> found;
    search.searchNext(1, found);
    QCOMPARE(search.searchedCount(), 1);
    QVERIFY(!search.isFinished());
    records.append("/a/three.jpg/1>");
    search.searchNext(10, found);
    QVERIFY(search.isFinished());
    QCOMPARE(found.size(), std::size_t(3));
    QCOMPARE(found.back().path, QStringLiteral("/a/three.jpg"));
}

void TestSearch::advancedSearchFindsOfflineFiles_data()
{
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<QStringList>("found");
    // /usb holds the unplugged drive's files, /gone a file that is really gone.
    QTest::newRow("by file name") << "name" << QStringList{"/usb/beach.jpg"};
    QTest::newRow("by keywords") << "keywords" << QStringList{"/usb/beach.jpg"};
    QTest::newRow("never by date") << "date" << QStringList{"/disk/beach.jpg"};
}

void TestSearch::advancedSearchFindsOfflineFiles()
{
    QFETCH(QString, criterion);
    const RecordList records = listOf({"/usb/beach.jpg/1>sea", "/gone/beach.jpg/1>sea", "/disk/beach.jpg/1>"});
    AdvancedSearchCriteria criteria;
    criteria.byFileName = criterion == QLatin1String("name");
    criteria.fileNameText = "USB/BEACH";
    criteria.byKeywords = criterion == QLatin1String("keywords");
    criteria.keywordsText = "sea";
    criteria.byDate = criterion == QLatin1String("date");
    criteria.after = QDate(1960, 1, 1);
    criteria.before = QDate(2200, 1, 1);
    const auto onDisk = [](const QString &path) {
        return path.startsWith(QLatin1String("/disk/")) ? std::optional<qint64>(86400000) : std::nullopt;
    };
    const auto offline = [](const QString &path) { return path.startsWith(QLatin1String("/usb/")); };
    AdvancedSearch search(records, criteria, onDisk, offline);
    std::vector<AdvancedSearch::Match> found;
    search.searchNext(10, found);
    QStringList paths;
    for (const AdvancedSearch::Match &match : found)
        paths.append(match.path);
    QTEST(paths, "found");
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
