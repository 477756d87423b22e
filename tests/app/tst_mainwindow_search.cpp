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

    void quickSearchFindsOrRefuses_data();
    void quickSearchFindsOrRefuses();
    void searchBoxStartsAnEntry_data();
    void searchBoxStartsAnEntry();
    void quickSearchKeepsSortAndDetails();
    void quickSearchIntoAListSortedByDate();
    void advancedDialogAsOpened();
    void advancedTickBoxesFollowTheirBoxes();
    void advancedSearch_data();
    void advancedSearch();
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
};

void TestMainWindowSearch::quickSearchFindsOrRefuses_data()
{
    QTest::addColumn<QString>("typed"); // "-" leaves the box as the window opened it
    QTest::addColumn<bool>("byEnter"); // or by the Search button
    QTest::addColumn<bool>("refused"); // then Music, listed before, stays listed
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QString>("boxAfter");
    const QStringList music{"My Doc|txt|work notes", "song|mp3|rock"};
    QTest::newRow("keywords, any case, duplicates kept")
        << "SUN" << true << false << QStringList{"a|png|sunset", "a|png|sunset", "holiday.2004|png|sun"}
        << "Search text";
    QTest::newRow("greater than: every file, in record order")
        << ">" << false << false
        << QStringList{"a|png|sunset", "song|mp3|rock", "b|jpg|beach", "notes|txt|", "a|png|sunset",
                       "holiday.2004|png|sun", "d|bmp|mountain", "My Doc|txt|work notes"}
        << "Search text";
    QTest::newRow("placeholder in other letters is a search") << "search text" << true << false << QStringList{}
                                                              << "Search text";
    QTest::newRow("refused: as opened") << "-" << false << true << music << "Search text";
    QTest::newRow("refused: empty") << "" << true << true << music << "";
    QTest::newRow("refused: Search text typed") << "Search text" << true << true << music << "Search text";
}

