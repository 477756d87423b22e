#include "DetailsPanel.h"
#include "FileRecord.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>

using Interaction::Answer;
using Interaction::Buttons;
using Interaction::Icon;

// Editing the catalog through the main window: the category commands from the menu
// and the toolbar, Remove Item, Update Keywords, the Edit menu, dropping rows on the
// tree, and a save and reload of the result.
class TestMainWindowEditing : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void categoryCommands_data();
    void categoryCommands();
    void deleteKeyRemovesItems_data();
    void deleteKeyRemovesItems();
    void updateKeywordsButton_data();
    void updateKeywordsButton();
    void editCommandsActOnKeywordsBoxOnly_data();
    void editCommandsActOnKeywordsBoxOnly();
    void ctrlCInTheFileListCopiesNothing();
    void selectAllSelectsEveryRow();
    void dropOnNodeRefilesRecords_data();
    void dropOnNodeRefilesRecords();
    void dropOnEmptyTreeSpaceIsRefused();
    void cancelledRowDragStillCountsAsChange();
    void dragPassingOverTheListActsAsRowDrag();
    void dragDataIsTheRowsFileUrls();
    void editedCatalogSurvivesSaveAndLoad();

private:
    QLineEdit *keywordsBox(MainWindow *window) { return window->detailsPanel().keywordsBox(); }
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
    static bool dragOntoTree(MainWindow *window, const QMimeData *data, const QPoint &at);
};

bool TestMainWindowEditing::dragOntoTree(MainWindow *window, const QMimeData *data, const QPoint &at)
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

void TestMainWindowEditing::categoryCommands_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("promptAnswers");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("prompt"); // text, title, default; empty when none
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QStringList>("records");
    // 1 saved, 0 changed, -1 left to the category commands' own tests: whether a new
    // sub-category alone marks the catalog changed is decided there.
    QTest::addColumn<int>("saved");

    struct Command {
        const char *name;
        const char *entry;
        const char *key;
        int selected;
        QStringList promptAnswers;
        QList<Answer> answers;
        QStringList prompt;
        QStringList messages;
        QString tree;
        QStringList records;
        int saved;
    };
    const QStringList addPrompt{"What is the name of the new category?", "Corvanta", ""};
    const QStringList subPrompt{"What is the name of the new sub-category?", "Corvanta", ""};
    const Command commands[] = {
        {"add category", "mnuAddDrive", "NewDrive", 2, {"Videos"}, {}, addPrompt, {},
         "Photos#1(Holidays#3) Music#2 Empty#4 Videos#5", catalogRecords(), 0},
        {"add category named Temporary", "mnuAddDrive", "NewDrive", 2, {"Temporary"}, {}, addPrompt,
         {"System category, please choose a different category name."}, treeAsLoaded(), catalogRecords(), 1},
        {"add sub-category under a sub-category", "mnuFileAddCategory", "NewCategory", 3, {"Beach"}, {}, subPrompt, {},
         "Photos#1(Holidays#3(Beach#5)) Music#2 Empty#4", catalogRecords(), -1},
        {"add sub-category with a slash", "mnuFileAddCategory", "NewCategory", 2, {"Live/2004"}, {}, subPrompt,
         {"You cannot have the following characters in the sub-category's name: /\\"}, treeAsLoaded(),
         catalogRecords(), 1},
        {"rename", "mnuChangeCategoryName", "ChangeCategory", 2, {"Songs"}, {},
         {"What would you like to change the category's name to?", "Marlowind", "Music"}, {},
         "Photos#1(Holidays#3) Songs#2 Empty#4", catalogRecords(), 0},
        {"delete with sub-category, yes", "mnuFileDelete", "DeleteCategory", 1, {}, {Answer::Yes}, {},
         {"Are you sure you want to delete the category and all sub catagories?"}, "Music#1 Empty#2",
         {"song.mp3/1>rock"}, 0},
        {"delete, no", "mnuFileDelete", "DeleteCategory", 1, {}, {Answer::No}, {},
         {"Are you sure you want to delete the category and all sub catagories?"}, treeAsLoaded(), catalogRecords(),
         1},
    };
    for (const Command &c : commands) {
        for (bool toolbar : {false, true}) {
            const QString name = QString::fromLatin1(c.name) + QString::fromLatin1(toolbar ? ", toolbar" : ", menu");
            QTest::newRow(qPrintable(name))
                << QString::fromLatin1(toolbar ? "" : c.entry) << QString::fromLatin1(toolbar ? c.key : "")
                << c.selected << c.promptAnswers << c.answers << c.prompt << c.messages << c.tree << c.records
                << c.saved;
        }
    }
}

