#include "AdvancedSearch.h"
#include "FileRecord.h"
#include "QuickSearch.h"
#include "RecordList.h"
#include "UpperCaseText.h"

#include <QLocale>
#include <QTest>

#include <map>

// The searches without a window: which records the quick search finds, the advanced
// search's criteria and dates, and the helpers they read their entries with.
Q_DECLARE_METATYPE(AdvancedSearchCriteria)

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void upperCasing_data();
    void upperCasing();
    void quickSearchMatches_data();
    void quickSearchMatches();
    void quickSearchOverManyBuffers();
    void removeSpaces_data();
    void removeSpaces();
    void monthDayYear_data();
    void monthDayYear();
    void advancedCriteria_data();
    void advancedCriteria();
    void advancedDateRanges_data();
    void advancedDateRanges();
    void advancedSearchGoesOnWhereItStopped();

private:
    static RecordList listOf(const QStringList &records)
    {
        RecordList list;
        for (const QString &record : records)
            list.append(record);
        return list;
    }
};

void TestSearch::upperCasing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("upper");
    QTest::newRow("ascii") << "/Pics/a-z 09.jpg/5>Beach" << QByteArray("/PICS/A-Z 09.JPG/5>BEACH");
    QTest::newRow("accents") << u"été"_qs << QByteArray("\xC3\x89T\xC3\x89");
    QTest::newRow("sharp s widens") << u"straße"_qs << QByteArray("STRASSE");
    QTest::newRow("ligature") << u"\uFB01le"_qs << QByteArray("FILE");
    QTest::newRow("dotless i") << u"\u0131"_qs << QByteArray("I");
    QTest::newRow("beyond the basic plane") << u"\U00010428"_qs << QByteArray("\xF0\x90\x90\x80");
    QTest::newRow("ascii runs around others") << u"éabcdefghijklmnopqrstuvwxyzé"_qs
                                              << QByteArray("\xC3\x89" "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC3\x89");
}

void TestSearch::upperCasing()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, upper);
    QCOMPARE(QByteArray::fromStdString(upperUtf8(text)), upper);
}

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
    QTest::newRow("record longer than a buffer") << QStringList {"/a/1>" + QString(300000, 'x') + "needle", "/b/1>"}
                                                 << "NEEDLE" << QList<int> {0};
}

void TestSearch::quickSearchMatches()
{
    QFETCH(QStringList, records);
    QFETCH(QString, text);
    QFETCH(QList<int>, found);
    const RecordList list = listOf(records);
    const std::vector<int> positions = QuickSearchMatches(list, text);
    QCOMPARE(QList<int>(positions.begin(), positions.end()), found);
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
    QFETCH(QString, expected);
    QCOMPARE(RemoveSpaces(text), expected);
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
    QFETCH(QDate, date);
    // The user's locale writes dates day first: the entry is read month first all the same.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::optional<QDate> read = readMonthDayYear(text);
    QLocale::setDefault(QLocale::system());
    QCOMPARE(read.value_or(QDate()), date);
}

namespace {

// Files of a stub disk by path, with the day each was last modified at noon.
AdvancedSearch::FileStatus stubDisk(const std::map<QString, QDate> &files)
{
    return [files](const QString &path) -> std::optional<qint64> {
        const auto found = files.find(path);
        if (found == files.end())
            return std::nullopt;
        return QDateTime(found->second, QTime(12, 0)).toMSecsSinceEpoch();
    };
}

const QStringList kAdvancedRecords {
    kSentinelRecord,
    "/pics/Holiday/img1.jpg/1>sun",
    "/docs/My Doc.txt/2>work notes",
    "/pics/beach.jpg/1>beach sunset",
    "/gone/holiday.jpg/1>beach",
    "/docs/list.txt/2>my doc",
    "/pics/Holiday/img1.jpg/3>",
};

const std::map<QString, QDate> kAdvancedFiles {
    {"/pics/Holiday/img1.jpg", QDate(2004, 1, 2)},
    {"/docs/My Doc.txt", QDate(2004, 1, 1)},
    {"/pics/beach.jpg", QDate(2004, 1, 3)},
    {"/docs/list.txt", QDate(2005, 6, 1)},
};

QStringList searchAll(const AdvancedSearchCriteria &criteria, const RecordList &records, const std::map<QString, QDate> &files)
{
    AdvancedSearch search(records, criteria, stubDisk(files));
    std::vector<AdvancedSearch::Match> found;
    while (!search.isFinished())
        search.searchNext(1, found);
    QStringList lines;
    for (const AdvancedSearch::Match &match : found)
        lines.append(match.path + '|' + match.keywords);
    return lines;
}

} // namespace