void TestMainWindowSearch::quickSearchFindsOrRefuses()
{
    QFETCH(QString, typed);
    QFETCH(bool, byEnter);
    QFETCH(bool, refused);
    QFETCH(QStringList, found);
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    if (refused)
        clickCategory(window, 2); // listing a category would sort the results
    if (typed != "-") {
        QTest::mouseClick(searchBox(window), Qt::LeftButton);
        QTest::keyClicks(searchBox(window), typed);
    }
    if (byEnter)
        QTest::keyClick(searchBox(window), Qt::Key_Return);
    else
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdSearch")), Qt::LeftButton);
    QCOMPARE(rows(window), found);
    const QString total = QStringLiteral("Corvanta|Information|Ok|A total of %1 files were found.").arg(found.size());
    QCOMPARE(m_ui->shownMessages(), QStringList{refused ? "Corvanta|Critical|Ok|Please enter search text." : total});
    QTEST(searchBox(window)->text(), "boxAfter");
    QVERIFY(found.isEmpty() || window->fileListModel().rowPath(0).startsWith(m_dir->path()));
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

// The found files' times are read on a worker, then the list shows them by date.
void TestMainWindowSearch::quickSearchIntoAListSortedByDate()
{
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    window->fileListModel().sort(LastModifiedColumn);
    quickSearch(window, "/");
    // The pictures by the days set on them; the other files were made just now.
    QTRY_COMPARE(rowNames(window).size(), 8);
    const QStringList names = rowNames(window);
    QCOMPARE(names.mid(0, 5), (QStringList {"b", "a", "a", "holiday.2004", "d"}));
    QCOMPARE(QSet<QString>(names.begin() + 5, names.end()), (QSet<QString> {"song", "notes", "My Doc"}));
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

// Entries as fill() takes them; a refused search leaves the dialog open as filled.
void TestMainWindowSearch::advancedSearch_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("refusal"); // empty: the search runs and says how many it found
    QTest::addColumn<QStringList>("found");
    const QString dates = "Marlowind|None|Ok|Please enter both dates as month/day/year (mm/dd/yyyy), for example 01/31/2004.";
    const QString noOption = "Marlowind|None|Ok|Please select a search option.";
    QTest::newRow("folder name finds every file there")
        << QStringList {"txtFileName=MAINWINDOW_SEARCH"} << QString()
        << QStringList {"a.png|png|sunset", "song.mp3|mp3|rock", "b.jpg|jpg|beach", "notes.txt|txt|", "a.png|png|sunset",
                        "holiday.2004.png|png|sun", "d.bmp|bmp|mountain", "My Doc.txt|txt|work notes"};
    QTest::newRow("file name, not keywords") << QStringList {"txtFileName=holiday"} << QString()
                                             << QStringList {"holiday.2004.png|png|sun"};
    QTest::newRow("keywords") << QStringList {"txtKeywords=MOUNT"} << QString() << QStringList {"d.bmp|bmp|mountain"};
    QTest::newRow("alternatives") << QStringList {"txtFileName=zzz", "txtKeywords=beach"} << QString()
                                  << QStringList {"b.jpg|jpg|beach"};
    QTest::newRow("spaces removed from the entry only") << QStringList {"txtFileName=my doc", "optRemoveSpaces"}
                                                        << QString() << QStringList {};
    QTest::newRow("spaces removed in file names") << QStringList {"txtFileName=mydoc", "optRemoveSpaces3"} << QString()
                                                  << QStringList {"My Doc.txt|txt|work notes"};
    QTest::newRow("keywords entry without spaces") << QStringList {"txtKeywords=work notes", "optRemovesSpaces2"}
                                                   << QString() << QStringList {};
    QTest::newRow("keywords without spaces, shown with them")
        << QStringList {"txtKeywords=worknotes", "optRemoveSpaces3"} << QString()
        << QStringList {"My Doc.txt|txt|work notes"};
    QTest::newRow("dates: the day between, one or two digits")
        << QStringList {"txtDateOne=1/1/2004", "txtDateTwo=01/03/2004"} << QString()
        << QStringList {"a.png|png|sunset", "a.png|png|sunset"};
    QTest::newRow("dates: both ends excluded") << QStringList {"txtDateOne=01/02/2004", "txtDateTwo=01/03/2004"}
                                               << QString() << QStringList {};
    QTest::newRow("dates: reversed") << QStringList {"txtDateOne=01/03/2004", "txtDateTwo=01/01/2004"} << QString()
                                     << QStringList {};
    QTest::newRow("dates: wide")
        << QStringList {"txtDateOne=12/31/2003", "txtDateTwo=06/02/2005"} << QString()
        << QStringList {"a.png|png|sunset", "b.jpg|jpg|beach", "a.png|png|sunset", "holiday.2004.png|png|sun",
                        "d.bmp|bmp|mountain"};
    QTest::newRow("refused: nothing ticked") << QStringList {"txtFileName=a", "optFileName", "optRemoveSpaces3"}
                                             << noOption << QStringList {};
    QTest::newRow("refused: date box emptied last")
        << QStringList {"txtDateOne=1/1/2004", "txtDateTwo=1/3/2004", "txtDateTwo="} << noOption << QStringList {};
    QTest::newRow("refused: no file name") << QStringList {"optFileName", "txtKeywords=x"}
                                           << "Marlowind|None|Ok|Please enter filename search text." << QStringList {};
    QTest::newRow("refused: no keywords") << QStringList {"optKeywords"}
                                          << "Marlowind|None|Ok|Please enter Keyword search text." << QStringList {};
    QTest::newRow("refused: no dates") << QStringList {"optDateCreated", "txtKeywords=x"} << dates << QStringList {};
    QTest::newRow("refused: one date") << QStringList {"txtDateOne=1/1/2004"} << dates << QStringList {};
    QTest::newRow("refused: day first") << QStringList {"txtDateOne=31/12/2003", "txtDateTwo=1/3/2004"} << dates
                                        << QStringList {};
    QTest::newRow("refused: words") << QStringList {"txtDateOne=today", "txtDateTwo=1/3/2004"} << dates
                                    << QStringList {};
}

void TestMainWindowSearch::advancedSearch()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, refusal);
    QFETCH(QStringList, found);
    MainWindow *window = makeSearchWindow();
    QVERIFY(window);
    AdvancedSearchDialog *dialog = openAdvanced(window);
    QVERIFY(dialog);
    fill(dialog, entries);
    const QString dateOne = part<QLineEdit>(dialog, "txtDateOne")->text();
    QTest::keyClick(part<QLineEdit>(dialog, "txtKeywords"), Qt::Key_Return); // the default button searches
    if (refusal.isEmpty()) {
        QTRY_VERIFY(!window->advancedSearchDialog());
    } else {
        QCOMPARE(window->advancedSearchDialog(), dialog);
        QVERIFY(dialog->isVisible() && !dialog->isSearching());
        QVERIFY(part<QPushButton>(dialog, "cmdSearch")->isEnabled());
        QCOMPARE(part<QLineEdit>(dialog, "txtDateOne")->text(), dateOne);
        dialog->reject();
    }
    QCOMPARE(rows(window), found);
    const QString total = QStringLiteral("Marlowind|Information|Ok|A total of %1 files were found.").arg(found.size());
    QCOMPARE(m_ui->shownMessages(), QStringList {refusal.isEmpty() ? total : refusal});
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
