#include "Catalog.h"
#include "CatalogEdits.h"
#include "FileRecord.h"

#include <QRandomGenerator>
#include <QTest>

// The record-by-record rules, written out literally: the linear passes must give the
// very same record lists.
namespace Reference {

void moveDroppedFiles(RecordList &records, const QStringList &dropped, int target)
{
    const int n = records.size();
    for (int p = 0; p < n; ++p) {
        const ParsedRecord parsed = ParseFileRecord(records.at(p));
        for (const QString &d : dropped) {
            if (d != parsed.path)
                continue;
            records.insert(records.isEmpty() ? 0 : 1, MakeFileRecord(d, target, parsed.keywords));
            records.removeAt(p >= 1 ? p + 1 : 0);
        }
    }
}

void removeDirectory(Catalog &catalog, int index)
{
    CategoryNode *node = catalog.tree().node(index);
    for (CategoryNode *child : std::vector<CategoryNode *>(node->children))
        removeDirectory(catalog, child->index);
    for (int i = 0; i < catalog.records().size(); ++i) {
        if (ParseFileRecord(catalog.records().at(i)).categoryIndex == index)
            catalog.records().setMarked(i, true);
    }
}

void deleteCategory(Catalog &catalog, int index)
{
    RecordList &records = catalog.records();
    records.clearMarks();
    catalog.TagIndex();
    removeDirectory(catalog, index);
    for (int i = records.size() - 1; i >= 0; --i) {
        if (records.isMarked(i))
            records.removeAt(i);
    }
    catalog.tree().removeSubtree(index);
    for (int i = 0; i < records.size(); ++i) {
        const int old = ParseFileRecord(records.at(i)).categoryIndex;
        for (int n = 1; n <= catalog.tree().nodeCount(); ++n) {
            if (catalog.tree().node(n)->tag == old) {
                records.replace(i, SetRecordCategory(records.at(i), n));
                break;
            }
        }
    }
}

} // namespace Reference

class TestCatalogEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deletingCategoryWithSubCategory();
    void deletingLeafRenumbersLaterRecords();
    void deleteMatchesRecordByRecordRules();
    void dropRefilesAndMovesBehindFirst();
    void dropOfFirstRecordTakesTheHead();
    void dropOfUnknownPathsChangesNothing();
    void dropMatchesRecordByRecordRules();
    void removeTakesEveryRecordOfThePath();
};

namespace {

QStringList recordsOf(const Catalog &catalog)
{
    QStringList list;
    for (int i = 0; i < catalog.records().size(); ++i)
        list.append(catalog.records().at(i));
    return list;
}

void buildRandomCatalog(Catalog &catalog, QRandomGenerator &random, int nodes, int records)
{
    for (int i = 0; i < nodes; ++i) {
        if (i == 0 || random.bounded(3) == 0)
            catalog.tree().addRoot(QStringLiteral("n%1").arg(i));
        else
            catalog.tree().addChild(1 + int(random.bounded(catalog.tree().nodeCount())), QStringLiteral("n%1").arg(i));
    }
    catalog.records().append(kSentinelRecord);
    for (int i = 0; i < records; ++i) {
        const int path = int(random.bounded(records / 2 + 1)); // some paths twice
        catalog.records().append(MakeFileRecord(QStringLiteral("/m/%1.jpg").arg(path), int(random.bounded(nodes + 2)),
                                                QStringLiteral("k%1").arg(i)));
    }
}

} // namespace

void TestCatalogEdits::deletingCategoryWithSubCategory()
{
    // Category 2 of 5 has sub-category 4.
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    tree.addRoot(QStringLiteral("1"));
    tree.addRoot(QStringLiteral("2"));
    tree.addRoot(QStringLiteral("3"));
    tree.addChild(2, QStringLiteral("4"));
    tree.addRoot(QStringLiteral("5"));
    for (int i = 1; i <= 5; ++i)
        catalog.records().append(MakeFileRecord(QStringLiteral("/f%1").arg(i), i, QString()));
    catalog.markSaved();

    CatalogEdits::deleteCategory(catalog, 2);
    QCOMPARE(tree.nodeCount(), 3);
    QCOMPARE(recordsOf(catalog), (QStringList{"/f1/1>", "/f3/2>", "/f5/3>"}));
    QVERIFY(!catalog.FileListSaved());
    QCOMPARE(catalog.records().markedCount(), 0);
}

void TestCatalogEdits::deletingLeafRenumbersLaterRecords()
{
    Catalog catalog;
    for (int i = 1; i <= 3; ++i)
        catalog.tree().addRoot(QString::number(i));
    catalog.records().append(MakeFileRecord(QStringLiteral("/a"), 3, QStringLiteral("k")));
    CatalogEdits::deleteCategory(catalog, 1);
    QCOMPARE(recordsOf(catalog), QStringList{"/a/2>k"});
}

