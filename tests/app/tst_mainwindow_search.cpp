#include "AdvancedSearchDialog.h"
#include "DetailsPanel.h"
#include "FileRecord.h"
#include "QuickSearchBar.h"
#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The quick search at the top of the main window and the Advanced Search dialog,
// driven through their widgets, every message answered from the script.
class TestMainWindowSearch : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void quickSearchMatches_data();
    void quickSearchMatches();
    void quickSearchRefusals_data();
    void quickSearchRefusals();
    void searchBoxStartsAnEntry_data();
    void searchBoxStartsAnEntry();
    void quickSearchKeepsSortAndDetails();
    void advancedDialogAsOpened();
    void advancedTickBoxesFollowTheirBoxes();
    void advancedCriteria_data();
    void advancedCriteria();
    void advancedDateRanges_data();
    void advancedDateRanges();
    void advancedRefusals_data();
    void advancedRefusals();
    void advancedSearchYieldsAndShowsProgress();
    void cancelDuringSearchStopsClearsAndCloses();
    void countsPastSixteenBits_data();
    void countsPastSixteenBits();

private:
    MainWindow *makeSearchWindow()
    {
        MainWindow *window = makeLoadedWindow();
        if (!window)
            return nullptr;
        // A file with spaces in its name, and the days the pictures were last changed.
        const QString doc = TestFiles::createFile(path(QStringLiteral("My Doc.txt")), "text");
        window->catalog().records().append(MakeFileRecord(doc, 2, QStringLiteral("work notes")));
        const std::pair<const char *, QDate> days[] = {{"a.png", QDate(2004, 1, 2)},
                                                       {"b.jpg", QDate(2004, 1, 1)},
                                                       {"holiday.2004.png", QDate(2004, 1, 3)},
                                                       {"d.bmp", QDate(2005, 6, 1)}};
        for (const auto &[name, day] : days) {
            QFile file(path(QString::fromLatin1(name)));
            if (!file.open(QIODevice::ReadWrite)
                || !file.setFileTime(QDateTime(day, QTime(10, 30)), QFileDevice::FileModificationTime))
                return nullptr;
        }
        return window;
    }
    static QLineEdit *searchBox(MainWindow *window) { return window->findChild<QLineEdit *>(QStringLiteral("txtSearch")); }
    static void quickSearch(MainWindow *window, const QString &text)
    {
        QTest::mouseClick(searchBox(window), Qt::LeftButton);
        QTest::keyClicks(searchBox(window), text);
        QTest::keyClick(searchBox(window), Qt::Key_Return);
    }
    // Each row as "name|extension|keywords".
    static QStringList rows(MainWindow *window)
    {
        QStringList lines;
        const QStringList names = column(window, NameColumn);
        const QStringList extensions = column(window, ExtensionColumn);
        const QStringList keywords = column(window, KeywordsColumn);
        for (int i = 0; i < names.size(); ++i)
            lines.append(names[i] + '|' + extensions[i] + '|' + keywords[i]);
        return lines;
    }
    AdvancedSearchDialog *openAdvanced(MainWindow *window)
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdAdvancedSearch")), Qt::LeftButton);
        return window->advancedSearchDialog();
    }
    template <typename T>
    static T *part(AdvancedSearchDialog *dialog, const char *name)
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    // Fills the dialog from "box=text" (typed over what it held) and "box" (a tick box
    // clicked on its square: the box may stretch well beyond its caption) entries.
    static void fill(AdvancedSearchDialog *dialog, const QStringList &entries)
    {
        for (const QString &entry : entries) {
            const QString name = entry.section('=', 0, 0);
            if (!entry.contains('=')) {
                QCheckBox *check = dialog->findChild<QCheckBox *>(name);
                QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
                continue;
            }
            QLineEdit *edit = dialog->findChild<QLineEdit *>(name);
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClicks(edit, entry.section('=', 1));
        }
    }
    // Opens the dialog, fills it, presses Enter in a text box (the default button
    // searches) and waits for the dialog to close.
    bool searchAdvanced(MainWindow *window, const QStringList &entries)
    {
        AdvancedSearchDialog *dialog = openAdvanced(window);
        if (!dialog)
            return false;
        fill(dialog, entries);
        QTest::keyClick(part<QLineEdit>(dialog, "txtKeywords"), Qt::Key_Return);
        return QTest::qWaitFor([window] { return !window->advancedSearchDialog(); });
    }
};

