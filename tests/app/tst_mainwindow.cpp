#include "DetailsPanel.h"
#include "FileRecord.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

using Interaction::Answer;

// The main window's shell (menus, toolbar, placement, closing, the Missing Files
// window) and its category tree: clicks list a category, a double click adds one.
class TestMainWindow : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void menusAndContextMenu();
    void toolbarButtonsTriggerTheirMenuEntries();
    void firstRunPlacementAndMinimumWidth();
    void nothingCutOrOverlapping_data();
    void nothingCutOrOverlapping();
    void barTogglesMovePanes();
    void splitterDragClampsIndicatorAndLayout();
    void closing_data();
    void closing();
    void missingFilesWindow_data();
    void missingFilesWindow();
    void clickingCategoryListsItsFiles_data();
    void clickingCategoryListsItsFiles();
    void keyboardMovesDoNotRelistButAClickBesideDoes();
    void doubleClickOnEmptyTreeAddsCategory();
};

// Every menu in order, "-" for a separator: the menu's caption, then its entries as
// "name|caption|shortcut".
void TestMainWindow::menusAndContextMenu()
{
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    auto entries = [](QMenu *menu) {
        QStringList lines;
        for (QAction *entry : menu->actions())
            lines << (entry->isSeparator() ? QStringLiteral("-")
                                           : entry->objectName() + '|' + entry->text() + '|' + entry->shortcut().toString());
        return lines;
    };
    QStringList menus;
    for (QAction *menu : window->menuBar()->actions())
        menus << menu->text() << entries(menu->menu());
    QCOMPARE(menus, (QStringList{
        "&File", "mnuFileNew|&New|Ctrl+N", "mnuSave|&Save|Ctrl+S", "mnuFileOpen|&Open...|Ctrl+O", "-",
        "mnuFileSearch|&Search|Ctrl+F", "mnuImportFiles|&Import Files|Ctrl+I", "-", "mnuAddDrive|Add &Category|",
        "mnuFileAddCategory|&Add Sub-Category|", "mnuChangeCategoryName|Change Ca&tegory Name|", "mnuFileDelete|&Delete|",
        "-", "mnuFileProperties|Propert&ies|", "-", "mnuFileClose|&Close|",
        "&Edit", "mnuEditCut|Cu&t|Ctrl+X", "mnuEditCopy|&Copy|Ctrl+C", "mnuEditPaste|&Paste|Ctrl+V", "-",
        "mnuEditSelectAll|Select &All|Ctrl+A",
        "&View", "mnuViewToolbar|&Toolbar|", "mnuViewStatusBar|Status &Bar|", "-", "mnuViewArrangeIcons|Arrange &Icons|",
        "-", "mnuViewRefresh|&Refresh|",
        "&Help", "mnuHelpAbout|&About |"}));
    QCOMPARE(entries(window->actions().popupMenu()),
             (QStringList{"mnuShellExecute|Shell Execute|", "-", "mnuCopyItem|Copy Item|", "mnuClearList|Clear List|",
                          "mnuRemoveItem|Remove Item|"}));
}

// Each button fires its menu entry; the entries reach their commands where their
// behaviour is tested.
void TestMainWindow::toolbarButtonsTriggerTheirMenuEntries()
{
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);

    const QStringList buttons[] = { // key, tool tip, image key, menu entry
        {"New", "New", "New", "mnuFileNew"},
        {"Open", "Open", "Open", "mnuFileOpen"},
        {"Save", "Save", "Save", "mnuSave"},
        {"NewDrive", "Add Category", "AddDrive", "mnuAddDrive"},
        {"NewCategory", "Add Sub-Category", "AddFolder", "mnuFileAddCategory"},
        {"ChangeCategory", "Change Name", "ChangeFolderName", "mnuChangeCategoryName"},
        {"DeleteCategory", "Delete Category", "DeleteFolder", "mnuFileDelete"},
        {"ImportFiles", "Import Files", "ImportFiles", "mnuImportFiles"},
    };
    QToolBar *bar = window->actions().toolBar();
    QCOMPARE(bar->actions().size(), qsizetype(std::size(buttons)));
    for (int i = 0; i < bar->actions().size(); ++i) {
        QAction *button = bar->actions().at(i);
        QCOMPARE((QStringList{button->objectName(), button->toolTip(), button->property("imageKey").toString()}),
                 buttons[i].mid(0, 3));
        QVERIFY(!button->icon().isNull());
        QAction *entry = window->actions().action(buttons[i][3]);
        entry->disconnect(window); // only whether the entry fires
        QSignalSpy fired(entry, &QAction::triggered);
        QTest::mouseClick(bar->widgetForAction(button), Qt::LeftButton);
        QCOMPARE(fired.count(), 1);
    }
}

