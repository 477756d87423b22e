#include "DetailsPanel.h"
#include "FileRecord.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

using Interaction::Answer;

// The main window's shell (menus, toolbar, placement, closing, the Missing Files
// window), its category tree (clicks list a category, a double click adds one) and
// editing through it: the category commands, Remove Item, the Edit menu, dropping on
// the tree, and a save and reload.
class TestMainWindow : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void menusAndContextMenu();
    void toolbarButtonsTriggerTheirMenuEntries();
    void firstRunSizeAndBars();
    void placeFromSettingsStaysOnScreen_data();
    void placeFromSettingsStaysOnScreen();
    void settingsThatCannotBeWrittenAreToldOnce();
    void nothingCutOrOverlapping_data();
    void nothingCutOrOverlapping();
    void splitterDragClampsIndicatorAndLayout();
    void closing_data();
    void closing();
    void missingFilesWindow_data();
    void missingFilesWindow();
    void treeClicksListButKeysDoNot();
    void doubleClickOnEmptyTreeAddsCategory();
    void categoryCommands_data();
    void categoryCommands();
    void listCommands_data();
    void listCommands();
    void editCommandsActOnKeywordsBoxOnly_data();
    void editCommandsActOnKeywordsBoxOnly();
    void dropOnTree_data();
    void dropOnTree();
    void editedCatalogSurvivesSaveAndLoad();

private:
    // What the system's drag loop sends the tree: enter and move at the point, then
    // the drop there. Returns whether the drop was taken.
    static bool dragOntoTree(MainWindow *window, const QMimeData *data, const QPoint &at)
    {
        QWidget *viewport = window->categoryTree().viewport();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        if (!move.isAccepted() || move.dropAction() != Qt::CopyAction)
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    }
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
        "&View", "mnuViewToolbar|&Toolbar|", "mnuViewStatusBar|Status &Bar|",
        "mnuViewThumbnails|&Thumbnails|", "-", "mnuViewArrangeIcons|Arrange &Icons|",
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

// Hiding the toolbar moves the panes up; hiding either bar makes them taller.
void TestMainWindow::firstRunSizeAndBars()
{
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    QCOMPARE(window->size(), QSize(window->toPixels(6500), window->toPixels(6500)));
    QCOMPARE(window->catalog().records().size(), 1); // the empty catalog's sentinel
    QWidget *tree = &window->categoryTree();
    const int top = tree->mapTo(window, QPoint(0, 0)).y();
    int height = tree->height();
    QAction *toolbar = window->actions().action(QStringLiteral("mnuViewToolbar"));
    QVERIFY(toolbar->isChecked());
    toolbar->trigger();
    QVERIFY(!window->actions().toolBar()->isVisible());
    QTRY_VERIFY(tree->mapTo(window, QPoint(0, 0)).y() < top);
    QVERIFY(tree->height() > height);
    height = tree->height();
    QAction *statusBar = window->actions().action(QStringLiteral("mnuViewStatusBar"));
    QVERIFY(statusBar->isChecked());
    statusBar->trigger();
    QVERIFY(!window->statusBar()->isVisible());
    QTRY_VERIFY(tree->height() > height);

    window->resize(window->toPixels(1000), window->height());
    QCOMPARE(window->width(), window->toPixels(3000));
    QCOMPARE(window->lastLayout().splitterX, 1500.0);
}

void TestMainWindow::placeFromSettingsStaysOnScreen_data()
{
    // Left, top, width and height as stored, in twips; expected as twips, or "start" and
    // "end" for the first and the last place that keeps the window inside the screen.
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("what fits is kept") << QStringList{"1500", "1200", "6000", "5000"}
                                       << QStringList{"1500", "1200", "6000", "5000"};
    QTest::newRow("a size beyond the screen is the default")
        << QStringList{"1000", "1000", "1e9", "300000"} << QStringList{"1000", "1000", "6500", "6500"};
    QTest::newRow("a place off the screen is brought back")
        << QStringList{"-9000000", "90000000", "6500", "6500"} << QStringList{"start", "end", "6500", "6500"};
    QTest::newRow("numbers that are no size") << QStringList{"nan", "inf", "-5", "0"}
                                              << QStringList{"1000", "1000", "6500", "6500"};
}

void TestMainWindow::placeFromSettingsStaysOnScreen()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, expected);
    const QStringList keys{AppSettings::kMainLeft, AppSettings::kMainTop, AppSettings::kMainWidth,
                           AppSettings::kMainHeight};
    for (int i = 0; i < keys.size(); ++i)
        m_settings->setText(keys.at(i), stored.at(i));
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    const QRect screen = window->screen()->availableGeometry();
    const int width = window->toPixels(expected.at(2).toDouble());
    const int height = window->toPixels(expected.at(3).toDouble());
    auto place = [&](const QString &where, int start, int length, int size) {
        return where == "start" ? start : where == "end" ? start + length - size : window->toPixels(where.toDouble());
    };
    QCOMPARE(QRect(window->pos(), window->size()),
             QRect(place(expected.at(0), screen.x(), screen.width(), width),
                   place(expected.at(1), screen.y(), screen.height(), height), width, height));
}

