#include "Catalog.h"
#include "DeleteDuplicates.h"
#include "FileRecord.h"

#include <QSignalSpy>
#include <QTest>

class TestCatalogModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void indexesFollowCreationOrder();
    void removingSubtreeShiftsByItsSize();
    void renumbering_data();
    void renumbering();
    void findTemporaryTakesLastRootOfTheName();
    void subtreeOrderIsChildrenFirst();
    void fullPathAndDepth();
    void resetToEmptyHoldsOnlySentinel();
    void batchInsertKeepsOrder();
    void removeMarkedKeepsOthersInOrder();
    void deleteDuplicates_data();
    void deleteDuplicates();
};

namespace {

void addRecords(Catalog &catalog, const QList<int> &indexes)
{
    for (int i = 0; i < indexes.size(); ++i)
        catalog.records().append(MakeFileRecord(QStringLiteral("/f/%1.jpg").arg(i), indexes[i], QString()));
}

QList<int> recordIndexes(const Catalog &catalog)
{
    QList<int> indexes;
    for (int i = 0; i < catalog.records().size(); ++i) {
        const int parsed = ParseFileRecord(catalog.records().at(i)).categoryIndex;
        if (parsed != catalog.records().categoryAt(i))
            return {-999}; // the cached index drifted from the string
        indexes.append(parsed);
    }
    return indexes;
}

} // namespace

void TestCatalogModel::indexesFollowCreationOrder()
{
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    QCOMPARE(tree.addRoot(QStringLiteral("A")), 1);
    QCOMPARE(tree.addRoot(QStringLiteral("B")), 2);
    QCOMPARE(tree.addChild(1, QStringLiteral("A1")), 3);
    QCOMPARE(tree.node(3)->parent, tree.node(1));
    QCOMPARE(tree.node(1)->children.size(), std::size_t(1));
    QCOMPARE(tree.roots().size(), std::size_t(2));
    QVERIFY(tree.node(0) == nullptr);
    QVERIFY(tree.node(4) == nullptr);
    QCOMPARE(tree.addChild(9, QStringLiteral("nowhere")), 0);
}

void TestCatalogModel::removingSubtreeShiftsByItsSize()
{
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    for (int i = 1; i <= 3; ++i)
        tree.addRoot(QString::number(i));
    tree.addChild(2, QStringLiteral("4"));
    tree.addRoot(QStringLiteral("5"));
    QSignalSpy removed(&tree, &CategoryTree::nodeRemoved);

    tree.removeSubtree(2); // takes 2 and its child 4
    QCOMPARE(removed.count(), 1);
    QCOMPARE(tree.nodeCount(), 3);
    QCOMPARE(tree.node(2)->name, QStringLiteral("3"));
    QCOMPARE(tree.node(3)->name, QStringLiteral("5"));
    QCOMPARE(tree.node(3)->index, 3);
    QCOMPARE(tree.roots().size(), std::size_t(3));
}

void TestCatalogModel::renumbering_data()
{
    QTest::addColumn<int>("nodes");
    QTest::addColumn<QList<int>>("tags"); // per node; empty: TagIndex
    QTest::addColumn<int>("removed"); // node removed after tagging; 0: none
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("after");
    // The records of 2 stay: the category deletion removes them, not the renumbering.
    QTest::newRow("removing 2 of 5") << 5 << QList<int>{} << 2 << QList<int>{1, 2, 3, 4, 5} << QList<int>{1, 2, 2, 3, 4};
    QTest::newRow("a chain of shifts moves each record once")
        << 3 << QList<int>{4, 5, 9} << 0 << QList<int>{4, 5, 3} << QList<int>{1, 2, 3};
    QTest::newRow("the first node with the tag wins") << 3 << QList<int>{1, 7, 7} << 0 << QList<int>{7} << QList<int>{2};
    QTest::newRow("unmatched records stay, the sentinel too")
        << 1 << QList<int>{} << 0 << QList<int>{30000, 12} << QList<int>{30000, 12};
}

void TestCatalogModel::renumbering()
{
    QFETCH(int, nodes);
    QFETCH(QList<int>, tags);
    QFETCH(int, removed);
    QFETCH(QList<int>, before);
    Catalog catalog;
    for (int i = 1; i <= nodes; ++i)
        catalog.tree().addRoot(QString::number(i));
    addRecords(catalog, before);
    catalog.records().setMarked(0, true);
    catalog.markSaved();
    if (tags.isEmpty())
        catalog.TagIndex();
    for (int i = 0; i < tags.size(); ++i)
        catalog.tree().node(i + 1)->tag = tags[i];
    if (removed)
        catalog.tree().removeSubtree(removed);
    catalog.ChangecategoryIndexForFiles();
    QTEST(recordIndexes(catalog), "after");
    QCOMPARE(catalog.records().markedCount(), 0);
    QVERIFY(!catalog.FileListSaved());
}

