#include "Catalog.h"
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
    void indexesFollowCreationOrder();
    void removingCategoryRenumbersRecords();
    void removingSubtreeShiftsByItsSize();
    void renumberingMovesEachRecordOnce();
    void renumberingTakesFirstNodeWithTag();
    void renumberingLeavesUnmatchedRecords();
    void renumberingClearsMarksAndMarksChanged();
    void tagIndexOnEmptyTreeDoesNothing();
    void findTemporaryTakesLastNode();
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

void TestCatalogModel::removingCategoryRenumbersRecords()
{
    Catalog catalog;
    for (int i = 1; i <= 5; ++i)
        catalog.tree().addRoot(QString::number(i));
    addRecords(catalog, {1, 2, 3, 4, 5});
    catalog.markSaved();

    catalog.TagIndex();
    catalog.tree().removeSubtree(2);
    catalog.ChangecategoryIndexForFiles();

    QCOMPARE(catalog.tree().nodeCount(), 4);
    // The records of 2 stay (the category deletion removes them, not the renumbering).
    QCOMPARE(recordIndexes(catalog), (QList<int>{1, 2, 2, 3, 4}));
    QCOMPARE(catalog.tree().node(2)->name, QStringLiteral("3"));
    QVERIFY(!catalog.FileListSaved());
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

void TestCatalogModel::renumberingMovesEachRecordOnce()
{
    Catalog catalog;
    for (int i = 1; i <= 3; ++i)
        catalog.tree().addRoot(QString::number(i));
    addRecords(catalog, {4, 5, 3});
    // A chain of shifts: old 5 becomes 4 while old 4 becomes 3.
    catalog.tree().node(1)->tag = 4;
    catalog.tree().node(2)->tag = 5;
    catalog.tree().node(3)->tag = 9;
    catalog.ChangecategoryIndexForFiles();
    QCOMPARE(recordIndexes(catalog), (QList<int>{1, 2, 3}));
}

void TestCatalogModel::renumberingTakesFirstNodeWithTag()
{
    Catalog catalog;
    for (int i = 1; i <= 3; ++i)
        catalog.tree().addRoot(QString::number(i));
    addRecords(catalog, {7});
    catalog.tree().node(2)->tag = 7;
    catalog.tree().node(3)->tag = 7;
    catalog.ChangecategoryIndexForFiles();
    QCOMPARE(recordIndexes(catalog), (QList<int>{2}));
}

void TestCatalogModel::renumberingLeavesUnmatchedRecords()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("only"));
    catalog.records().append(kSentinelRecord);
    catalog.records().append(QStringLiteral("/a.jpg/12>kw"));
    catalog.TagIndex();
    catalog.ChangecategoryIndexForFiles();
    QCOMPARE(catalog.records().at(0), kSentinelRecord);
    QCOMPARE(catalog.records().at(1), QStringLiteral("/a.jpg/12>kw"));
}

void TestCatalogModel::renumberingClearsMarksAndMarksChanged()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("A"));
    addRecords(catalog, {1, 1});
    catalog.records().setMarked(1, true);
    QSignalSpy saved(&catalog, &Catalog::savedStateChanged);
    catalog.TagIndex();
    catalog.ChangecategoryIndexForFiles();
    QCOMPARE(catalog.records().markedCount(), 0);
    QCOMPARE(saved.count(), 1);
    QVERIFY(!catalog.FileListSaved());
}

void TestCatalogModel::tagIndexOnEmptyTreeDoesNothing()
{
    Catalog catalog;
    catalog.TagIndex();
    QCOMPARE(catalog.tree().nodeCount(), 0);
}

void TestCatalogModel::findTemporaryTakesLastNode()
{
    Catalog catalog;
    QCOMPARE(catalog.findTemporary(), -1);
    catalog.tree().addRoot(Catalog::kTemporaryName);
    catalog.tree().addRoot(QStringLiteral("temporary"));
    catalog.tree().addChild(2, Catalog::kTemporaryName);
    QCOMPARE(catalog.findTemporary(), 3);
    QCOMPARE(catalog.TemporaryIndex(), 3);
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
