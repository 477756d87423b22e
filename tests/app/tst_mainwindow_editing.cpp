#include "DetailsPanel.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

using Interaction::Answer;

// Editing the catalog through the main window: the category commands, Remove Item,
// the Edit menu, dropping on the tree, and a save and reload.
class TestMainWindowEditing : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

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
    static void clickUpdate(MainWindow *window)
    {
        QTest::mouseClick(window->detailsPanel().findChild<QPushButton *>(QStringLiteral("cmdUpdate")), Qt::LeftButton);
    }
    static std::unique_ptr<QMimeData> dragOfSelectedRows(MainWindow *window)
    {
        return std::unique_ptr<QMimeData>(
            window->fileListModel().mimeData(window->fileList().selectionModel()->selectedIndexes()));
    }
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

// The commands' refusals are tested with the commands; here the window hands them
// the selected node. A prompt shows as "Title [default]: text".
void TestMainWindowEditing::categoryCommands_data()
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

void TestMainWindowEditing::categoryCommands()
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
void TestMainWindowEditing::listCommands_data()
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

void TestMainWindowEditing::listCommands()
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
void TestMainWindowEditing::editCommandsActOnKeywordsBoxOnly_data()
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

void TestMainWindowEditing::editCommandsActOnKeywordsBoxOnly()
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

void TestMainWindowEditing::dropOnTree_data()
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

void TestMainWindowEditing::dropOnTree()
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
        data = dragOfSelectedRows(window);
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

// A new category, rows dropped on it, their keywords updated by the button; saved
// and loaded again into a second window.
void TestMainWindowEditing::editedCatalogSurvivesSaveAndLoad()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    m_ui->promptAnswers = {QStringLiteral("Trips")};
    window->actions().action(QStringLiteral("mnuAddDrive"))->trigger();
    window->categoryTree().expandAll();

    clickCategory(window, 1);
    selectRows(window, {QStringLiteral("a"), QStringLiteral("b")});
    const std::unique_ptr<QMimeData> data = dragOfSelectedRows(window);
    Q_EMIT window->fileList().rowDragStarted();
    QVERIFY(dragOntoTree(window, data.get(), nodeCentre(window, 5)));
    Q_EMIT window->fileList().rowDragFinished();

    clickCategory(window, 5);
    QCOMPARE(rowNames(window), (QStringList{"a", "b"}));
    selectRows(window, {QStringLiteral("a"), QStringLiteral("b")});
    window->detailsPanel().keywordsBox()->setText(QStringLiteral("coast"));
    clickUpdate(window);
    QCOMPARE(window->detailsPanel().keywordsBox()->text(), QStringLiteral("coast")); // the user's text stays

    const QString tree = QStringLiteral("Photos#1(Holidays#3) Music#2 Empty#4 Trips#5");
    const QStringList edited{"a.png/5>coast", "a.png/5>coast",          "b.jpg/5>coast",   "song.mp3/2>rock",
                             "notes.txt/1>",  "holiday.2004.png/3>sun", "d.bmp/1>mountain"};
    QCOMPARE(describeTree(window->categoryTreeModel()), tree);
    QCOMPARE(records(window), edited);
    QVERIFY(m_ui->messages.isEmpty());

    const QString saved = path(QStringLiteral("edited.kvd"));
    m_ui->saveFileAnswers = {saved};
    window->actions().action(QStringLiteral("mnuSave"))->trigger();
    QCOMPARE(m_ui->messageTexts(), QStringList{"Marlowind Database successfully saved."});
    QVERIFY(window->catalog().FileListSaved());

    MainWindow *reloaded = makeWindow(saved);
    QVERIFY(reloaded);
    QCOMPARE(describeTree(reloaded->categoryTreeModel()), tree);
    QCOMPARE(records(reloaded), edited);
    QVERIFY(reloaded->catalog().FileListSaved());
    clickCategory(reloaded, 5);
    QCOMPARE(rowNames(reloaded), (QStringList{"a", "b"}));
    QCOMPARE(column(reloaded, KeywordsColumn), (QStringList{"coast", "coast"}));
}

QTEST_MAIN(TestMainWindowEditing)
#include "tst_mainwindow_editing.moc"