void TestMainWindow::settingsThatCannotBeWrittenAreToldOnce()
{
    const QString file = m_settings->fileName();
    QFile::remove(file);
    QVERIFY(QDir().mkpath(file)); // a folder where the file should be: not even root can write it
    auto undo = qScopeGuard([&] { QDir(file).removeRecursively(); });
    for (int run = 0; run < 2; ++run) {
        MainWindow *window = makeWindow(QString());
        QVERIFY(window);
        window->close();
    }
    QCOMPARE(m_ui->messageTexts(),
             QStringList{QStringLiteral("The settings could not be saved to %1. The window's place and size, the last "
                                        "catalog and the last extension list will not be remembered.")
                             .arg(file)});
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

// A click lists the category (filings and names are the list model's business); the
// keyboard only moves the selection.
void TestMainWindow::treeClicksListButKeysDoNot()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    QCOMPARE(describeTree(window->categoryTreeModel()), QStringLiteral("Photos#1(Holidays#3) Music#2 Empty#4"));
    window->catalog().records().insert(0, kSentinelRecord); // must never become a row
    clickCategory(window, 1);
    const QStringList photos{"a", "b", "d", "notes"};
    QCOMPARE(rowNames(window), photos);
    QVERIFY(!column(window, 0, FileListModel::PathRole).contains(kSentinelRecord));

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

    clickCategory(window, 4); // no stale rows
    QCOMPARE(window->selectedCategory(), 4);
    QCOMPARE(rowNames(window), QStringList{});
    QVERIFY(window->catalog().FileListSaved());
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

// The commands' refusals are tested with the commands; here the window hands them
// the selected node. A prompt shows as "Title [default]: text".
void TestMainWindow::categoryCommands_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("prompt"); // empty: none, the question answered yes
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("saved"); // 1 saved, 0 changed, -1 left to the commands' own tests
    QTest::newRow("add category") << "mnuAddDrive" << 2 << "Corvanta []: What is the name of the new category?"
                                  << QStringList{} << "Photos#1(Holidays#3) Music#2 Empty#4 New#5" << catalogRecords() << 0;
    QTest::newRow("add sub-category under a sub-category")
        << "mnuFileAddCategory" << 3 << "Corvanta []: What is the name of the new sub-category?" << QStringList{}
        << "Photos#1(Holidays#3(New#5)) Music#2 Empty#4" << catalogRecords() << -1;
    QTest::newRow("rename") << "mnuChangeCategoryName" << 2
                            << "Marlowind [Music]: What would you like to change the category's name to?"
                            << QStringList{} << "Photos#1(Holidays#3) New#2 Empty#4" << catalogRecords() << 0;
    QTest::newRow("delete with sub-category")
        << "mnuFileDelete" << 1 << QString()
        << QStringList{"Corvanta|Question|YesNo|Are you sure you want to delete the category and all sub catagories?"}
        << "Music#1 Empty#2" << QStringList{"song.mp3/1>rock"} << 0;
}

void TestMainWindow::categoryCommands()
{
    QFETCH(QString, entry);
    QFETCH(int, selected);
    QFETCH(QString, prompt);
    QFETCH(int, saved);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, selected);
    QCOMPARE(window->selectedCategory(), selected);
    const QStringList listed = rowNames(window);
    m_ui->promptAnswers = {QStringLiteral("New")};
    m_ui->answers = {Answer::Yes};

    window->actions().action(entry)->trigger();

    QStringList prompts;
    for (const ScriptedInteraction::Prompt &p : std::as_const(m_ui->prompts))
        prompts << p.title + " [" + p.defaultText + "]: " + p.text;
    QCOMPARE(prompts, prompt.isEmpty() ? QStringList() : QStringList{prompt});
    QTEST(m_ui->shownMessages(), "messages");
    QTEST(describeTree(window->categoryTreeModel()), "tree");
    QTEST(records(window), "records");
    if (saved >= 0)
        QCOMPARE(window->catalog().FileListSaved(), saved == 1);
    QCOMPARE(rowNames(window), listed); // no category command lists again
}

// Remove Item by the Delete key, Clear List from the list's own context menu.
void TestMainWindow::listCommands_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("entry"); // empty: the Delete key
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("Delete, three rows: every record of them goes")
        << QStringList{"a", "d", "notes"} << QString()
        << QStringList{"Marlowind|Critical|YesNo|Are you sure you want to remove the selected items from the playlist?"}
        << QStringList{"b"} << QStringList{"song.mp3/2>rock", "b.jpg/1>beach", "holiday.2004.png/3>sun"};
    QTest::newRow("Clear List: the records stay")
        << QStringList{"b"} << "mnuClearList" << QStringList{} << QStringList{} << catalogRecords();
}

