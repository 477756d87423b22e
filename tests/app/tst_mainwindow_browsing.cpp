#include "DetailsPanel.h"
#include "FileRecord.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

// Browsing through the main window: the tree's clicks list a category, the list's
// clicks fill the details panel, the header sorts.
class TestMainWindowBrowsing : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void clickingCategoryListsItsFiles_data();
    void clickingCategoryListsItsFiles();
    void keyboardMovesDoNotRelistButAClickBesideDoes();
    void clickingRowFillsDetails();
    void unreadableFileRowShowsNothingOfAnotherFile();
    void clearListKeepsRecords();
    void headerClicksSort_data();
    void headerClicksSort();
    void refreshKeepsTheList();
    void doubleClickOnEmptyTreeAddsCategory();

private:
    static QString label(MainWindow *window, const char *name)
    {
        auto *found = window->detailsPanel().findChild<QLabel *>(QString::fromLatin1(name));
        return found ? found->text() : QStringLiteral("<no label %1>").arg(QString::fromLatin1(name));
    }
    static void clickHeader(MainWindow *window, const QString &caption);
};

void TestMainWindowBrowsing::clickHeader(MainWindow *window, const QString &caption)
{
    QHeaderView *header = window->fileList().header();
    for (int section = 0; section < header->count(); ++section) {
        if (window->fileListModel().headerData(section, Qt::Horizontal).toString() != caption)
            continue;
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no header ") + caption));
}

void TestMainWindowBrowsing::clickingCategoryListsItsFiles_data()
{
    QTest::addColumn<int>("before"); // listed first, so that stale rows would show
    QTest::addColumn<int>("category");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("extensions");
    QTest::addColumn<QStringList>("keywords");
    QTest::newRow("category with a file filed twice gives one row")
        << 2 << 1 << QStringList{"a", "b", "d", "notes"} << QStringList{"png", "jpg", "bmp", "txt"}
        << QStringList{"sunset", "beach", "mountain", ""};
    QTest::newRow("another category") << 1 << 2 << QStringList{"song"} << QStringList{"mp3"} << QStringList{"rock"};
    QTest::newRow("sub-category, dotted name") << 1 << 3 << QStringList{"holiday.2004"} << QStringList{"png"}
                                                << QStringList{"sun"};
    QTest::newRow("category without files") << 1 << 4 << QStringList{} << QStringList{} << QStringList{};
}

void TestMainWindowBrowsing::clickingCategoryListsItsFiles()
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
    QTEST(column(window, ExtensionColumn), "extensions");
    QTEST(column(window, KeywordsColumn), "keywords");
    QVERIFY(!column(window, 0, FileListModel::PathRole).contains(kSentinelRecord));
    QVERIFY(window->catalog().FileListSaved());
}

void TestMainWindowBrowsing::keyboardMovesDoNotRelistButAClickBesideDoes()
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

    const QPoint beside = besideNodes(window);
    QVERIFY(!tree.indexAt(beside).isValid());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, beside);
    QCOMPARE(window->selectedCategory(), 2);
    QCOMPARE(rowNames(window), QStringList{"song"});
}

void TestMainWindowBrowsing::clickingRowFillsDetails()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);

    clickRow(window, rowNamed(window, QStringLiteral("b")));
    QCOMPARE(label(window, "lblDataName"), QStringLiteral("b.jpg"));
    QCOMPARE(label(window, "lblDataSize"), QString::number(QFileInfo(path("b.jpg")).size()) + QStringLiteral(" bytes"));
    QVERIFY(!label(window, "lblDataType").isEmpty());
    QCOMPARE(window->detailsPanel().keywordsBox()->text(), QStringLiteral("beach"));
    QCOMPARE(window->detailsPanel().shownPath(), path("b.jpg"));

    // A key released in the list shows the new current row.
    QTest::keyClick(&window->fileList(), Qt::Key_Down);
    QCOMPARE(label(window, "lblDataName"), QStringLiteral("d.bmp"));
    QCOMPARE(window->detailsPanel().keywordsBox()->text(), QStringLiteral("mountain"));
    QCOMPARE(window->detailsPanel().shownPath(), path("d.bmp"));
}