void TestMainWindow::firstRunPlacementAndMinimumWidth()
{
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    QCOMPARE(window->size(), QSize(window->toPixels(6500), window->toPixels(6500)));
    QVERIFY(window->actions().action(QStringLiteral("mnuViewToolbar"))->isChecked());
    QVERIFY(window->actions().action(QStringLiteral("mnuViewStatusBar"))->isChecked());
    QCOMPARE(window->catalog().records().size(), 1); // the empty catalog's sentinel

    window->resize(window->toPixels(1000), window->height());
    QCOMPARE(window->width(), window->toPixels(3000));
    QCOMPARE(window->lastLayout().splitterX, 1500.0);
}

void TestMainWindow::nothingCutOrOverlapping_data()
{
    QTest::addColumn<QSize>("size"); // in twips
    QTest::addColumn<bool>("searchRowOfItsOwn");
    QTest::addColumn<DetailsPanel::Arrangement>("details");
    QTest::newRow("default size") << QSize(6500, 6500) << true << DetailsPanel::Arrangement::Stacked;
    QTest::newRow("large") << QSize(15000, 11000) << false << DetailsPanel::Arrangement::InOneRow;
}

// Every caption, value, box and button of the title strip and the details panel is
// shown whole, and none lies over another.
void TestMainWindow::nothingCutOrOverlapping()
{
    QFETCH(QSize, size);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    window->resize(window->toPixels(size.width()), window->toPixels(size.height()));
    clickCategory(window, 1);
    clickRow(window, 0); // the longest name and path
    QCoreApplication::processEvents();
    QTEST(window->detailsPanel().arrangement(), "details");
    QWidget *strip = window->findChild<QWidget *>(QStringLiteral("picTitles"));
    QList<QWidget *> parts = strip->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *part : window->detailsPanel().findChildren<QWidget *>()) {
        if (qobject_cast<QLabel *>(part) || qobject_cast<QPushButton *>(part) || part->objectName() == "txtKeywords"
            || part->objectName() == "picPreview")
            parts.append(part);
    }
    QCOMPARE(parts.size(), 5 + 14 + 5);
    // What a part covers, in the window: a label only its text, from the left.
    const auto covered = [window](QWidget *part) {
        const auto *label = qobject_cast<QLabel *>(part);
        const QSize size = label && !label->wordWrap() ? part->sizeHint().boundedTo(part->size()) : part->size();
        return QRect(part->mapTo(window, QPoint(0, 0)), size);
    };
    for (QWidget *part : parts) {
        const QString name = part->objectName() + QLatin1Char(' ') + part->property("text").toString();
        QVERIFY2(part->isVisibleTo(window), qPrintable(name));
        const auto *label = qobject_cast<QLabel *>(part);
        const bool wraps = label && label->wordWrap();
        const QSize whole = wraps ? QSize(0, label->heightForWidth(label->width()))
                                  : QSize(part->sizeHint().width(), part->minimumSizeHint().height());
        QVERIFY2(part->width() >= whole.width() && part->height() >= whole.height(), qPrintable(name + " is cut"));
        for (QWidget *other : parts) {
            QVERIFY2(other == part || !covered(other).intersects(covered(part)),
                     qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
        }
    }
    // The box has room for a few words, and the details need no sideways scrolling.
    QVERIFY(window->findChild<QLineEdit *>(QStringLiteral("txtSearch"))->width() >= window->toPixels(1800));
    const int searchTop = window->findChild<QWidget *>(QStringLiteral("cmdSearch"))->y();
    QTEST(searchTop < window->findChild<QWidget *>(QStringLiteral("lblTitle1"))->y(), "searchRowOfItsOwn");
    QVERIFY(!window->detailsPanel().findChild<QScrollArea *>()->horizontalScrollBar()->isVisible());
}