void TestCatalogModel::findTemporaryTakesLastRootOfTheName()
{
    // Older catalogs may hold a sub-category named "Temporary": it is the user's own.
    Catalog catalog;
    QCOMPARE(catalog.findTemporary(), -1);
    catalog.tree().addRoot(QStringLiteral("Mine"));
    catalog.tree().addChild(1, Catalog::kTemporaryName);
    QCOMPARE(catalog.findTemporary(), -1);
    catalog.tree().addRoot(Catalog::kTemporaryName);
    catalog.tree().addRoot(Catalog::kTemporaryName);
    catalog.tree().addRoot(QStringLiteral("temporary"));
    catalog.tree().addChild(5, Catalog::kTemporaryName);
    QCOMPARE(catalog.findTemporary(), 4);
    QCOMPARE(catalog.TemporaryIndex(), 4);
}

void TestCatalogModel::subtreeOrderIsChildrenFirst()
{
    // A has B and E; B has D: the deletion visits D, B, E, A.
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    const int a = tree.addRoot(QStringLiteral("A"));
    const int b = tree.addChild(a, QStringLiteral("B"));
    tree.addRoot(QStringLiteral("C"));
    const int d = tree.addChild(b, QStringLiteral("D"));
    const int e = tree.addChild(a, QStringLiteral("E"));
    QCOMPARE(tree.subtreeChildrenFirst(a), (std::vector<int>{d, b, e, a}));
}

void TestCatalogModel::fullPathAndDepth()
{
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    const int photos = tree.addRoot(QStringLiteral("Photos"));
    const int holidays = tree.addChild(photos, QStringLiteral("Holidays"));
    const int year = tree.addChild(holidays, QStringLiteral("2004"));
    QCOMPARE(tree.fullPath(year), QStringLiteral("Photos\\Holidays\\2004"));
    QCOMPARE(tree.depth(year), 3);
    QCOMPARE(tree.depth(photos), 1);
}

void TestCatalogModel::resetToEmptyHoldsOnlySentinel()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("A"));
    addRecords(catalog, {1});
    catalog.setTemporaryIndex(1);
    catalog.resetToEmpty();
    QCOMPARE(catalog.tree().nodeCount(), 0);
    QCOMPARE(catalog.records().size(), 1);
    QCOMPARE(catalog.records().at(0), kSentinelRecord);
    QCOMPARE(catalog.TemporaryIndex(), -1);
}

void TestCatalogModel::batchInsertKeepsOrder()
{
    RecordList records;
    records.append(kSentinelRecord);
    records.append(QStringLiteral("/old/1>"));
    records.insert(1, std::vector<QString>{QStringLiteral("/new/a/2>"), QStringLiteral("/new/b/3>")});
    QCOMPARE(records.size(), 4);
    QCOMPARE(records.at(1), QStringLiteral("/new/a/2>"));
    QCOMPARE(records.categoryAt(2), 3);
    QCOMPARE(records.at(3), QStringLiteral("/old/1>"));
    QCOMPARE(records.categoryAt(3), 1);
}

void TestCatalogModel::removeMarkedKeepsOthersInOrder()
{
    RecordList records;
    for (int i = 0; i < 6; ++i)
        records.append(MakeFileRecord(QStringLiteral("/f%1").arg(i), i, QString()));
    records.setMarked(0, true);
    records.setMarked(3, true);
    records.setMarked(5, true);
    records.removeMarked();
    QCOMPARE(records.size(), 3);
    QCOMPARE(records.at(0), QStringLiteral("/f1/1>"));
    QCOMPARE(records.categoryAt(1), 2);
    QCOMPARE(records.at(2), QStringLiteral("/f4/4>"));
    QCOMPARE(records.markedCount(), 0);
}

void TestCatalogModel::deleteDuplicates_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QList<int>>("keptRows");
    QTest::newRow("A B A B keeps the last of each") << QStringList{"A", "B", "A", "B"} << QList<int>{2, 3};
    QTest::newRow("unique rows untouched") << QStringList{"A", "B", "C"} << QList<int>{0, 1, 2};
    QTest::newRow("case matters") << QStringList{"a", "A"} << QList<int>{0, 1};
    QTest::newRow("run of equals") << QStringList{"X", "X", "Y", "X"} << QList<int>{2, 3};
    QTest::newRow("empty") << QStringList{} << QList<int>{};
}

void TestCatalogModel::deleteDuplicates()
{
    QFETCH(QStringList, paths);
    std::vector<std::pair<QString, int>> rows;
    for (int i = 0; i < paths.size(); ++i)
        rows.emplace_back(paths[i], i);
    DeleteDuplicates(rows, [](const std::pair<QString, int> &row) -> const QString & { return row.first; });
    QList<int> kept;
    for (const auto &row : rows)
        kept.append(row.second);
    QTEST(kept, "keptRows");
}

QTEST_GUILESS_MAIN(TestCatalogModel)
#include "tst_catalogmodel.moc"