void TestMainWindowBrowsing::unreadableFileRowShowsNothingOfAnotherFile()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    QVERIFY(QFile::remove(path("b.jpg"))); // gone after loading: the record stays
    clickCategory(window, 1);
    window->fileListModel().fillAllDetails();

    const int b = rowNamed(window, QStringLiteral("b"));
    QVERIFY(b >= 0);
    const FileListModel &model = window->fileListModel();
    QCOMPARE(model.index(b, ExtensionColumn).data().toString(), QStringLiteral("jpg"));
    QCOMPARE(model.index(b, KeywordsColumn).data().toString(), QStringLiteral("beach"));
    QCOMPARE(model.index(b, TypeColumn).data().toString(), QString());
    QCOMPARE(model.index(b, LastModifiedColumn).data().toString(), QString());
    QVERIFY(model.index(b, NameColumn).data(Qt::DecorationRole).isNull());
    // The readable picture beside it does get its details.
    const int a = rowNamed(window, QStringLiteral("a"));
    QVERIFY(!model.index(a, TypeColumn).data().toString().isEmpty());
    QVERIFY(!model.index(a, LastModifiedColumn).data().toString().isEmpty());

    clickRow(window, a);
    QCOMPARE(label(window, "lblDataName"), QStringLiteral("a.png"));
    clickRow(window, b);
    for (const char *name : {"lblDataName", "lblDataPath", "lblDataSize", "lblDataType", "lblDataCreated",
                             "lblDataLastModified", "lblDataLastAccessed"})
        QVERIFY2(label(window, name).isEmpty(), name);
    QCOMPARE(window->detailsPanel().keywordsBox()->text(), QStringLiteral("beach"));
    QCOMPARE(window->detailsPanel().shownPath(), QString());
}

void TestMainWindowBrowsing::clearListKeepsRecords()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    QCOMPARE(window->fileListModel().rowCount(), 4);

    // The list's own context menu, opened by the right button.
    QTest::mousePress(window->fileList().viewport(), Qt::RightButton, {}, rowCentre(window, 0));
    QMenu *popup = window->actions().popupMenu();
    QTRY_VERIFY(popup->isVisible());
    window->actions().action(QStringLiteral("mnuClearList"))->trigger();
    popup->close();

    QCOMPARE(window->fileListModel().rowCount(), 0);
    QCOMPARE(records(window), catalogRecords());
    QVERIFY(window->catalog().FileListSaved());
}

void TestMainWindowBrowsing::headerClicksSort_data()
{
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("sortColumn");
    QTest::newRow("listing sorts by name") << QStringList{} << QStringList{"a", "b", "d", "notes"} << 0;
    QTest::newRow("extension") << QStringList{"Extension"} << QStringList{"d", "b", "a", "notes"} << 1;
    QTest::newRow("keywords") << QStringList{"Keywords"} << QStringList{"notes", "b", "d", "a"} << 4;
    QTest::newRow("keywords twice still ascends")
        << QStringList{"Keywords", "Keywords"} << QStringList{"notes", "b", "d", "a"} << 4;
    QTest::newRow("back to name") << QStringList{"Keywords", "Name"} << QStringList{"a", "b", "d", "notes"} << 0;
    QTest::newRow("type does nothing") << QStringList{"Keywords", "Type"} << QStringList{"notes", "b", "d", "a"} << 4;
}

void TestMainWindowBrowsing::headerClicksSort()
{
    QFETCH(QStringList, headers);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    for (const QString &caption : headers) {
        clickHeader(window, caption);
        if (QTest::currentTestFailed())
            return;
    }
    QTEST(rowNames(window), "names");
    QTEST(window->fileListModel().sortColumn(), "sortColumn");
    QHeaderView *header = window->fileList().header();
    QTEST(header->sortIndicatorSection(), "sortColumn");
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    // The order holds for later listings too.
    clickCategory(window, 2);
    clickCategory(window, 1);
    QTEST(rowNames(window), "names");
}

void TestMainWindowBrowsing::refreshKeepsTheList()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    clickRow(window, 1);
    window->actions().action(QStringLiteral("mnuViewRefresh"))->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(rowNames(window), (QStringList{"a", "b", "d", "notes"}));
    QCOMPARE(selectedNames(window), QStringList{"b"});
    QCOMPARE(records(window), catalogRecords());
}

void TestMainWindowBrowsing::doubleClickOnEmptyTreeAddsCategory()
{
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    QCOMPARE(window->categoryTreeModel().rowCount(), 0);
    CategoryTreeView &tree = window->categoryTree();

    m_ui->promptAnswers = {QStringLiteral("Photos")};
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(m_ui->prompts.size(), 1);
    QCOMPARE(m_ui->prompts.first().text, QStringLiteral("What is the name of the new category?"));
    QCOMPARE(m_ui->prompts.first().title, QStringLiteral("Corvanta"));
    QCOMPARE(m_ui->prompts.first().defaultText, QString());
    QCOMPARE(describeTree(window->categoryTreeModel()), QStringLiteral("Photos#1"));
    QVERIFY(!window->catalog().FileListSaved());

    // With a category in the tree a double click asks nothing.
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, besideNodes(window));
    QCOMPARE(m_ui->prompts.size(), 1);
    QCOMPARE(describeTree(window->categoryTreeModel()), QStringLiteral("Photos#1"));
}

QTEST_MAIN(TestMainWindowBrowsing)
#include "tst_mainwindow_browsing.moc"
