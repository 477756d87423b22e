#include "Catalog.h"
#include "FileRecord.h"
#include "KeywordEditor.h"

#include <QTest>

using KeywordEditor::Outcome;

class TestKeywordEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedCharacters_data();
    void refusedCharacters();
    void replacesKeywordsKeepingIndexText();
    void updatesEverySelectedFileAndEveryRecordOfIt();
    void emptyKeywordsClear();
    void nothingIdentified_data();
    void nothingIdentified();
    void linuxPathsAreMatchedWhole();
};

namespace {

Catalog *catalogWith(const QStringList &records)
{
    auto *catalog = new Catalog;
    for (const QString &record : records)
        catalog->records().append(record);
    catalog->markSaved();
    return catalog;
}

} // namespace

void TestKeywordEditor::refusedCharacters_data()
{
    QTest::addColumn<QString>("keywords");
    QTest::newRow("greater-than") << "a>b";
    QTest::newRow("double quote") << "say \"hi\"";
    QTest::newRow("apostrophe") << "ann's";
    QTest::newRow("slash") << "a/b";
    QTest::newRow("backslash") << "\\";
    QTest::newRow("several") << "/>\\";
}

void TestKeywordEditor::refusedCharacters()
{
    QFETCH(QString, keywords);
    std::unique_ptr<Catalog> catalog(catalogWith({"/p/a.jpg/5>old"}));
    catalog->records().setMarked(0, true);
    const auto result = KeywordEditor::UpdateKeywords(*catalog, {"/p/a.jpg"}, keywords);
    QCOMPARE(result.outcome, Outcome::IllegalCharacters);
    QCOMPARE(catalog->records().at(0), QStringLiteral("/p/a.jpg/5>old"));
    QVERIFY(catalog->FileListSaved());
    QCOMPARE(catalog->records().markedCount(), 0);
}

void TestKeywordEditor::replacesKeywordsKeepingIndexText()
{
    std::unique_ptr<Catalog> catalog(catalogWith({"/Pics/a.jpg/5>old", "/Pics/b.jpg/ 07>x"}));
    auto result = KeywordEditor::UpdateKeywords(*catalog, {"/Pics/a.jpg", "/Pics/b.jpg"}, QStringLiteral("beach sunset"));
    QCOMPARE(result.outcome, Outcome::Updated);
    QCOMPARE(result.recordsUpdated, 2);
    QCOMPARE(catalog->records().at(0), QStringLiteral("/Pics/a.jpg/5>beach sunset"));
    QCOMPARE(catalog->records().at(1), QStringLiteral("/Pics/b.jpg/ 07>beach sunset")); // index text kept as it stands
    QVERIFY(!catalog->FileListSaved());
}

void TestKeywordEditor::updatesEverySelectedFileAndEveryRecordOfIt()
{
    std::unique_ptr<Catalog> catalog(catalogWith({kSentinelRecord, "/a/1>", "/b/1>", "/a/2>z", "/c/1>"}));
    const auto result = KeywordEditor::UpdateKeywords(*catalog, {"/a", "/c"}, QStringLiteral("k"));
    QCOMPARE(result.recordsUpdated, 3);
    QCOMPARE(catalog->records().at(0), kSentinelRecord);
    QCOMPARE(catalog->records().at(1), QStringLiteral("/a/1>k"));
    QCOMPARE(catalog->records().at(2), QStringLiteral("/b/1>"));
    QCOMPARE(catalog->records().at(3), QStringLiteral("/a/2>k"));
    QCOMPARE(catalog->records().at(4), QStringLiteral("/c/1>k"));
    QCOMPARE(catalog->records().categoryAt(3), 2);
}

void TestKeywordEditor::emptyKeywordsClear()
{
    std::unique_ptr<Catalog> catalog(catalogWith({"/a/1>old"}));
    QCOMPARE(KeywordEditor::UpdateKeywords(*catalog, {"/a"}, QString()).outcome, Outcome::Updated);
    QCOMPARE(catalog->records().at(0), QStringLiteral("/a/1>"));
}

void TestKeywordEditor::nothingIdentified_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::newRow("no row selected") << QStringList{};
    QTest::newRow("letter case differs") << QStringList{"/P/A.JPG"};
    QTest::newRow("unknown path") << QStringList{"/p/z.jpg"};
}

void TestKeywordEditor::nothingIdentified()
{
    QFETCH(QStringList, selected);
    std::unique_ptr<Catalog> catalog(catalogWith({"/p/a.jpg/1>old"}));
    QCOMPARE(KeywordEditor::UpdateKeywords(*catalog, selected, QStringLiteral("new")).outcome, Outcome::NoRecordIdentified);
    QCOMPARE(catalog->records().at(0), QStringLiteral("/p/a.jpg/1>old"));
    QVERIFY(catalog->FileListSaved());
}

void TestKeywordEditor::linuxPathsAreMatchedWhole()
{
    // Taking the text before the first "/" would find nothing for Linux paths.
    std::unique_ptr<Catalog> catalog(catalogWith({"/home/ann/Pictures/2004/beach.jpg/4>"}));
    QCOMPARE(KeywordEditor::UpdateKeywords(*catalog, {"/home/ann/Pictures/2004/beach.jpg"}, QStringLiteral("sea")).recordsUpdated, 1);
    QCOMPARE(catalog->records().at(0), QStringLiteral("/home/ann/Pictures/2004/beach.jpg/4>sea"));
}

QTEST_GUILESS_MAIN(TestKeywordEditor)
#include "tst_keywordeditor.moc"