void TestMainWindow::listCommands()
{
    QFETCH(QStringList, selected);
    QFETCH(QString, entry);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, selected);
    if (entry.isEmpty()) {
        m_ui->answers = {Answer::Yes};
        QTest::keyClick(&window->fileList(), Qt::Key_Delete);
    } else {
        QTest::mousePress(window->fileList().viewport(), Qt::RightButton, {}, rowCentre(window, 1));
        QTRY_VERIFY(window->actions().popupMenu()->isVisible());
        window->actions().action(entry)->trigger();
        window->actions().popupMenu()->close();
    }

    QTEST(m_ui->shownMessages(), "messages");
    QTEST(rowNames(window), "rows");
    QTEST(records(window), "records");
    QCOMPARE(window->catalog().FileListSaved(), !entry.isEmpty());
}

// Cut, Copy and Paste work on the keywords box only while it has the focus; Ctrl+C
// in the list copies no file either.
void TestMainWindow::editCommandsActOnKeywordsBoxOnly_data()
{
    QTest::addColumn<bool>("keywordsFocused");
    QTest::addColumn<QString>("entry"); // a menu entry, or keys typed
    QTest::addColumn<QString>("clipboardBefore"); // empty: no text on the clipboard
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("copy") << true << "mnuEditCopy" << "before" << "beach sunset" << "sunset";
    QTest::newRow("cut") << true << "mnuEditCut" << "before" << "beach " << "sunset";
    QTest::newRow("paste") << true << "mnuEditPaste" << "dunes" << "beach dunes" << "dunes";
    QTest::newRow("paste of an empty clipboard deletes the selection")
        << true << "mnuEditPaste" << "" << "beach " << "";
    QTest::newRow("copy, list focused") << false << "mnuEditCopy" << "before" << "beach sunset" << "before";
    QTest::newRow("cut, list focused") << false << "mnuEditCut" << "before" << "beach sunset" << "before";
    QTest::newRow("paste, list focused") << false << "mnuEditPaste" << "dunes" << "beach sunset" << "dunes";
    // The key's release shows the current row, b, in the box again.
    QTest::newRow("Ctrl+C typed in the list") << false << "Ctrl+C" << "before" << "beach" << "before";
}

void TestMainWindow::editCommandsActOnKeywordsBoxOnly()
{
    QFETCH(bool, keywordsFocused);
    QFETCH(QString, entry);
    QFETCH(QString, clipboardBefore);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    clickCategory(window, 1);
    clickRow(window, 1); // b: the box shows its keywords; a copy of files would have a row
    QLineEdit *box = window->detailsPanel().keywordsBox();
    QCOMPARE(box->text(), QStringLiteral("beach"));
    box->setFocus();
    QTRY_VERIFY(window->keywordsHaveFocus());
    if (!keywordsFocused) {
        window->fileList().setFocus();
        QTRY_VERIFY(window->fileList().hasFocus());
        QVERIFY(!window->keywordsHaveFocus());
    }
    box->setText(QStringLiteral("beach sunset"));
    box->setSelection(6, 6);
    QCOMPARE(box->selectedText(), QStringLiteral("sunset"));
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboardBefore.isEmpty() ? clipboard->clear() : clipboard->setText(clipboardBefore);

    if (QAction *action = window->actions().action(entry))
        action->trigger();
    else
        QTest::keySequence(&window->fileList(), QKeySequence(entry));

    QTEST(box->text(), "text");
    QTEST(clipboard->text(), "clipboard");
    QCOMPARE(records(window), catalogRecords());
}

