#include "CategoryTree.h"
#include "CategoryTreeModel.h"

#include <QAbstractItemModelTester>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

class TestCategoryTreeModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mirrorsNodesInDisplayOrder();
    void testerFollowsEditsAndReset();
    void categoryIndexFollowsRenumbering();
    void indexForCategoryRoundTrips_data();
    void indexForCategoryRoundTrips();
    void invalidIndexIsNoCategory();
    void renameChangesDisplay();
    void removeSubtreeRemovesOneRow();
    void rootsAndSubCategoriesHaveTheirIcons();
};

namespace {

QIcon solidIcon(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// Photos(1) { Holidays(2) { 2004(4) } }, Music(3), Holidays sibling Family(5)
void buildSample(CategoryTree &tree)
{
    tree.addRoot(QStringLiteral("Photos"));
    tree.addChild(1, QStringLiteral("Holidays"));
    tree.addRoot(QStringLiteral("Music"));
    tree.addChild(2, QStringLiteral("2004"));
    tree.addChild(1, QStringLiteral("Family"));
}

} // namespace

void TestCategoryTreeModel::mirrorsNodesInDisplayOrder()
{
    CategoryTree tree;
    CategoryTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    buildSample(tree);

    QCOMPARE(model.rowCount(), 2);
    const QModelIndex photos = model.index(0, 0);
    QCOMPARE(photos.data().toString(), QStringLiteral("Photos"));
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("Music"));
    QCOMPARE(model.rowCount(photos), 2);
    QCOMPARE(model.index(0, 0, photos).data().toString(), QStringLiteral("Holidays"));
    QCOMPARE(model.index(1, 0, photos).data().toString(), QStringLiteral("Family"));
    const QModelIndex holidays = model.index(0, 0, photos);
    QCOMPARE(model.index(0, 0, holidays).data().toString(), QStringLiteral("2004"));
    QCOMPARE(model.parent(model.index(0, 0, holidays)), holidays);
    QCOMPARE(model.parent(holidays), photos);
    QVERIFY(!model.parent(photos).isValid());
}

void TestCategoryTreeModel::testerFollowsEditsAndReset()
{
    CategoryTree tree;
    CategoryTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    buildSample(tree);
    tree.rename(4, QStringLiteral("2005"));
    tree.removeSubtree(2); // Holidays with 2004 under it
    tree.addChild(1, QStringLiteral("Pets"));
    tree.removeSubtree(1);
    QCOMPARE(model.rowCount(), 1);
    tree.clear();
    QCOMPARE(model.rowCount(), 0);
    buildSample(tree);
    QCOMPARE(model.rowCount(), 2);
}

void TestCategoryTreeModel::categoryIndexFollowsRenumbering()
{
    CategoryTree tree;
    CategoryTreeModel model(tree);
    buildSample(tree);
    const QPersistentModelIndex music = model.index(1, 0);
    QCOMPARE(model.categoryIndexAt(music), 3);

    tree.removeSubtree(2); // removes 2 and 4: Music moves from 3 to 2
    QVERIFY(music.isValid());
    QCOMPARE(model.categoryIndexAt(music), 2);
    QCOMPARE(music.data(CategoryTreeModel::CategoryIndexRole).toInt(), 2);
}

void TestCategoryTreeModel::indexForCategoryRoundTrips_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("name");
    QTest::newRow("root") << 1 << QStringLiteral("Photos");
    QTest::newRow("second root") << 3 << QStringLiteral("Music");
    QTest::newRow("sub-category") << 2 << QStringLiteral("Holidays");
    QTest::newRow("deep") << 4 << QStringLiteral("2004");
    QTest::newRow("later sibling") << 5 << QStringLiteral("Family");
}

void TestCategoryTreeModel::indexForCategoryRoundTrips()
{
    QFETCH(int, category);
    QFETCH(QString, name);
    CategoryTree tree;
    CategoryTreeModel model(tree);
    buildSample(tree);
    const QModelIndex found = model.indexForCategory(category);
    QVERIFY(found.isValid());
    QCOMPARE(found.data().toString(), name);
    QCOMPARE(model.categoryIndexAt(found), category);
    QCOMPARE(model.index(found.row(), 0, found.parent()), found);
}

void TestCategoryTreeModel::invalidIndexIsNoCategory()
{
    CategoryTree tree;
    CategoryTreeModel model(tree);
    buildSample(tree);
    QCOMPARE(model.categoryIndexAt(QModelIndex()), 0);
    QVERIFY(!model.indexForCategory(0).isValid());
    QVERIFY(!model.indexForCategory(6).isValid());
}

void TestCategoryTreeModel::renameChangesDisplay()
{
    CategoryTree tree;
    CategoryTreeModel model(tree);
    buildSample(tree);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    tree.rename(4, QStringLiteral("Summer"));
    QCOMPARE(changed.size(), 1);
    const QModelIndex renamed = changed.first().at(0).toModelIndex();
    QCOMPARE(renamed, model.indexForCategory(4));
    QCOMPARE(renamed.data().toString(), QStringLiteral("Summer"));
}

void TestCategoryTreeModel::removeSubtreeRemovesOneRow()
{
    CategoryTree tree;
    CategoryTreeModel model(tree);
    buildSample(tree);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    tree.removeSubtree(2);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.first().at(0).toModelIndex(), model.indexForCategory(1));
    QCOMPARE(removed.first().at(1).toInt(), 0);
    QCOMPARE(removed.first().at(2).toInt(), 0);
    QCOMPARE(model.rowCount(model.indexForCategory(1)), 1);
}

void TestCategoryTreeModel::rootsAndSubCategoriesHaveTheirIcons()
{
    CategoryTree tree;
    CategoryTreeModel model(tree);
    const QIcon root = solidIcon(Qt::red);
    const QIcon sub = solidIcon(Qt::blue);
    model.setIcons(root, sub);
    buildSample(tree);
    const auto iconAt = [&model](int category) {
        return model.indexForCategory(category).data(Qt::DecorationRole).value<QIcon>().cacheKey();
    };
    QCOMPARE(iconAt(1), root.cacheKey());
    QCOMPARE(iconAt(3), root.cacheKey());
    QCOMPARE(iconAt(2), sub.cacheKey());
    QCOMPARE(iconAt(4), sub.cacheKey());
}

QTEST_MAIN(TestCategoryTreeModel)
#include "tst_categorytreemodel.moc"