void TestCatalogEdits::deleteMatchesRecordByRecordRules()
{
    QRandomGenerator random(7);
    for (int round = 0; round < 40; ++round) {
        Catalog linear;
        Catalog literal;
        QRandomGenerator forLinear(random.generate());
        QRandomGenerator forLiteral = forLinear;
        buildRandomCatalog(linear, forLinear, 12, 60);
        buildRandomCatalog(literal, forLiteral, 12, 60);
        const int victim = 1 + int(random.bounded(12));
        CatalogEdits::deleteCategory(linear, victim);
        Reference::deleteCategory(literal, victim);
        QCOMPARE(recordsOf(linear), recordsOf(literal));
        QCOMPARE(linear.tree().nodeCount(), literal.tree().nodeCount());
    }
}

void TestCatalogEdits::dropRefilesAndMovesBehindFirst()
{
    Catalog catalog;
    catalog.records().append(kSentinelRecord);
    catalog.records().append(QStringLiteral("/x/a.jpg/3>ka"));
    catalog.records().append(QStringLiteral("/x/other.jpg/1>"));
    catalog.records().append(QStringLiteral("/x/b.jpg/3>kb"));
    catalog.markSaved();
    QCOMPARE(CatalogEdits::MoveDroppedFiles(catalog, {"/x/a.jpg", "/x/b.jpg"}, 5), 2);
    QCOMPARE(recordsOf(catalog), (QStringList{kSentinelRecord, "/x/b.jpg/5>kb", "/x/a.jpg/5>ka", "/x/other.jpg/1>"}));
    QVERIFY(!catalog.FileListSaved());
}

void TestCatalogEdits::dropOfFirstRecordTakesTheHead()
{
    Catalog catalog;
    catalog.records().append(QStringLiteral("/a/1>"));
    catalog.records().append(QStringLiteral("/b/1>"));
    catalog.records().append(QStringLiteral("/c/1>"));
    CatalogEdits::MoveDroppedFiles(catalog, {"/a", "/c"}, 2);
    QCOMPARE(recordsOf(catalog), (QStringList{"/a/2>", "/c/2>", "/b/1>"}));
}

void TestCatalogEdits::dropOfUnknownPathsChangesNothing()
{
    Catalog catalog;
    catalog.records().append(QStringLiteral("/a/1>"));
    catalog.markSaved();
    QCOMPARE(CatalogEdits::MoveDroppedFiles(catalog, {"/elsewhere", "/A"}, 2), 0);
    QCOMPARE(recordsOf(catalog), QStringList{"/a/1>"});
    QVERIFY(catalog.FileListSaved());
}

void TestCatalogEdits::dropMatchesRecordByRecordRules()
{
    QRandomGenerator random(11);
    for (int round = 0; round < 60; ++round) {
        Catalog linear;
        QRandomGenerator seed(random.generate());
        QRandomGenerator copy = seed;
        buildRandomCatalog(linear, seed, 4, 40);
        Catalog literal;
        buildRandomCatalog(literal, copy, 4, 40);
        if (round % 3 == 0) { // sometimes a dropped file heads the list
            linear.records().removeAt(0);
            literal.records().removeAt(0);
        }
        QStringList dropped;
        for (int i = 0; i < 6; ++i)
            dropped.append(QStringLiteral("/m/%1.jpg").arg(random.bounded(25)));
        dropped.removeDuplicates();
        CatalogEdits::MoveDroppedFiles(linear, dropped, 9);
        Reference::moveDroppedFiles(literal.records(), dropped, 9);
        QCOMPARE(recordsOf(linear), recordsOf(literal));
    }
}

void TestCatalogEdits::removeTakesEveryRecordOfThePath()
{
    Catalog catalog;
    catalog.records().append(kSentinelRecord);
    catalog.records().append(QStringLiteral("/home/ann/a.jpg/1>"));
    catalog.records().append(QStringLiteral("/home/ann/a.jpg/2>x"));
    catalog.records().append(QStringLiteral("/home/ann/b.jpg/1>"));
    catalog.records().append(QStringLiteral("/home/ann/A.jpg/1>"));
    catalog.markSaved();
    QCOMPARE(CatalogEdits::removeRecordsWithPaths(catalog, {"/home/ann/a.jpg"}), 2);
    QCOMPARE(recordsOf(catalog), (QStringList{kSentinelRecord, "/home/ann/b.jpg/1>", "/home/ann/A.jpg/1>"}));
    QVERIFY(!catalog.FileListSaved());
}

QTEST_GUILESS_MAIN(TestCatalogEdits)
#include "tst_catalogedits.moc"