void TestSearch::advancedCriteria_data()
{
    QTest::addColumn<AdvancedSearchCriteria>("criteria");
    QTest::addColumn<QStringList>("found");
    auto byName = [](const QString &text, bool removeSpacesInRecords = false) {
        AdvancedSearchCriteria c;
        c.byFileName = true;
        c.fileNameText = text;
        c.removeSpacesInRecords = removeSpacesInRecords;
        return c;
    };
    QTest::newRow("folder name, missing file passed over")
        << byName("holiday") << QStringList {"/pics/Holiday/img1.jpg|sun", "/pics/Holiday/img1.jpg|"};
    QTest::newRow("spaces removed in paths") << byName("mydoc", true) << QStringList {"/docs/My Doc.txt|work notes"};
    QTest::newRow("spaces kept in paths") << byName("mydoc") << QStringList {};
    QTest::newRow("index and keywords are not the path") << byName("sun") << QStringList {};
    AdvancedSearchCriteria keywords;
    keywords.byKeywords = true;
    keywords.keywordsText = "MY DOC";
    QTest::newRow("keywords only") << keywords << QStringList {"/docs/list.txt|my doc"};
    keywords.keywordsText = "mydoc";
    keywords.removeSpacesInRecords = true;
    QTest::newRow("spaces removed in keywords, shown as they are") << keywords << QStringList {"/docs/list.txt|my doc"};
    AdvancedSearchCriteria either = byName("zzz");
    either.byKeywords = true;
    either.keywordsText = "beach";
    QTest::newRow("criteria are alternatives") << either << QStringList {"/pics/beach.jpg|beach sunset"};
    either.fileNameText = "docs";
    QTest::newRow("either one, in record order")
        << either << QStringList {"/docs/My Doc.txt|work notes", "/pics/beach.jpg|beach sunset", "/docs/list.txt|my doc"};
}

void TestSearch::advancedCriteria()
{
    QFETCH(AdvancedSearchCriteria, criteria);
    QFETCH(QStringList, found);
    QCOMPARE(searchAll(criteria, listOf(kAdvancedRecords), kAdvancedFiles), found);
}

void TestSearch::advancedDateRanges_data()
{
    QTest::addColumn<QDate>("after");
    QTest::addColumn<QDate>("before");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("the day between") << QDate(2004, 1, 1) << QDate(2004, 1, 3) << QStringList {"/pics/Holiday/img1.jpg|sun",
                                                                                                 "/pics/Holiday/img1.jpg|"};
    QTest::newRow("both ends excluded") << QDate(2004, 1, 2) << QDate(2004, 1, 3) << QStringList {};
    QTest::newRow("same day") << QDate(2004, 1, 2) << QDate(2004, 1, 2) << QStringList {};
    QTest::newRow("reversed") << QDate(2004, 1, 3) << QDate(2004, 1, 1) << QStringList {};
    QTest::newRow("wide") << QDate(2003, 12, 31) << QDate(2005, 6, 2)
                          << QStringList {"/pics/Holiday/img1.jpg|sun", "/docs/My Doc.txt|work notes",
                                          "/pics/beach.jpg|beach sunset", "/docs/list.txt|my doc", "/pics/Holiday/img1.jpg|"};
}

void TestSearch::advancedDateRanges()
{
    QFETCH(QDate, after);
    QFETCH(QDate, before);
    QFETCH(QStringList, found);
    AdvancedSearchCriteria criteria;
    criteria.byDate = true;
    criteria.after = after;
    criteria.before = before;
    QCOMPARE(searchAll(criteria, listOf(kAdvancedRecords), kAdvancedFiles), found);
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

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