void TestMainWindow::dropOnTree_data()
{
    QTest::addColumn<QString>("source"); // rows of the list, or files from another program
    QTest::addColumn<QStringList>("dragged"); // selected rows of Photos, or the program's files
    QTest::addColumn<int>("target"); // the node under the pointer; 0 beside the nodes; -1 no drop
    QTest::addColumn<int>("category"); // the node selected at the drop
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("rows");
    const QStringList photos{"a", "b", "d", "notes"};
    QTest::newRow("rows onto a category: refiled, and they leave the list")
        << "list" << QStringList{"b", "d"} << 2 << 2 << QStringList{}
        << QStringList{"a.png/1>sunset", "d.bmp/2>mountain", "b.jpg/2>beach", "song.mp3/2>rock", "notes.txt/1>",
                       "a.png/1>sunset", "holiday.2004.png/3>sun"}
        << QStringList{"a", "notes"};
    QTest::newRow("rows beside the nodes: refused")
        << "list" << QStringList{"b"} << 0 << 0
        << QStringList{"Corvanta|None|Ok|Please select a category or sub-category"} << catalogRecords() << photos;
    QTest::newRow("rows dragged, then Escape: still a change") << "list" << QStringList{"b"} << -1 << 1
                                                               << QStringList{} << catalogRecords() << photos;
    // Without a row drag the selection stays put and the drop files into it; the
    // selected rows (notes) leave the list all the same.
    QTest::newRow("files from a program go to the selected node")
        << "program" << QStringList{"song.mp3", "not-catalogued.png"} << 2 << 1 << QStringList{}
        << QStringList{"a.png/1>sunset", "song.mp3/1>rock", "b.jpg/1>beach", "notes.txt/1>", "a.png/1>sunset",
                       "holiday.2004.png/3>sun", "d.bmp/1>mountain"}
        << QStringList{"a", "b", "d"};
    // Passing over the list turns it into a row drag: the node under the pointer.
    QTest::newRow("files from a program over the list go to the node under the pointer")
        << "program over the list" << QStringList{"song.mp3"} << 3 << 3 << QStringList{}
        << QStringList{"a.png/1>sunset", "song.mp3/3>rock", "b.jpg/1>beach", "notes.txt/1>", "a.png/1>sunset",
                       "holiday.2004.png/3>sun", "d.bmp/1>mountain"}
        << QStringList{"a", "b", "d"};
}

void TestMainWindow::dropOnTree()
{
    QFETCH(QString, source);
    QFETCH(QStringList, dragged);
    QFETCH(int, target);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);

    std::unique_ptr<QMimeData> data;
    selectRows(window, source == QLatin1String("list") ? dragged : QStringList{"notes"});
    if (source == QLatin1String("list")) {
        data.reset(window->fileListModel().mimeData(window->fileList().selectionModel()->selectedIndexes()));
        Q_EMIT window->fileList().rowDragStarted();
        QVERIFY(window->listDragActive());
    } else {
        data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString &name : dragged)
            urls.append(QUrl::fromLocalFile(path(name)));
        data->setUrls(urls);
        if (source == QLatin1String("program over the list")) {
            QDragEnterEvent overList(rowCentre(window, 0), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window->fileList().viewport(), &overList);
            QVERIFY(!overList.isAccepted()); // the list takes no drop
        }
        QCOMPARE(window->listDragActive(), source != QLatin1String("program"));
    }
    QCOMPARE(window->catalog().FileListSaved(), source == QLatin1String("program")); // a row drag is a change

    if (target > 0)
        QVERIFY(dragOntoTree(window, data.get(), nodeCentre(window, target)));
    else if (target == 0)
        dragOntoTree(window, data.get(), besideNodes(window));
    if (source == QLatin1String("list")) {
        Q_EMIT window->fileList().rowDragFinished();
        QVERIFY(!window->listDragActive());
    }

    QTEST(window->selectedCategory(), "category");
    QTEST(m_ui->shownMessages(), "messages");
    QTEST(records(window), "records");
    QTEST(rowNames(window), "rows");
    QVERIFY(!window->catalog().FileListSaved());
}

// Keywords updated by the button, saved by the menu and loaded into a second window.
void TestMainWindow::editedCatalogSurvivesSaveAndLoad()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, {QStringLiteral("a"), QStringLiteral("b")});
    window->detailsPanel().keywordsBox()->setText(QStringLiteral("coast"));
    QTest::mouseClick(window->detailsPanel().findChild<QPushButton *>(QStringLiteral("cmdUpdate")), Qt::LeftButton);
    QCOMPARE(window->detailsPanel().keywordsBox()->text(), QStringLiteral("coast")); // the user's text stays
    const QStringList edited{"a.png/1>coast", "song.mp3/2>rock",        "b.jpg/1>coast",   "notes.txt/1>",
                             "a.png/1>coast", "holiday.2004.png/3>sun", "d.bmp/1>mountain"};
    QCOMPARE(records(window), edited);

    const QString saved = path(QStringLiteral("edited.kvd"));
    m_ui->saveFileAnswers = {saved};
    window->actions().action(QStringLiteral("mnuSave"))->trigger();
    QCOMPARE(m_ui->messageTexts(), QStringList{"Marlowind Database successfully saved."});
    QVERIFY(window->catalog().FileListSaved());

    MainWindow *reloaded = makeWindow(saved);
    QVERIFY(reloaded);
    QCOMPARE(describeTree(reloaded->categoryTreeModel()), QStringLiteral("Photos#1(Holidays#3) Music#2 Empty#4"));
    QCOMPARE(records(reloaded), edited);
    clickCategory(reloaded, 1);
    QCOMPARE(column(reloaded, KeywordsColumn), (QStringList{"coast", "coast", "mountain", ""}));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