// Hiding the toolbar moves the panes up; hiding either bar makes them taller.
void TestMainWindow::barTogglesMovePanes()
{
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    QWidget *tree = &window->categoryTree();
    const int top = tree->mapTo(window, QPoint(0, 0)).y();
    int height = tree->height();
    window->actions().action(QStringLiteral("mnuViewToolbar"))->trigger();
    QVERIFY(!window->actions().toolBar()->isVisible());
    QTRY_VERIFY(tree->mapTo(window, QPoint(0, 0)).y() < top);
    QVERIFY(tree->height() > height);
    height = tree->height();
    window->actions().action(QStringLiteral("mnuViewStatusBar"))->trigger();
    QVERIFY(!window->statusBar()->isVisible());
    QTRY_VERIFY(tree->height() > height);
}

void TestMainWindow::splitterDragClampsIndicatorAndLayout()
{
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    QWidget *bar = window->findChild<QWidget *>(QStringLiteral("imgSplitter"));
    QWidget *indicator = window->findChild<QWidget *>(QStringLiteral("picSplitter"));
    QVERIFY(bar && indicator);

    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 5));
    QVERIFY(indicator->isVisible());
    // To 200 twips from the window's left edge.
    const int toLeft = window->toPixels(200 - window->lastLayout().splitterX);
    QMouseEvent move(QEvent::MouseMove, QPointF(toLeft, 5), bar->mapToGlobal(QPointF(toLeft, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QCOMPARE(indicator->x(), window->toPixels(500));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(toLeft, 5));
    QVERIFY(!indicator->isVisible());
    QCOMPARE(window->lastLayout().splitterX, 1500.0);
}

void TestMainWindow::closing_data()
{
    QTest::addColumn<Answer>("answer"); // to the offer to save
    QTest::addColumn<bool>("minimized");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("stores"); // the window's place and size
    QTest::newRow("cancel keeps the window") << Answer::Cancel << false << false << false;
    QTest::newRow("no closes and stores the geometry") << Answer::No << false << true << true;
    QTest::newRow("minimized closes without storing it") << Answer::No << true << true << false;
}

void TestMainWindow::closing()
{
    QFETCH(Answer, answer);
    QFETCH(bool, minimized);
    QFETCH(bool, closes);
    QFETCH(bool, stores);
    m_settings->setText(AppSettings::kMainWidth, QStringLiteral("7777"));
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    window->resize(window->toPixels(9000), window->toPixels(7000));
    if (minimized) {
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
    }
    window->catalog().markChanged();
    m_ui->answers = {answer};

    window->actions().action(QStringLiteral("mnuFileClose"))->trigger();
    QCOMPARE(window->isVisible(), !closes);
    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(window->catalog().FileListSaved(), false);
    QCOMPARE(m_settings->number(AppSettings::kMainWidth, 0), stores ? float(window->toTwips(window->width())) : 7777.0f);
    QCOMPARE(m_settings->text(AppSettings::kMainLeft).isEmpty(), !stores);
    QCOMPARE(m_settings->text(AppSettings::kViewMode), closes ? QStringLiteral("3") : QString());
}

void TestMainWindow::missingFilesWindow_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("OK explains, then closes it") << "ok" << false;
    QTest::newRow("closing the main window closes it") << "close" << false;
    QTest::newRow("File > New leaves it open") << "new" << true;
    QTest::newRow("a failed File > Open leaves it open") << "open unreadable" << true;
    QTest::newRow("File > Open of a catalog without missing files closes it") << "open complete" << false;
}

