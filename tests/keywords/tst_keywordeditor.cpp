#include "../catalog/CatalogTestSupport.h"
#include "KeywordEditor.h"

#include <QTest>

using KeywordEditor::Outcome;

// The rewrite of the selected files' records; the messages for each outcome are the
// file list commands' to test.
class TestKeywordEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void updateKeywords_data();
    void updateKeywords();
};

void TestKeywordEditor::updateKeywords_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("updated");
    QTest::addColumn<QStringList>("after"); // empty: as before
    const QStringList one{"/p/a.jpg/5>old"};
    const QStringList a{"/p/a.jpg"};
    for (const char *refused : {"a>b", "say \"hi\"", "ann's", "a/b", "\\", "/>\\"})
        QTest::addRow("refused: %s", refused) << one << a << refused << Outcome::IllegalCharacters << 0
                                              << QStringList{};
    QTest::newRow("no row selected") << one << QStringList{} << "new" << Outcome::NoRecordIdentified << 0
                                     << QStringList{};
    QTest::newRow("letter case differs") << one << QStringList{"/P/A.JPG"} << "new" << Outcome::NoRecordIdentified
                                         << 0 << QStringList{};
    QTest::newRow("unknown path") << one << QStringList{"/p/z.jpg"} << "new" << Outcome::NoRecordIdentified << 0
                                  << QStringList{};
    // Taking the text before the first "/" as the path would find nothing for Linux paths.
    QTest::newRow("whole paths; the index text kept as it stands")
        << QStringList{"/Pics/a.jpg/5>old", "/Pics/b.jpg/ 07>x"} << QStringList{"/Pics/a.jpg", "/Pics/b.jpg"}
        << "beach sunset" << Outcome::Updated << 2
        << QStringList{"/Pics/a.jpg/5>beach sunset", "/Pics/b.jpg/ 07>beach sunset"};
    QTest::newRow("every record of each selected file")
        << QStringList{kSentinelRecord, "/a/1>", "/b/1>", "/a/2>z", "/c/1>"} << QStringList{"/a", "/c"} << "k"
        << Outcome::Updated << 3 << QStringList{kSentinelRecord, "/a/1>k", "/b/1>", "/a/2>k", "/c/1>k"};
    QTest::newRow("empty keywords clear") << one << a << "" << Outcome::Updated << 1 << QStringList{"/p/a.jpg/5>"};
}

void TestKeywordEditor::updateKeywords()
{
    QFETCH(QStringList, records);
    QFETCH(QStringList, selected);
    QFETCH(QString, keywords);
    QFETCH(QStringList, after);
    Catalog catalog;
    CatalogTest::fill(catalog, records);
    catalog.records().setMarked(0, true);
    const KeywordEditor::Result result = KeywordEditor::UpdateKeywords(catalog, selected, keywords);
    QTEST(result.outcome, "outcome");
    QTEST(result.recordsUpdated, "updated");
    QCOMPARE(CatalogTest::recordsOf(catalog), after.isEmpty() ? records : after);
    QCOMPARE(catalog.FileListSaved(), after.isEmpty());
    QCOMPARE(catalog.records().markedCount(), 0);
}

QTEST_GUILESS_MAIN(TestKeywordEditor)
#include "tst_keywordeditor.moc"
