#include "CatalogEdits.h"
#include "CatalogTestSupport.h"

#include <QTest>

// The record-by-record rules of deleting and dropping, as fixed before and after lists.
class TestCatalogEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deleteCategory_data();
    void deleteCategory();
    void moveDroppedFiles_data();
    void moveDroppedFiles();
    void removeTakesEveryRecordOfThePath();
};

using CatalogTest::fill;
using CatalogTest::recordsOf;

void TestCatalogEdits::deleteCategory_data()
{
    QTest::addColumn<QList<int>>("parents"); // of nodes 1, 2, ...; 0 for a top-level node
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("nodesLeft");
    QTest::newRow("a category with a sub-category")
        << QList<int>{0, 0, 0, 2, 0} << QStringList{"/f1/1>", "/f2/2>", "/f3/3>", "/f4/4>", "/f5/5>"} << 2
        << QStringList{"/f1/1>", "/f3/2>", "/f5/3>"} << 3;
    QTest::newRow("a leaf: later records follow") << QList<int>{0, 0, 0} << QStringList{"/a/3>k"} << 1
                                                  << QStringList{"/a/2>k"} << 2;
    // 2 has 4 below it, and 4 has 6; records of no category stay as they are.
    QTest::newRow("a deep subtree")
        << QList<int>{0, 1, 0, 2, 3, 4}
        << QStringList{kSentinelRecord, "/r1/1>", "/r2/4>", "/r3/6>a", "/r4/3>", "/r5/5>b", "/r6/0>", "/r7/9>"} << 2
        << QStringList{kSentinelRecord, "/r1/1>", "/r4/2>", "/r5/3>b", "/r6/0>", "/r7/9>"} << 3;
}

void TestCatalogEdits::deleteCategory()
{
    QFETCH(QList<int>, parents);
    QFETCH(QStringList, records);
    QFETCH(int, deleted);
    Catalog catalog;
    for (int i = 0; i < parents.size(); ++i) {
        const QString name = QString::number(i + 1);
        parents[i] ? catalog.tree().addChild(parents[i], name) : catalog.tree().addRoot(name);
    }
    fill(catalog, records);
    CatalogEdits::deleteCategory(catalog, deleted);
    QTEST(recordsOf(catalog), "after");
    QTEST(catalog.tree().nodeCount(), "nodesLeft");
    QVERIFY(!catalog.FileListSaved());
    QCOMPARE(catalog.records().markedCount(), 0);
}

void TestCatalogEdits::moveDroppedFiles_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("after"); // refiled under 5
    QTest::addColumn<int>("moved");
    QTest::newRow("the first record refiled keeps the head") << QStringList{"/a/1>x", "/b/1>", "/a/2>y", "/c/1>", "/d/1>"}
                                                             << QStringList{"/a", "/d"}
                                                             << QStringList{"/a/5>x", "/d/5>", "/a/5>y", "/b/1>", "/c/1>"} << 3;
    QTest::newRow("a path held twice: both, the later first")
        << QStringList{kSentinelRecord, "/a/3>k1", "/b/1>", "/a/4>k2"} << QStringList{"/a"}
        << QStringList{kSentinelRecord, "/a/5>k2", "/a/5>k1", "/b/1>"} << 2;
}

void TestCatalogEdits::moveDroppedFiles()
{
    QFETCH(QStringList, records);
    QFETCH(QStringList, dropped);
    QFETCH(int, moved);
    Catalog catalog;
    fill(catalog, records);
    QCOMPARE(CatalogEdits::MoveDroppedFiles(catalog, dropped, 5), moved);
    QTEST(recordsOf(catalog), "after");
    QVERIFY(!catalog.FileListSaved());
}

void TestCatalogEdits::removeTakesEveryRecordOfThePath()
{
    Catalog catalog;
    fill(catalog,
         {kSentinelRecord, "/home/ann/a.jpg/1>", "/home/ann/a.jpg/2>x", "/home/ann/b.jpg/1>", "/home/ann/A.jpg/1>"});
    QCOMPARE(CatalogEdits::removeRecordsWithPaths(catalog, {"/home/ann/a.jpg"}), 2);
    QCOMPARE(recordsOf(catalog), (QStringList{kSentinelRecord, "/home/ann/b.jpg/1>", "/home/ann/A.jpg/1>"}));
    QVERIFY(!catalog.FileListSaved());
}

QTEST_GUILESS_MAIN(TestCatalogEdits)
#include "tst_catalogedits.moc"