void TestMainWindow::missingFilesWindow()
{
    QFETCH(QString, then);
    QFETCH(bool, staysOpen);
    MainWindow *window = makeWindow(TestFiles::createFile(
        path(QStringLiteral("m.kvd")), "0\r\n\"/nowhere/a.jpg\",1,\"\"\r\n\"/nowhere/b.jpg\",1,\"\"\r\n"));
    QVERIFY(window);
    QPointer<QDialog> dialog = window->findChild<QDialog *>(QStringLiteral("frmMissingRefrences"));
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Missing Files"));
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->findChild<QListView *>()->model()->rowCount(), 2);
    QVERIFY(window->catalog().FileListSaved());
    auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("cmdOkay"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    if (then == QLatin1String("ok")) {
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(m_ui->shownMessages(),
                 QStringList{"Marlowind|None|Ok|Saving list after program loads will remove references to the "
                             "invalid files. If you wish to save the reference, do not save the filelist and correct "
                             "the path to the files."});
    } else if (then == QLatin1String("close")) {
        QVERIFY(window->close());
    } else if (then == QLatin1String("new")) {
        m_ui->answers = {Answer::Yes};
        window->actions().action(QStringLiteral("mnuFileNew"))->trigger();
    } else {
        const bool complete = then == QLatin1String("open complete");
        m_ui->openFileAnswers = {complete ? m_catalogPath : path(QStringLiteral("no.kvd"))};
        window->actions().action(QStringLiteral("mnuFileOpen"))->trigger();
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(dialog && dialog->isVisible(), staysOpen);
}

void TestMainWindow::clickingCategoryListsItsFiles_data()
{
    QTest::addColumn<int>("before"); // listed first, so that stale rows would show
    QTest::addColumn<int>("category");
    QTest::addColumn<QStringList>("names"); // the cells are the model's business
    QTest::newRow("category with a file filed twice gives one row") << 2 << 1 << QStringList{"a", "b", "d", "notes"};
    QTest::newRow("sub-category, dotted name") << 1 << 3 << QStringList{"holiday.2004"};
    QTest::newRow("category without files") << 1 << 4 << QStringList{};
}

void TestMainWindow::clickingCategoryListsItsFiles()
{
    QFETCH(int, before);
    QFETCH(int, category);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    QCOMPARE(describeTree(window->categoryTreeModel()), treeAsLoaded());
    window->catalog().records().insert(0, kSentinelRecord); // must never become a row

    clickCategory(window, before);
    QCOMPARE(window->selectedCategory(), before);
    QVERIFY(window->fileListModel().rowCount() > 0);
    clickCategory(window, category);

    QCOMPARE(window->selectedCategory(), category);
    QTEST(rowNames(window), "names");
    QVERIFY(!column(window, 0, FileListModel::PathRole).contains(kSentinelRecord));
    QVERIFY(window->catalog().FileListSaved());
}

void TestMainWindow::keyboardMovesDoNotRelistButAClickBesideDoes()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    const QStringList photos{"a", "b", "d", "notes"};
    QCOMPARE(rowNames(window), photos);

    CategoryTreeView &tree = window->categoryTree();
    QTest::keyClick(&tree, Qt::Key_Down); // to Holidays, below Photos
    QCOMPARE(window->selectedCategory(), 3);
    QTest::keyClick(&tree, Qt::Key_Down); // to Music
    QCOMPARE(window->selectedCategory(), 2);
    QCOMPARE(rowNames(window), photos);

    // A click beside the nodes keeps the selection and lists it.
    QVERIFY(!tree.indexAt(besideNodes(window)).isValid());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, besideNodes(window));
    QCOMPARE(window->selectedCategory(), 2);
    QCOMPARE(rowNames(window), QStringList{"song"});

    // Any button lists again: a right click, beside the nodes or on the selected one.
    window->fileListModel().clear();
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, besideNodes(window));
    QCOMPARE(rowNames(window), QStringList{"song"});
    window->fileListModel().clear();
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, nodeCentre(window, 2));
    QCOMPARE(rowNames(window), QStringList{"song"});
}

// Only an empty tree asks for a category on a double click.
void TestMainWindow::doubleClickOnEmptyTreeAddsCategory()
{
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    QWidget *viewport = window->categoryTree().viewport();
    m_ui->promptAnswers = {QStringLiteral("Photos")};
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, besideNodes(window));
    QCOMPARE(m_ui->prompts.size(), 1);
    QCOMPARE(m_ui->prompts.first().text, QStringLiteral("What is the name of the new category?"));
    QCOMPARE(describeTree(window->categoryTreeModel()), QStringLiteral("Photos#1"));
    QVERIFY(!window->catalog().FileListSaved());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