void TestMainWindowSearch::quickSearchMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("keywords, any case, duplicates kept") << "SUN"
                                                         << QStringList {"a|png|sunset", "a|png|sunset", "holiday.2004|png|sun"};
    QTest::newRow("greater than: every file, in record order")
        << ">" << QStringList {"a|png|sunset", "song|mp3|rock", "b|jpg|beach", "notes|txt|", "a|png|sunset",
                               "holiday.2004|png|sun", "d|bmp|mountain", "My Doc|txt|work notes"};
    QTest::newRow("separators and index digits") << "/2>" << QStringList {"song|mp3|rock", "My Doc|txt|work notes"};
    QTest::newRow("placeholder in other letters is a search") << "search text" << QStringList {};
    QTest::newRow("nothing found") << "zebra" << QStringList {};
}

void TestMainWindowSearch::quickSearchMatches()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    quickSearch(window, text);
    QCOMPARE(rows(window), found);
    QCOMPARE(m_ui->shownMessages(),
             QStringList {QStringLiteral("Corvanta|Information|Ok|A total of %1 files were found.").arg(found.size())});
    QCOMPARE(searchBox(window)->text(), QStringLiteral("Search text"));
    if (!found.isEmpty())
        QCOMPARE(window->fileListModel().rowPath(0).left(m_dir->path().size()), m_dir->path());
}

void TestMainWindowSearch::quickSearchRefusals_data()
{
    QTest::addColumn<QString>("typed"); // "-" leaves the box as the window opened it
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("boxAfter");
    QTest::newRow("as opened") << "-" << false << "Search text";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("typed Search text, button") << "Search text" << false << "Search text";
    QTest::newRow("typed Search text, Enter") << "Search text" << true << "Search text";
}

void TestMainWindowSearch::quickSearchRefusals()
{
    QFETCH(QString, typed);
    QFETCH(bool, byEnter);
    QFETCH(QString, boxAfter);
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    clickCategory(window, 2);
    if (typed != "-") {
        QTest::mouseClick(searchBox(window), Qt::LeftButton);
        QTest::keyClicks(searchBox(window), typed);
    }
    if (byEnter)
        QTest::keyClick(searchBox(window), Qt::Key_Return);
    else
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdSearch")), Qt::LeftButton);
    QCOMPARE(m_ui->shownMessages(), QStringList {"Corvanta|Critical|Ok|Please enter search text."});
    QCOMPARE(rowNames(window), (QStringList {"My Doc", "song"}));
    QCOMPARE(searchBox(window)->text(), boxAfter);
}

void TestMainWindowSearch::searchBoxStartsAnEntry_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("key"); // 0 for a click
    QTest::addColumn<QString>("after");
    QTest::newRow("click") << "Search text" << 0 << "";
    QTest::newRow("key") << "Search text" << int(Qt::Key_B) << "b";
    QTest::newRow("other text, click") << "search text" << 0 << "search text";
    QTest::newRow("other text, key") << "Search text!" << int(Qt::Key_B) << "Search text!b";
}

void TestMainWindowSearch::searchBoxStartsAnEntry()
{
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(QString, after);
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    QLineEdit *box = searchBox(window);
    QCOMPARE(box->text(), QStringLiteral("Search text"));
    QVERIFY(box->placeholderText().isEmpty());
    box->setText(before);
    box->end(false);
    if (key)
        QTest::keyClick(box, Qt::Key(key));
    else
        QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(box->text(), after);
}

// A sorted list stays sorted; the details panel goes on showing the file it showed.
void TestMainWindowSearch::quickSearchKeepsSortAndDetails()
{
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    clickRow(window, int(rowNames(window).indexOf("b")));
    QLabel *name = window->detailsPanel().findChild<QLabel *>(QStringLiteral("lblDataName"));
    QCOMPARE(name->text(), QStringLiteral("b.jpg"));
    quickSearch(window, "/");
    QCOMPARE(rowNames(window), (QStringList {"a", "a", "b", "d", "holiday.2004", "My Doc", "notes", "song"}));
    QCOMPARE(name->text(), QStringLiteral("b.jpg"));
    QCOMPARE(window->detailsPanel().shownPath(), path("b.jpg"));
}