void TestMainWindowEditing::categoryCommands()
{
    QFETCH(QString, entry);
    QFETCH(QString, key);
    QFETCH(int, selected);
    QFETCH(QStringList, prompt);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, selected);
    QCOMPARE(window->selectedCategory(), selected);
    const QStringList listed = rowNames(window);

    QFETCH(QStringList, promptAnswers);
    QFETCH(QList<Answer>, answers);
    m_ui->promptAnswers = promptAnswers;
    m_ui->answers = answers;
    if (!entry.isEmpty()) {
        window->actions().action(entry)->trigger();
    } else {
        QWidget *button = window->actions().toolBar()->widgetForAction(window->actions().toolButton(key));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    if (prompt.isEmpty()) {
        QVERIFY(m_ui->prompts.isEmpty());
    } else {
        QCOMPARE(m_ui->prompts.size(), 1);
        QCOMPARE(m_ui->prompts.first().text, prompt.value(0));
        QCOMPARE(m_ui->prompts.first().title, prompt.value(1));
        QCOMPARE(m_ui->prompts.first().defaultText, prompt.value(2));
    }
    QTEST(m_ui->messageTexts(), "messages");
    QTEST(describeTree(window->categoryTreeModel()), "tree");
    QTEST(records(window), "records");
    QFETCH(int, saved);
    if (saved >= 0)
        QCOMPARE(window->catalog().FileListSaved(), saved == 1);
    QCOMPARE(rowNames(window), listed); // no category command lists again
    if (!answers.isEmpty()) {
        QCOMPARE(m_ui->messages.first().icon, Icon::Question);
        QCOMPARE(m_ui->messages.first().buttons, Buttons::YesNo);
        QCOMPARE(m_ui->messages.first().title, QStringLiteral("Corvanta"));
    }
}

void TestMainWindowEditing::deleteKeyRemovesItems_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("one row: asked by name")
        << QStringList{"b"} << "Are you sure you want to remove b from the file list?"
        << QStringList{"a", "d", "notes"}
        << QStringList{"a.png/1>sunset", "song.mp3/2>rock", "notes.txt/1>", "a.png/1>sunset",
                       "holiday.2004.png/3>sun", "d.bmp/1>mountain"};
    QTest::newRow("three rows: the playlist question, every record of them goes")
        << QStringList{"a", "d", "notes"} << "Are you sure you want to remove the selected items from the playlist?"
        << QStringList{"b"} << QStringList{"song.mp3/2>rock", "b.jpg/1>beach", "holiday.2004.png/3>sun"};
}

void TestMainWindowEditing::deleteKeyRemovesItems()
{
    QFETCH(QStringList, selected);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, selected);

    m_ui->answers = {Answer::Yes};
    QTest::keyClick(&window->fileList(), Qt::Key_Delete);

    QCOMPARE(m_ui->messages.size(), 1);
    QTEST(m_ui->messages.first().text, "question");
    QCOMPARE(m_ui->messages.first().title, QStringLiteral("Marlowind"));
    QCOMPARE(m_ui->messages.first().icon, Icon::Critical);
    QCOMPARE(m_ui->messages.first().buttons, Buttons::YesNo);
    QTEST(rowNames(window), "rows");
    QTEST(records(window), "records");
    QVERIFY(!window->catalog().FileListSaved());
}

void TestMainWindowEditing::updateKeywordsButton_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("cells"); // Keywords cells of a, b, d, notes
    QTest::addColumn<QStringList>("records");
    QTest::newRow("two rows get the text")
        << QStringList{"b", "d"} << "sea view" << QStringList{}
        << QStringList{"sunset", "sea view", "sea view", ""}
        << QStringList{"a.png/1>sunset", "song.mp3/2>rock", "b.jpg/1>sea view", "notes.txt/1>", "a.png/1>sunset",
                       "holiday.2004.png/3>sun", "d.bmp/1>sea view"};
    QTest::newRow("illegal characters")
        << QStringList{"b", "d"} << "sea's view" << QStringList{"Keywords contain illegal characters."}
        << QStringList{"sunset", "beach", "mountain", ""} << catalogRecords();
    QTest::newRow("no row selected")
        << QStringList{} << "sea view" << QStringList{"Unable to identify record, cannot update record"}
        << QStringList{"sunset", "beach", "mountain", ""} << catalogRecords();
}

