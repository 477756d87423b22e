#include "BrowseTestSupport.h"
#include "FileIconCache.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FileTypeCache.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

class TestFileListView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void reportStyle();
    void rightClickSelectsOnlyTheRowUnderThePointer();
    void rightClickBesideTheRowsSelectsNothing();
    void leftClickAndKeyReleaseFillLabels();
    void autoRepeatReleasesAreSkipped();
    void deleteKeyRequestsRemoval();
    void doubleClickRequestsPropertiesEvenWithoutRows();
    void headerClickSortsAscending();
    void typeHeaderLeavesOrderAlone();

private:
    QPoint rowCentre(int row) const { return m_view->visualRect(m_model->index(row, 0)).center(); }
    QList<int> selectedRows() const;
    void addRows(const QStringList &names);

    BrowseTest::CountingIconSource m_source;
    std::unique_ptr<FileTypeCache> m_types;
    std::unique_ptr<FileIconCache> m_icons;
    std::unique_ptr<FileListModel> m_model;
    std::unique_ptr<FileListView> m_view;
};

void TestFileListView::init()
{
    m_types = std::make_unique<FileTypeCache>();
    m_icons = std::make_unique<FileIconCache>(m_source.source());
    m_model = std::make_unique<FileListModel>(*m_icons, *m_types);
    m_model->setBackgroundFillEnabled(false);
    m_view = std::make_unique<FileListView>();
    m_view->setModel(m_model.get());
    m_view->resize(600, 400);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void TestFileListView::cleanup()
{
    m_view.reset();
    m_model.reset();
}

QList<int> TestFileListView::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_view->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TestFileListView::addRows(const QStringList &names)
{
    for (const QString &name : names)
        m_model->appendRow(makeFileListRow(QStringLiteral("/nowhere/") + name, QString()));
}

void TestFileListView::reportStyle()
{
    QVERIFY(m_view->uniformRowHeights());
    QCOMPARE(m_view->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(m_view->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(!m_view->rootIsDecorated());
    QVERIFY(!m_view->isSortingEnabled());
    QVERIFY(m_view->columnWidth(KeywordsColumn) > m_view->columnWidth(NameColumn));
}

void TestFileListView::rightClickSelectsOnlyTheRowUnderThePointer()
{
    addRows({QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg"), QStringLiteral("d.jpg")});
    QItemSelectionModel *selection = m_view->selectionModel();
    for (int row : {0, 2, 3})
        selection->select(m_model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);

    QStringList events;
    QPoint menuAt;
    connect(m_view.get(), &FileListView::fillLabelsRequested, this, [&] {
        events.append(QStringLiteral("fill %1").arg(m_view->currentIndex().row()));
    });
    connect(m_view.get(), &FileListView::contextMenuRequested, this, [&](const QPoint &global) {
        events.append(QStringLiteral("menu"));
        menuAt = global;
    });
    QTest::mousePress(m_view->viewport(), Qt::RightButton, {}, rowCentre(2));

    QCOMPARE(selectedRows(), QList<int>{2});
    QCOMPARE(m_view->currentIndex().row(), 2);
    QCOMPARE(events, (QStringList{QStringLiteral("fill 2"), QStringLiteral("menu")}));
    QCOMPARE(menuAt, m_view->viewport()->mapToGlobal(rowCentre(2)));
}

void TestFileListView::rightClickBesideTheRowsSelectsNothing()
{
    addRows({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    m_view->selectionModel()->setCurrentIndex(m_model->index(1, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QSignalSpy fill(m_view.get(), &FileListView::fillLabelsRequested);
    QSignalSpy menu(m_view.get(), &FileListView::contextMenuRequested);
    const QPoint below(rowCentre(1).x(), m_view->viewport()->height() - 5);
    QVERIFY(!m_view->indexAt(below).isValid());
    QTest::mousePress(m_view->viewport(), Qt::RightButton, {}, below);
    QVERIFY(selectedRows().isEmpty());
    QVERIFY(!m_view->currentIndex().isValid());
    QCOMPARE(fill.size(), 1);
    QCOMPARE(menu.size(), 1);
}

void TestFileListView::leftClickAndKeyReleaseFillLabels()
{
    addRows({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    QSignalSpy fill(m_view.get(), &FileListView::fillLabelsRequested);
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, rowCentre(1));
    QCOMPARE(fill.size(), 1);
    QCOMPARE(m_view->currentIndex().row(), 1);
    QTest::keyClick(m_view.get(), Qt::Key_Up);
    QCOMPARE(fill.size(), 2);
    QCOMPARE(m_view->currentIndex().row(), 0);
}

void TestFileListView::autoRepeatReleasesAreSkipped()
{
    addRows({QStringLiteral("a.jpg")});
    QSignalSpy fill(m_view.get(), &FileListView::fillLabelsRequested);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(m_view.get(), &repeated);
    QCOMPARE(fill.size(), 0);
    QKeyEvent last(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(m_view.get(), &last);
    QCOMPARE(fill.size(), 1);
}

void TestFileListView::deleteKeyRequestsRemoval()
{
    addRows({QStringLiteral("a.jpg")});
    QSignalSpy remove(m_view.get(), &FileListView::removeRequested);
    QTest::keyClick(m_view.get(), Qt::Key_A);
    QTest::keyClick(m_view.get(), Qt::Key_Backspace);
    QCOMPARE(remove.size(), 0);
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(remove.size(), 1);
    QCOMPARE(m_model->rowCount(), 1); // the window removes, not the view
}

void TestFileListView::doubleClickRequestsPropertiesEvenWithoutRows()
{
    QSignalSpy properties(m_view.get(), &FileListView::propertiesRequested);
    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(properties.size(), 1);
    addRows({QStringLiteral("a.jpg")});
    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, rowCentre(0));
    QCOMPARE(properties.size(), 2);
}

void TestFileListView::headerClickSortsAscending()
{
    addRows({QStringLiteral("b.png"), QStringLiteral("a.txt"), QStringLiteral("c.avi")});
    QHeaderView *header = m_view->header();
    const auto clickSection = [header](int section) {
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    clickSection(ExtensionColumn);
    QCOMPARE(m_model->sortColumn(), int(ExtensionColumn));
    QCOMPARE(m_model->rowPath(0), QStringLiteral("/nowhere/c.avi"));
    clickSection(ExtensionColumn);
    QCOMPARE(m_model->rowPath(0), QStringLiteral("/nowhere/c.avi"));
    QCOMPARE(header->sortIndicatorSection(), int(ExtensionColumn));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickSection(NameColumn);
    QCOMPARE(m_model->rowPath(0), QStringLiteral("/nowhere/a.txt"));
}

void TestFileListView::typeHeaderLeavesOrderAlone()
{
    addRows({QStringLiteral("b.png"), QStringLiteral("a.txt")});
    QHeaderView *header = m_view->header();
    const QPoint at(header->sectionViewportPosition(TypeColumn) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(!m_model->isSorted());
    QCOMPARE(m_model->rowPath(0), QStringLiteral("/nowhere/b.png"));
    QVERIFY(!header->isSortIndicatorShown());
}

QTEST_MAIN(TestFileListView)
#include "tst_filelistview.moc"