void TestMainWindowSearch::advancedDialogAsOpened()
{
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    AdvancedSearchDialog *dialog = openAdvanced(window);
    QVERIFY(dialog);
    QCOMPARE(window->fileListModel().rowCount(), 0);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Advanced Search"));
    QCOMPARE(dialog->objectName(), QStringLiteral("frmAdvancedSearch"));
    QCOMPARE(dialog->parentWidget(), window);
    QCOMPARE(QApplication::activeModalWidget(), dialog);
    // Every part top to bottom, each frame followed by what it holds; empty and clear all.
    QStringList parts;
    for (QWidget *w : dialog->findChildren<QWidget *>()) {
        if (auto *group = qobject_cast<QGroupBox *>(w))
            parts << "frame " + group->title();
        else if (auto *box = qobject_cast<QCheckBox *>(w))
            parts << ("tick " + box->objectName() + ' ' + box->text()).trimmed() + (box->isChecked() ? " ticked" : "");
        else if (auto *label = qobject_cast<QLabel *>(w); label && label->objectName().isEmpty())
            parts << "label " + label->text();
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            parts << "text " + edit->objectName() + (edit->text().isEmpty() ? "" : " filled");
        else if (auto *button = qobject_cast<QPushButton *>(w))
            parts << "button " + button->objectName() + ' ' + button->text() + (button->isDefault() ? " default" : "");
    }
    QCOMPARE(parts, (QStringList {"frame Filename", "tick optFileName", "label Filename contains:", "text txtFileName",
                                  "tick optRemoveSpaces Remove Spaces", "frame Date Modified", "tick optDateCreated",
                                  "label Between: (mm/dd/yyyy)", "text txtDateOne", "label and", "text txtDateTwo",
                                  "frame Keywords", "tick optKeywords", "label Keywords contains:", "text txtKeywords",
                                  "tick optRemovesSpaces2 Remove Spaces", "tick optRemoveSpaces3 Remove spaces in Filenames",
                                  "button cmdSearch Search default", "button cmdCancel Cancel"}));
    QTest::mouseClick(part<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
    QTRY_VERIFY(!window->advancedSearchDialog());
    QCOMPARE(window->fileListModel().rowCount(), 0);
    QVERIFY(m_ui->messages.isEmpty());
}

// Each text box ticks its box while it holds text; of the two dates, the one changed last decides.
void TestMainWindowSearch::advancedTickBoxesFollowTheirBoxes()
{
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    AdvancedSearchDialog *dialog = openAdvanced(window);
    QVERIFY(dialog);
    auto ticks = [dialog] {
        QString marks;
        for (const char *box : {"optFileName", "optDateCreated", "optKeywords"})
            marks += part<QCheckBox>(dialog, box)->isChecked() ? 'x' : '-';
        return marks;
    };
    const std::pair<QStringList, QString> steps[] = {
        {{"txtFileName=a"}, "x--"},       {{"txtKeywords=b"}, "x-x"},        {{"txtFileName="}, "--x"},
        {{"txtDateOne=1/1/2004"}, "-xx"}, {{"txtDateTwo=1/3/2004"}, "-xx"},  {{"txtDateTwo="}, "--x"},
        {{"txtDateOne=1/2/2004"}, "-xx"}, {{"optDateCreated"}, "--x"},       {{"optFileName"}, "x-x"},
    };
    for (const auto &[entries, expected] : steps) {
        fill(dialog, entries);
        QCOMPARE(ticks(), expected);
    }
    dialog->reject();
}

void TestMainWindowSearch::advancedCriteria_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("folder name finds every file there")
        << QStringList {"txtFileName=MAINWINDOW_SEARCH"}
        << QStringList {"a.png|png|sunset", "song.mp3|mp3|rock", "b.jpg|jpg|beach", "notes.txt|txt|", "a.png|png|sunset",
                        "holiday.2004.png|png|sun", "d.bmp|bmp|mountain", "My Doc.txt|txt|work notes"};
    QTest::newRow("file name, not keywords") << QStringList {"txtFileName=holiday"} << QStringList {"holiday.2004.png|png|sun"};
    QTest::newRow("keywords") << QStringList {"txtKeywords=MOUNT"} << QStringList {"d.bmp|bmp|mountain"};
    QTest::newRow("alternatives") << QStringList {"txtFileName=zzz", "txtKeywords=beach"} << QStringList {"b.jpg|jpg|beach"};
    QTest::newRow("spaces removed from the entry only") << QStringList {"txtFileName=my doc", "optRemoveSpaces"} << QStringList {};
    QTest::newRow("spaces removed in file names")
        << QStringList {"txtFileName=mydoc", "optRemoveSpaces3"} << QStringList {"My Doc.txt|txt|work notes"};
    QTest::newRow("keywords entry without spaces") << QStringList {"txtKeywords=work notes", "optRemovesSpaces2"} << QStringList {};
    QTest::newRow("keywords without spaces, shown with them")
        << QStringList {"txtKeywords=worknotes", "optRemoveSpaces3"} << QStringList {"My Doc.txt|txt|work notes"};
}