void TestMainWindowEditing::updateKeywordsButton()
{
    QFETCH(QStringList, selected);
    QFETCH(QString, keywords);
    QFETCH(QStringList, messages);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, selected);
    keywordsBox(window)->setText(keywords);

    clickUpdate(window);

    QTEST(m_ui->messageTexts(), "messages");
    for (const Interaction::Message &message : std::as_const(m_ui->messages)) {
        QCOMPARE(message.title, QStringLiteral("Corvanta"));
        QCOMPARE(message.icon, Icon::Critical);
    }
    QTEST(column(window, KeywordsColumn), "cells");
    QTEST(records(window), "records");
    QCOMPARE(window->catalog().FileListSaved(), !messages.isEmpty());
    QCOMPARE(keywordsBox(window)->text(), keywords); // the box keeps the user's text
}

void TestMainWindowEditing::editCommandsActOnKeywordsBoxOnly_data()
{
    QTest::addColumn<bool>("keywordsFocused");
    QTest::addColumn<QString>("entry");
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
    QLineEdit *box = keywordsBox(window);
    box->setFocus();
    QTRY_VERIFY(window->keywordsHaveFocus());
    if (!keywordsFocused) {
        window->fileList().setFocus();
        QTRY_VERIFY(!window->keywordsHaveFocus());
    }
    box->setText(QStringLiteral("beach sunset"));
    box->setSelection(6, 6);
    QCOMPARE(box->selectedText(), QStringLiteral("sunset"));
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboardBefore.isEmpty())
        clipboard->clear();
    else
        clipboard->setText(clipboardBefore);

    window->actions().action(entry)->trigger();

    QTEST(box->text(), "text");
    QTEST(clipboard->text(), "clipboard");
    QCOMPARE(records(window), catalogRecords());
}

void TestMainWindowEditing::ctrlCInTheFileListCopiesNothing()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    clickCategory(window, 1);
    clickRow(window, 1);
    window->fileList().setFocus();
    QTRY_VERIFY(window->fileList().hasFocus());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    QTest::keyClick(&window->fileList(), Qt::Key_C, Qt::ControlModifier);

    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

void TestMainWindowEditing::selectAllSelectsEveryRow()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    clickRow(window, 2);
    QCOMPARE(selectedNames(window), QStringList{"d"});

    window->actions().action(QStringLiteral("mnuEditSelectAll"))->trigger();

    QCOMPARE(selectedNames(window), (QStringList{"a", "b", "d", "notes"}));
    QCOMPARE(records(window), catalogRecords());
    QVERIFY(window->catalog().FileListSaved());
}

void TestMainWindowEditing::dropOnNodeRefilesRecords_data()
{
    QTest::addColumn<QStringList>("selected"); // rows of Photos selected in the list
    QTest::addColumn<QStringList>("external"); // empty: the selected rows are dragged
    QTest::addColumn<int>("target"); // the node under the pointer
    QTest::addColumn<int>("category"); // the node selected at the drop
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("two rows onto a category: refiled behind the first record")
        << QStringList{"b", "d"} << QStringList{} << 2 << 2
        << QStringList{"a.png/1>sunset", "d.bmp/2>mountain", "b.jpg/2>beach", "song.mp3/2>rock", "notes.txt/1>",
                       "a.png/1>sunset", "holiday.2004.png/3>sun"}
        << QStringList{"a", "notes"};
    QTest::newRow("a file filed twice onto a sub-category")
        << QStringList{"a"} << QStringList{} << 3 << 3
        << QStringList{"a.png/3>sunset", "a.png/3>sunset", "song.mp3/2>rock", "b.jpg/1>beach", "notes.txt/1>",
                       "holiday.2004.png/3>sun", "d.bmp/1>mountain"}
        << QStringList{"b", "d", "notes"};
    // From another program the selection stays put and the drop files into it; the
    // selected rows leave the list all the same.
    QTest::newRow("files from another program go to the selected node")
        << QStringList{"notes"} << QStringList{"song.mp3", "not-catalogued.png"} << 2 << 1
        << QStringList{"a.png/1>sunset", "song.mp3/1>rock", "b.jpg/1>beach", "notes.txt/1>", "a.png/1>sunset",
                       "holiday.2004.png/3>sun", "d.bmp/1>mountain"}
        << QStringList{"a", "b", "d"};
}

