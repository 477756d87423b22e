#include "AppSettings.h"
#include "CatalogFileCommands.h"
#include "MainWindow.h"
#include "ScriptedInteraction.h"
#include "SplashWindow.h"
#include "Startup.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using Interaction::Answer;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void menuEntries_data();
    void menuEntries();
    void toolbarButtonsInOrder();
    void toolbarButtonRunsItsMenuEntry();
    void contextMenuEntries();
    void firstRunPlacement();
    void narrowWindowSnapsBack();
    void toolbarToggleMovesPanes();
    void splitterDragClampsIndicatorAndLayout();
    void closeCancelKeepsWindow();
    void closeNoStoresGeometry();
    void closeWhileMinimizedKeepsGeometry();
    void missingFilesWindow();
    void closingClosesOtherWindows();
    void splashShowsVersion();
    void commandLineIsJoined();

private:
    MainWindow *makeWindow(const QString &commandLine = QString());

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_ui = std::make_unique<ScriptedInteraction>();
    QSettings(QStringLiteral("Corvanta"), QStringLiteral("Corvanta")).clear();
    m_settings = std::make_unique<AppSettings>();
}

void TestMainWindow::cleanup()
{
    if (m_window) {
        m_window->catalog().markSaved();
        m_window.reset();
    }
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n'))));
}

MainWindow *TestMainWindow::makeWindow(const QString &commandLine)
{
    m_window = std::make_unique<MainWindow>(*m_ui, *m_settings);
    m_window->load(commandLine);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        return nullptr;
    return m_window.get();
}

void TestMainWindow::menuEntries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    const char *rows[][3] = {
        {"mnuFileNew", "&New", "Ctrl+N"},
        {"mnuSave", "&Save", "Ctrl+S"},
        {"mnuFileOpen", "&Open...", "Ctrl+O"},
        {"mnuFileSearch", "&Search", "Ctrl+F"},
        {"mnuImportFiles", "&Import Files", "Ctrl+I"},
        {"mnuAddDrive", "Add &Category", ""},
        {"mnuFileAddCategory", "&Add Sub-Category", ""},
        {"mnuChangeCategoryName", "Change Ca&tegory Name", ""},
        {"mnuFileDelete", "&Delete", ""},
        {"mnuFileProperties", "Propert&ies", ""},
        {"mnuFileClose", "&Close", ""},
        {"mnuEditCut", "Cu&t", "Ctrl+X"},
        {"mnuEditCopy", "&Copy", "Ctrl+C"},
        {"mnuEditPaste", "&Paste", "Ctrl+V"},
        {"mnuEditSelectAll", "Select &All", "Ctrl+A"},
        {"mnuViewToolbar", "&Toolbar", ""},
        {"mnuViewStatusBar", "Status &Bar", ""},
        {"mnuViewArrangeIcons", "Arrange &Icons", ""},
        {"mnuViewRefresh", "&Refresh", ""},
        {"mnuHelpAbout", "&About ", ""},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2]);
}

void TestMainWindow::menuEntries()
{
    QFETCH(QString, name);
    MainWindow *window = makeWindow();
    QVERIFY(window);
    auto *entry = window->findChild<QAction *>(name);
    QVERIFY(entry);
    QTEST(entry->text(), "caption");
    QTEST(entry->shortcut().toString(), "shortcut");
}

void TestMainWindow::toolbarButtonsInOrder()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    QStringList keys;
    QStringList tips;
    QStringList images;
    for (QAction *button : window->actions().toolBar()->actions()) {
        keys << button->objectName();
        tips << button->toolTip();
        images << button->property("imageKey").toString();
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(keys, (QStringList{"New", "Open", "Save", "NewDrive", "NewCategory", "ChangeCategory", "DeleteCategory", "ImportFiles"}));
    QCOMPARE(tips, (QStringList{"New", "Open", "Save", "Add Category", "Add Sub-Category", "Change Name", "Delete Category", "Import Files"}));
    QCOMPARE(images, (QStringList{"New", "Open", "Save", "AddDrive", "AddFolder", "ChangeFolderName", "DeleteFolder", "ImportFiles"}));
}

void TestMainWindow::toolbarButtonRunsItsMenuEntry()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    m_ui->answers = {Answer::No};
    window->actions().toolButton(QStringLiteral("New"))->trigger();
    QCOMPARE(m_ui->messageTexts(),
             QStringList{QStringLiteral("Are you sure you want to clear the current list and start a new list?")});
}

void TestMainWindow::contextMenuEntries()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    QStringList captions;
    for (QAction *entry : window->actions().popupMenu()->actions())
        captions << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    QCOMPARE(captions, (QStringList{"Shell Execute", "-", "Copy Item", "Clear List", "Remove Item"}));
}

void TestMainWindow::firstRunPlacement()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    QCOMPARE(window->width(), window->toPixels(6500));
    QCOMPARE(window->height(), window->toPixels(6500));
    QVERIFY(window->actions().action(QStringLiteral("mnuViewToolbar"))->isChecked());
    QVERIFY(window->actions().action(QStringLiteral("mnuViewStatusBar"))->isChecked());
    QCOMPARE(window->catalog().records().size(), 1); // the sentinel
}

void TestMainWindow::narrowWindowSnapsBack()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    window->resize(window->toPixels(1000), window->height());
    QCOMPARE(window->width(), window->toPixels(3000));
    QCOMPARE(window->lastLayout().splitterX, 1500.0);
}