void TestMainWindowSearch::advancedCriteria()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, found);
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    QVERIFY(searchAdvanced(window, entries));
    QCOMPARE(rows(window), found);
    QCOMPARE(m_ui->shownMessages(),
             QStringList {QStringLiteral("Marlowind|Information|Ok|A total of %1 files were found.").arg(found.size())});
}

void TestMainWindowSearch::advancedDateRanges_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("the day between") << "01/01/2004" << "01/03/2004" << QStringList {"a.png", "a.png"};
    QTest::newRow("one-digit month and day") << "1/1/2004" << "1/3/2004" << QStringList {"a.png", "a.png"};
    QTest::newRow("both ends excluded") << "01/02/2004" << "01/03/2004" << QStringList {};
    QTest::newRow("same day") << "01/02/2004" << "01/02/2004" << QStringList {};
    QTest::newRow("reversed") << "01/03/2004" << "01/01/2004" << QStringList {};
    QTest::newRow("wide") << "12/31/2003" << "06/02/2005"
                          << QStringList {"a.png", "b.jpg", "a.png", "holiday.2004.png", "d.bmp"};
}

void TestMainWindowSearch::advancedDateRanges()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QStringList, found);
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    QVERIFY(searchAdvanced(window, {"txtDateOne=" + first, "txtDateTwo=" + second}));
    QCOMPARE(rowNames(window), found);
}

void TestMainWindowSearch::advancedRefusals_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("message");
    const QString dates = "Marlowind|None|Ok|Please enter both dates as month/day/year (mm/dd/yyyy), for example 01/31/2004.";
    QTest::newRow("nothing ticked") << QStringList {"txtFileName=a", "optFileName", "optRemoveSpaces3"}
                                    << "Marlowind|None|Ok|Please select a search option.";
    QTest::newRow("date box emptied last") << QStringList {"txtDateOne=1/1/2004", "txtDateTwo=1/3/2004", "txtDateTwo="}
                                           << "Marlowind|None|Ok|Please select a search option.";
    QTest::newRow("no file name") << QStringList {"optFileName", "txtKeywords=x"}
                                  << "Marlowind|None|Ok|Please enter filename search text.";
    QTest::newRow("no keywords") << QStringList {"optKeywords"} << "Marlowind|None|Ok|Please enter Keyword search text.";
    QTest::newRow("no dates") << QStringList {"optDateCreated", "txtKeywords=x"} << dates;
    QTest::newRow("one date") << QStringList {"txtDateOne=1/1/2004"} << dates;
    QTest::newRow("day first") << QStringList {"txtDateOne=31/12/2003", "txtDateTwo=1/3/2004"} << dates;
    QTest::newRow("words") << QStringList {"txtDateOne=today", "txtDateTwo=1/3/2004"} << dates;
}

void TestMainWindowSearch::advancedRefusals()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, message);
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    AdvancedSearchDialog *dialog = openAdvanced(window);
    QVERIFY(dialog);
    fill(dialog, entries);
    const QString dateOne = part<QLineEdit>(dialog, "txtDateOne")->text();
    QPushButton *search = part<QPushButton>(dialog, "cmdSearch");
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(m_ui->shownMessages(), QStringList {message});
    QCOMPARE(window->advancedSearchDialog(), dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(search->isEnabled());
    QVERIFY(!dialog->isSearching());
    QCOMPARE(part<QLineEdit>(dialog, "txtDateOne")->text(), dateOne);
    dialog->reject();
}

