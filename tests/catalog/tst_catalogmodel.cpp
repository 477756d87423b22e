#include "CatalogTestSupport.h"
#include "DeleteDuplicates.h"
#include "FileRecord.h"

#include "RecordList.h"

#include <QSignalSpy>
#include <QTest>

class TestCatalogModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordsKeepTheirTextThroughRewrites();
    void treeIndexesAndPaths();
    void renumbering_data();
    void renumbering();
    void findTemporaryTakesLastRootOfTheName();
    void resetToEmptyHoldsOnlySentinel();
    void deleteDuplicates_data();
    void deleteDuplicates();
};

namespace {

void addRecords(Catalog &catalog, const QList<int> &indexes)
{
    for (int i = 0; i < indexes.size(); ++i)
        catalog.records().append(MakeFileRecord(QStringLiteral("/f/%1.jpg").arg(i), indexes[i], QString()));
}

// -999 for a record whose cached index drifted from its text.
QList<int> recordIndexes(const Catalog &catalog)
{
    QList<int> indexes;
    for (const QString &record : CatalogTest::recordsOf(catalog))
        indexes.append(record.startsWith(u"drifted: ") ? -999 : ParseFileRecord(record).categoryIndex);
    return indexes;
}

} // namespace

void TestCatalogModel::treeIndexesAndPaths()
{
    // A(1) { B(3) { D(4) }, E(5) }, C(2): a node's index is its place in creation order.
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    QCOMPARE(tree.addRoot(QStringLiteral("A")), 1);
    QCOMPARE(tree.addRoot(QStringLiteral("C")), 2);
    QCOMPARE(tree.addChild(1, QStringLiteral("B")), 3);
    QCOMPARE(tree.addChild(3, QStringLiteral("D")), 4);
    QCOMPARE(tree.addChild(1, QStringLiteral("E")), 5);
    QCOMPARE(tree.addChild(9, QStringLiteral("nowhere")), 0);
    QCOMPARE(tree.node(4)->parent, tree.node(3));
    QCOMPARE(tree.roots().size(), std::size_t(2));
    QVERIFY(tree.node(0) == nullptr);
    QVERIFY(tree.node(6) == nullptr);
    QCOMPARE(tree.fullPath(4), QStringLiteral("A\\B\\D"));
    // The deletion visits a subtree children first.
    QCOMPARE(tree.subtreeChildrenFirst(1), (std::vector<int>{4, 3, 5, 1}));
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

void TestCatalogModel::resetToEmptyHoldsOnlySentinel()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("A"));
    addRecords(catalog, {1});
    catalog.setTemporaryIndex(1);
    catalog.resetToEmpty();
    QCOMPARE(catalog.tree().nodeCount(), 0);
    QCOMPARE(CatalogTest::recordsOf(catalog), QStringList{kSentinelRecord});
    QCOMPARE(catalog.TemporaryIndex(), -1);
}

void TestCatalogModel::deleteDuplicates_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QList<int>>("keptRows");
    QTest::newRow("A B A B keeps the last of each") << QStringList{"A", "B", "A", "B"} << QList<int>{2, 3};
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

// Records are stored compactly; text beyond ASCII reads back as written, also after
// enough rewrites that the dead text is thrown away.
void TestCatalogModel::recordsKeepTheirTextThroughRewrites()
{
    RecordList records;
    records.append(QStringLiteral("/p/\u00e9t\u00e9.jpg/1>\u043a\u043b\u044e\u0447 \U0001F600"));
    records.append(QStringLiteral("/p/a.jpg/2>"));
    records.append(QStringLiteral("/p/b.jpg/3>"));
    const QString padding(100, QLatin1Char('x'));
    for (int i = 0; i < 60000; ++i)
        records.replace(1, QStringLiteral("/p/%1.jpg/%2>").arg(padding).arg(i % 7));
    records.removeAt(2);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records.at(0), QStringLiteral("/p/\u00e9t\u00e9.jpg/1>\u043a\u043b\u044e\u0447 \U0001F600"));
    QCOMPARE(records.at(1), QStringLiteral("/p/") + padding + QStringLiteral(".jpg/2>"));
    QCOMPARE(records.categoryAt(1), 2);
    QVERIFY(records.textBytes() < 6 << 20); // 6.6 MB were written
}

QTEST_GUILESS_MAIN(TestCatalogModel)
#include "tst_catalogmodel.moc"
