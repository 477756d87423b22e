#include "DetailsPanel.h"
#include "FileThumbnailView.h"
#include "ThumbnailCacheDir.h"
#include "ThumbnailLoader.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QSignalSpy>
#include <QWheelEvent>

// View > Thumbnails: the grid shows the list's rows with the list's selection, fills
// the details panel, and comes back at the next start with its size.
class TestThumbnailView : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void toggleKeepsSelection();
    void gridFillsDetailsAndTheSharedCache();
    void viewRememberedAtNextStart_data();
    void viewRememberedAtNextStart();

private:
    static QStringList selectedNames(QAbstractItemView &view)
    {
        QStringList names;
        for (const QModelIndex &row : view.selectionModel()->selectedRows())
            names.append(row.data().toString());
        names.sort();
        return names;
    }
    static void toggle(MainWindow *window) { window->actions().action(QStringLiteral("mnuViewThumbnails"))->trigger(); }
};

void TestThumbnailView::toggleKeepsSelection()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, {QStringLiteral("b"), QStringLiteral("d")});
    const QStringList selected{QStringLiteral("b"), QStringLiteral("d")};

    toggle(window);
    QVERIFY(window->showsThumbnails());
    QVERIFY(window->thumbnailView().isVisible());
    QVERIFY(!window->fileList().isVisible());
    QCOMPARE(selectedNames(window->thumbnailView()), selected);
    QCOMPARE(window->thumbnailView().currentIndex().data().toString(), QStringLiteral("d"));

    toggle(window);
    QVERIFY(!window->showsThumbnails());
    QVERIFY(window->fileList().isVisible());
    QVERIFY(!window->thumbnailView().isVisible());
    QCOMPARE(selectedNames(window->fileList()), selected);
}

void TestThumbnailView::gridFillsDetailsAndTheSharedCache()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    toggle(window);
    FileThumbnailView &grid = window->thumbnailView();
    const int row = int(rowNames(window).indexOf(QStringLiteral("b")));
    const QModelIndex b = window->fileListModel().index(row, NameColumn);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(b).center());
    QCOMPARE(window->detailsPanel().shownPath(), path(QStringLiteral("b.jpg")));
    QCOMPARE(selectedNames(window->fileList()), QStringList{QStringLiteral("b")});

    // Made in the grid, written where a file manager finds it.
    QTRY_VERIFY(!grid.loader().thumbnail(path(QStringLiteral("b.jpg")), ThumbnailSize::Normal).isNull());
    const QString cached = ThumbnailCacheDir::standard().thumbnailPath(
        ThumbnailCacheDir::fileUri(path(QStringLiteral("b.jpg"))), ThumbnailSize::Normal);
    QVERIFY2(cached.startsWith(qEnvironmentVariable("XDG_CACHE_HOME")), qPrintable(cached));
    QTRY_VERIFY(QFileInfo::exists(cached));
    QCOMPARE(QImage(cached).size(), QSize(40, 30)); // never larger than the picture

    // The keyboard does in the grid what it does in the list.
    QSignalSpy properties(&grid, &FileThumbnailView::propertiesRequested);
    QSignalSpy menu(&grid, &FileThumbnailView::contextMenuRequested);
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(&grid, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(properties.count(), 1);
    QCOMPARE(menu.count(), 1);
}

void TestThumbnailView::viewRememberedAtNextStart_data()
{
    QTest::addColumn<bool>("thumbnails");
    QTest::addColumn<bool>("large");
    QTest::addColumn<QString>("viewMode");
    QTest::newRow("report view") << false << false << QStringLiteral("3");
    QTest::newRow("thumbnails") << true << false << QStringLiteral("0");
    QTest::newRow("large thumbnails") << true << true << QStringLiteral("0");
}

void TestThumbnailView::viewRememberedAtNextStart()
{
    QFETCH(bool, thumbnails);
    QFETCH(bool, large);
    QFETCH(QString, viewMode);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    if (thumbnails)
        toggle(window);
    if (large) { // Ctrl+wheel up
        QWheelEvent wheel(QPointF(20, 20), window->thumbnailView().mapToGlobal(QPointF(20, 20)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->thumbnailView().viewport(), &wheel);
    }
    window->close();
    QCOMPARE(m_settings->text(AppSettings::kViewMode), viewMode);

    MainWindow *again = makeLoadedWindow();
    QVERIFY(again);
    QCOMPARE(again->showsThumbnails(), thumbnails);
    QCOMPARE(again->thumbnailView().isVisible(), thumbnails);
    QCOMPARE(again->actions().action(QStringLiteral("mnuViewThumbnails"))->isChecked(), thumbnails);
    QCOMPARE(again->thumbnailView().thumbnailSize(), large ? ThumbnailSize::Large : ThumbnailSize::Normal);
}

QTEST_MAIN(TestThumbnailView)
#include "tst_thumbnailview.moc"