// One record a turn: every turn shows how far it got, Search stays disabled, and at
// the end the count is told and the dialog closes with the rows left in the list.
void TestMainWindowSearch::advancedSearchYieldsAndShowsProgress()
{
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    AdvancedSearchDialog *dialog = openAdvanced(window);
    QVERIFY(dialog);
    dialog->setRecordsPerTurn(1);
    QStringList turns;
    connect(dialog, &AdvancedSearchDialog::progressed, this, [&](int searched, int total) {
        turns << QStringLiteral("%1/%2 %3 %4 %5")
                     .arg(searched)
                     .arg(total)
                     .arg(part<QLabel>(dialog, "lblProgress")->text())
                     .arg(part<QPushButton>(dialog, "cmdSearch")->isEnabled() ? "enabled" : "disabled")
                     .arg(window->fileListModel().rowCount());
    });
    fill(dialog, {"txtFileName=.png"});
    QTest::mouseClick(part<QPushButton>(dialog, "cmdSearch"), Qt::LeftButton);
    QVERIFY(dialog->isSearching());
    QTRY_VERIFY(!window->advancedSearchDialog());
    QCOMPARE(turns, (QStringList {"1/8 Searched 1 of 8 records disabled 1", "2/8 Searched 2 of 8 records disabled 1",
                                  "3/8 Searched 3 of 8 records disabled 1", "4/8 Searched 4 of 8 records disabled 1",
                                  "5/8 Searched 5 of 8 records disabled 2", "6/8 Searched 6 of 8 records disabled 2",
                                  "7/8 Searched 7 of 8 records disabled 2", "8/8 Searched 8 of 8 records disabled 3"}));
    QCOMPARE(rowNames(window), (QStringList {"a.png", "a.png", "holiday.2004.png"}));
    QCOMPARE(m_ui->shownMessages(), QStringList {"Marlowind|Information|Ok|A total of 3 files were found."});
}

void TestMainWindowSearch::cancelDuringSearchStopsClearsAndCloses()
{
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    AdvancedSearchDialog *dialog = openAdvanced(window);
    QVERIFY(dialog);
    dialog->setRecordsPerTurn(1);
    int turns = 0;
    connect(dialog, &AdvancedSearchDialog::progressed, this, [&turns] { ++turns; });
    fill(dialog, {"txtFileName=MAINWINDOW_SEARCH"});
    QTest::mouseClick(part<QPushButton>(dialog, "cmdSearch"), Qt::LeftButton);
    QTRY_VERIFY(window->fileListModel().rowCount() > 0);
    QVERIFY(dialog->isSearching());
    const int turnsBeforeCancel = turns;
    QTest::mouseClick(part<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
    QCOMPARE(window->fileListModel().rowCount(), 0);
    QTRY_VERIFY(!window->advancedSearchDialog());
    QTest::qWait(50);
    QCOMPARE(turns, turnsBeforeCancel);
    QCOMPARE(window->fileListModel().rowCount(), 0);
    QVERIFY(m_ui->messages.isEmpty());
}

void TestMainWindowSearch::countsPastSixteenBits_data()
{
    QTest::addColumn<bool>("advanced");
    QTest::newRow("quick search") << false;
    QTest::newRow("advanced search") << true;
}

void TestMainWindowSearch::countsPastSixteenBits()
{
    QFETCH(bool, advanced);
    MainWindow *window = makeWindow(QString());
    QVERIFY(window);
    const QString file = TestFiles::createFile(path(QStringLiteral("many.jpg")), "x");
    for (int i = 0; i < 40000; ++i)
        window->catalog().records().append(MakeFileRecord(file, 1, QStringLiteral("crowd")));
    if (advanced) {
        AdvancedSearchDialog *dialog = openAdvanced(window);
        QVERIFY(dialog);
        fill(dialog, {"txtKeywords=crowd"});
        QTest::mouseClick(part<QPushButton>(dialog, "cmdSearch"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window->advancedSearchDialog(), 30000);
    } else {
        quickSearch(window, "CROWD");
    }
    QCOMPARE(window->fileListModel().rowCount(), 40000);
    QCOMPARE(m_ui->messageTexts(), QStringList {"A total of 40000 files were found."});
}

QTEST_MAIN(TestMainWindowSearch)
#include "tst_mainwindow_search.moc"