void TestMainWindow::toolbarToggleMovesPanes()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    auto *tree = window->findChild<QTreeView *>(QStringLiteral("tvTreeView"));
    const QRect before(tree->mapTo(window, QPoint(0, 0)), tree->size());
    QAction *toggle = window->actions().action(QStringLiteral("mnuViewToolbar"));
    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    QVERIFY(!window->actions().toolBar()->isVisible());
    QTRY_VERIFY(tree->mapTo(window, QPoint(0, 0)).y() < before.y());
    QVERIFY(tree->height() > before.height());

    QAction *status = window->actions().action(QStringLiteral("mnuViewStatusBar"));
    const int heightWithStatus = tree->height();
    status->trigger();
    QVERIFY(!window->statusBar()->isVisible());
    QTRY_VERIFY(tree->height() > heightWithStatus);
}

void TestMainWindow::splitterDragClampsIndicatorAndLayout()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    QWidget *bar = window->findChild<QWidget *>(QStringLiteral("imgSplitter"));
    QWidget *indicator = window->findChild<QWidget *>(QStringLiteral("picSplitter"));
    QVERIFY(bar && indicator);
    const double startX = window->lastLayout().splitterX;

    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 5));
    QVERIFY(indicator->isVisible());
    // Drag to 200 twips from the window's left edge.
    const int toLeft = window->toPixels(200 - startX);
    QMouseEvent move(QEvent::MouseMove, QPointF(toLeft, 5), bar->mapToGlobal(QPointF(toLeft, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QCOMPARE(indicator->x(), window->toPixels(500));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(toLeft, 5));
    QVERIFY(!indicator->isVisible());
    QCOMPARE(window->lastLayout().splitterX, 1500.0);
}

void TestMainWindow::closeCancelKeepsWindow()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    window->catalog().markChanged();
    m_ui->answers = {Answer::Cancel};
    window->actions().action(QStringLiteral("mnuFileClose"))->trigger();
    QVERIFY(window->isVisible());
    QVERIFY(!window->catalog().FileListSaved());
    QVERIFY(m_settings->text(AppSettings::kMainWidth).isEmpty());
}

void TestMainWindow::closeNoStoresGeometry()
{
    MainWindow *window = makeWindow();
    QVERIFY(window);
    window->resize(window->toPixels(9000), window->toPixels(7000));
    window->catalog().markChanged();
    m_ui->answers = {Answer::No};
    QVERIFY(window->close());
    QCOMPARE(m_settings->number(AppSettings::kMainWidth, 0), float(window->toTwips(window->width())));
    QCOMPARE(m_settings->text(AppSettings::kViewMode), QStringLiteral("3"));
    QVERIFY(!m_settings->text(AppSettings::kMainLeft).isEmpty());
}

void TestMainWindow::closeWhileMinimizedKeepsGeometry()
{
    m_settings->setText(AppSettings::kMainWidth, QStringLiteral("7777"));
    MainWindow *window = makeWindow();
    QVERIFY(window);
    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    QVERIFY(window->close());
    QCOMPARE(m_settings->text(AppSettings::kMainWidth), QStringLiteral("7777"));
    QVERIFY(m_settings->text(AppSettings::kMainLeft).isEmpty());
}

void TestMainWindow::missingFilesWindow()
{
    const QString catalog = TestFiles::createFile(m_dir->filePath(QStringLiteral("m.kvd")),
                                                  "0\r\n\"/nowhere/a.jpg\",1,\"\"\r\n\"/nowhere/b.jpg\",1,\"\"\r\n");
    MainWindow *window = makeWindow(catalog);
    QVERIFY(window);
    auto *dialog = window->findChild<QDialog *>(QStringLiteral("frmMissingRefrences"));
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Missing Files"));
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!dialog->isModal());
    QVERIFY(window->catalog().FileListSaved());

    auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("cmdOkay"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QPointer<QDialog> guard(dialog);
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(m_ui->messages[0].title, QStringLiteral("Marlowind"));
    QVERIFY(m_ui->messages[0].text.startsWith(QStringLiteral("Saving list after program loads will remove references")));
    QTRY_VERIFY(!guard);
}

void TestMainWindow::closingClosesOtherWindows()
{
    const QString catalog = TestFiles::createFile(m_dir->filePath(QStringLiteral("m.kvd")), "0\r\n\"/nowhere/a.jpg\",1,\"\"\r\n");
    MainWindow *window = makeWindow(catalog);
    QVERIFY(window);
    QPointer<QDialog> dialog = window->findChild<QDialog *>(QStringLiteral("frmMissingRefrences"));
    QVERIFY(dialog && dialog->isVisible());
    QVERIFY(window->close());
    QTRY_VERIFY(!dialog || !dialog->isVisible());
}

void TestMainWindow::splashShowsVersion()
{
    SplashWindow splash;
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.1.5"));
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("lblProductName"))->text(), QStringLiteral("Corvanta"));
}

void TestMainWindow::commandLineIsJoined()
{
    QCOMPARE(Startup::catalogPathFromArguments({"corvanta", "/home/ann/My", "Catalogs/a.kvd"}),
             QStringLiteral("/home/ann/My Catalogs/a.kvd"));
    QCOMPARE(Startup::catalogPathFromArguments({"corvanta"}), QString());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