void TestMainWindowEditing::dropOnNodeRefilesRecords()
{
    QFETCH(QStringList, selected);
    QFETCH(QStringList, external);
    QFETCH(int, target);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, selected);

    std::unique_ptr<QMimeData> data;
    if (external.isEmpty()) {
        data = dragOfSelectedRows(window);
        Q_EMIT window->fileList().rowDragStarted();
        QVERIFY(window->listDragActive());
        QVERIFY(!window->catalog().FileListSaved()); // a row drag counts as a change, even if cancelled
    } else {
        data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString &name : external)
            urls.append(QUrl::fromLocalFile(path(name)));
        data->setUrls(urls);
        QVERIFY(!window->listDragActive());
    }

    QVERIFY(dragOntoTree(window, data.get(), nodeCentre(window, target)));
    if (external.isEmpty())
        Q_EMIT window->fileList().rowDragFinished();

    QTEST(window->selectedCategory(), "category");
    QVERIFY2(m_ui->messages.isEmpty(), qPrintable(m_ui->messageTexts().join(QLatin1Char('\n'))));
    QTEST(records(window), "records");
    QTEST(rowNames(window), "rows");
    QVERIFY(!window->catalog().FileListSaved());
    QVERIFY(!window->listDragActive());
}

void TestMainWindowEditing::dropOnEmptyTreeSpaceIsRefused()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, {QStringLiteral("b")});
    const std::unique_ptr<QMimeData> data = dragOfSelectedRows(window);
    Q_EMIT window->fileList().rowDragStarted();

    dragOntoTree(window, data.get(), besideNodes(window));
    Q_EMIT window->fileList().rowDragFinished();

    QCOMPARE(window->selectedCategory(), 0); // over empty space no node is selected
    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(m_ui->messages.first().text, QStringLiteral("Please select a category or sub-category"));
    QCOMPARE(m_ui->messages.first().title, QStringLiteral("Corvanta"));
    QCOMPARE(m_ui->messages.first().icon, Icon::None);
    QCOMPARE(records(window), catalogRecords());
    QCOMPARE(rowNames(window), (QStringList{"a", "b", "d", "notes"}));
}

void TestMainWindowEditing::cancelledRowDragStillCountsAsChange()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, {QStringLiteral("b")});
    QVERIFY(window->catalog().FileListSaved());

    Q_EMIT window->fileList().rowDragStarted();
    Q_EMIT window->fileList().rowDragFinished(); // Escape: nothing dropped

    QVERIFY(!window->listDragActive());
    QVERIFY(!window->catalog().FileListSaved());
    QCOMPARE(records(window), catalogRecords());
    QCOMPARE(rowNames(window), (QStringList{"a", "b", "d", "notes"}));
    QCOMPARE(window->selectedCategory(), 1);
}

void TestMainWindowEditing::dragPassingOverTheListActsAsRowDrag()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path(QStringLiteral("song.mp3")))});

    // The list takes no drop, but from now on the tree follows the pointer.
    QDragEnterEvent overList(rowCentre(window, 0), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->fileList().viewport(), &overList);
    QVERIFY(!overList.isAccepted());
    QVERIFY(window->listDragActive());
    QVERIFY(!window->catalog().FileListSaved());

    QVERIFY(dragOntoTree(window, &data, nodeCentre(window, 3)));
    QCOMPARE(window->selectedCategory(), 3);
    QCOMPARE(records(window).value(1), QStringLiteral("song.mp3/3>rock"));
}

void TestMainWindowEditing::dragDataIsTheRowsFileUrls()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    const QString odd = TestFiles::createFile(path(QStringLiteral("my photo #1 100%.png")), "x");
    window->catalog().records().append(MakeFileRecord(odd, 1, QString()));
    clickCategory(window, 1);
    QCOMPARE(rowNames(window), (QStringList{"a", "b", "d", "my photo #1 100%", "notes"}));

    const FileListModel &model = window->fileListModel();
    // Cells of two rows, handed over out of order and more than once per row.
    const std::unique_ptr<QMimeData> data(model.mimeData({model.index(3, KeywordsColumn), model.index(1, NameColumn),
                                                          model.index(3, NameColumn), model.index(1, TypeColumn)}));
    QCOMPARE(data->urls(), (QList<QUrl>{QUrl::fromLocalFile(path("b.jpg")), QUrl::fromLocalFile(odd)}));
    QCOMPARE(CategoryTreeView::droppedPaths(data.get()), (QStringList{path("b.jpg"), odd}));
    QVERIFY(model.mimeTypes().contains(QStringLiteral("text/uri-list")));
    QCOMPARE(model.supportedDragActions(), Qt::DropActions(Qt::CopyAction));
    QCOMPARE(window->fileList().defaultDropAction(), Qt::CopyAction);
}

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
    keywordsBox(window)->setText(QStringLiteral("coast"));
    clickUpdate(window);

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
