#include "BrowseTestSupport.h"
#include "Catalog.h"
#include "CategoryTreeView.h"
#include "CreatedText.h"
#include "DetailsPanel.h"
#include "DisplayText.h"
#include "FileListView.h"
#include "FileRecord.h"
#include "PreviewBox.h"
#include "PreviewFit.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The file list: its model, icon cache and drag data, its view, and the details
// panel that shows the current row.
class TestFileList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void listing_data();
    void listing();
    void listingInSteps_data();
    void listingInSteps();
    void bigListingSortsStably();
    void newListingAbandonsTheOld();
    void editsWhileListingStay();
    void newListingStartsAtTheTop();
    void rowParts_data();
    void rowParts();
    void rowNaming_data();
    void rowNaming();
    void sortingAndInsertingAgreeBeyondAscii();
    void listingSortsByTheSortColumn_data();
    void listingSortsByTheSortColumn();
    void headerClickReordersListedRows();
    void detailsAreReadOnceAndNotByListing();
    void backgroundFillReachesEveryRow();
    void appendedRowsTakeTheirPlace();
    void appendUnderDateSortGoesByTime();
    void rowsDatedOnAWorkerComeInOrderUnlessCleared();
    void dragCarriesFileUrlsInRowOrder();
    void iconCache_data();
    void iconCache();
    void iconThemeFallback();

    void shortenLabel_data();
    void shortenLabel();
    void generalDate_data();
    void generalDate();
    void previewFit_data();
    void previewFit();
    void preview_data();
    void preview();
    void fillLabels();

    void rightClick_data();
    void rightClick();
    void inputBecomesRequests();
    void headerClicksSortAscending();

private:
    QString file(const QString &name, const QDateTime &modified = QDateTime(QDate(2004, 1, 1), QTime(9, 30)))
    {
        return BrowseTest::createFileModified(m_dir->filePath(name), modified);
    }
    void addRecord(const QString &path, int category, const QString &keywords = QString())
    {
        m_catalog->records().append(MakeFileRecord(path, category, keywords));
    }
    void append(const QString &path) { model().appendRow(path, QString()); }
    QString addFruit();
    void list(int category) { m_list->list(*m_catalog, category); }
    FileListModel &model() { return m_list->model; }
    QVariant cell(int row, int column, int role = Qt::DisplayRole) { return model().index(row, column).data(role); }
    QStringList names() const { return m_list->column(NameColumn); }
    QString label(const char *name) const
    {
        const auto *found = m_panel->findChild<QLabel *>(QString::fromLatin1(name));
        return found ? found->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
    }
    QString picture(const QString &name, const QSize &size);
    QString turnedJpeg(const QString &name, const QSize &stored);
    QString twoColourPng(const QString &name, const QSize &size);
    // Shows the file list with rows for files that are not there.
    FileListView *showList(const QStringList &names);
    QPoint rowCentre(int row) { return m_view->visualRect(model().index(row, 0)).center(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<BrowseTest::FileList> m_list;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<DetailsPanel> m_panel;
    std::unique_ptr<FileListView> m_view;
};

namespace {

const char *const kValueLabels[] = {"lblDataName",    "lblDataPath",         "lblDataSize",        "lblDataType",
                                    "lblDataCreated", "lblDataLastModified", "lblDataLastAccessed"};

} // namespace

void TestFileList::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // dates in fixed formats
}

void TestFileList::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_catalog = std::make_unique<Catalog>();
    m_catalog->resetToEmpty();
    QCOMPARE(m_catalog->records().at(0), kSentinelRecord);
    m_list = std::make_unique<BrowseTest::FileList>();
    m_tester = std::make_unique<QAbstractItemModelTester>(&model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_panel = std::make_unique<DetailsPanel>(m_list->types);
}

void TestFileList::cleanup()
{
    m_view.reset();
    m_panel.reset();
    m_tester.reset();
    m_list.reset();
}

void TestFileList::listing_data()
{
    QTest::addColumn<QStringList>("records"); // behind the sentinel
    QTest::addColumn<int>("category");
    QTest::addColumn<QStringList>("rows"); // path>keywords
    const QStringList two{"/p/b.jpg/1>sea", "/m/song.mp3/2>", "/p/a.jpg/1>"};
    const QStringList broken{"/p/a.jpg/1>", "/p/broken.jpg"};
    QTest::newRow("only the category's records, sorted by name") << two << 1 << QStringList{"/p/a.jpg>", "/p/b.jpg>sea"};
    QTest::newRow("the sentinel's own index lists nothing") << two << 30000 << QStringList{};
    QTest::newRow("duplicates removed keeping the last; letter case counts")
        << QStringList{"/p/a.jpg/1>first", "/p/b.jpg/1>", "/p/a.jpg/1>second", "/p/A.jpg/1>other case"} << 1
        << QStringList{"/p/a.jpg>second", "/p/A.jpg>other case", "/p/b.jpg>"};
    QTest::newRow("a record without an index belongs to no category") << broken << 1 << QStringList{"/p/a.jpg>"};
    QTest::newRow("index 0 lists nothing") << broken << 0 << QStringList{};
}

void TestFileList::listing()
{
    QFETCH(QStringList, records);
    QFETCH(int, category);
    for (const QString &record : records)
        m_catalog->records().append(record);
    list(category);
    QStringList rows;
    for (int row = 0; row < model().rowCount(); ++row)
        rows.append(model().rowPath(row) + QLatin1Char('>') + model().rowKeywords(row));
    QTEST(rows, "rows");
}

void TestFileList::listingInSteps_data()
{
    QTest::addColumn<QStringList>("records"); // behind the sentinel, all of category 1
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<QStringList>("rows"); // path>keywords
    QTest::newRow("duplicates in later steps, keeping the last")
        << QStringList{"/p/a.jpg/1>first", "/p/b.jpg/1>", "/p/a.jpg/1>second", "/p/A.jpg/1>other case"}
        << int(NameColumn) << QStringList{"/p/a.jpg>second", "/p/A.jpg>other case", "/p/b.jpg>"};
    QTest::newRow("the duplicate that sorts last stays, though listed first")
        << QStringList{"/p/a.jpg/1>zz", "/p/b.jpg/1>mm", "/p/a.jpg/1>aa"} << int(KeywordsColumn)
        << QStringList{"/p/b.jpg>mm", "/p/a.jpg>zz"};
    QTest::newRow("equal names keep record order")
        << QStringList{"/q/x.jpg/1>1", "/p/x.jpg/1>2", "/r/w.jpg/1>", "/q/x.jpg/1>3"} << int(NameColumn)
        << QStringList{"/r/w.jpg>", "/p/x.jpg>2", "/q/x.jpg>3"};
}

// Big lists are sorted in parts at once: rows with equal names still keep the
// records' order, across the parts.
void TestFileList::bigListingSortsStably()
{
    const QStringList names{QStringLiteral("b.jpg"), QStringLiteral("A.jpg"), QStringLiteral("a.JPG")};
    QStringList expectedA;
    QStringList expectedB;
    for (int i = 0; i < 30000; ++i) {
        const QString path = QStringLiteral("/d%1/").arg(i) + names[i % 3];
        m_catalog->records().append(path + QStringLiteral("/1>"));
        (i % 3 == 0 ? expectedB : expectedA).append(path);
    }
    model().sort(NameColumn);
    model().ShowCategoryFiles(*m_catalog, 1);
    QTRY_VERIFY(!model().isListing());
    QStringList rows;
    for (int row = 0; row < model().rowCount(); ++row)
        rows.append(model().rowPath(row));
    QCOMPARE(rows, expectedA + expectedB);
}

// One record listed at once, the rest built on the worker and handed over.
void TestFileList::listingInSteps()
{
    QFETCH(QStringList, records);
    QFETCH(int, sortColumn);
    for (const QString &record : records)
        m_catalog->records().append(record);
    model().sort(sortColumn);
    model().setListingSteps(1);
    QSignalSpy finished(&model(), &FileListModel::listingFinished);
    model().ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(model().rowCount(), 1);
    QVERIFY(model().isListing());
    QTRY_VERIFY(!model().isListing());
    QCOMPARE(finished.count(), 1);
    QStringList rows;
    for (int row = 0; row < model().rowCount(); ++row)
        rows.append(model().rowPath(row) + QLatin1Char('>') + model().rowKeywords(row));
    QTEST(rows, "rows");
}

void TestFileList::newListingAbandonsTheOld()
{
    for (const char *record : {"/p/a.jpg/1>", "/p/b.jpg/1>", "/p/c.jpg/1>", "/m/x.mp3/2>", "/m/y.mp3/2>"})
        m_catalog->records().append(QString::fromLatin1(record));
    model().setListingSteps(1);
    QSignalSpy finished(&model(), &FileListModel::listingFinished);
    model().ShowCategoryFiles(*m_catalog, 1);
    model().clear();
    QVERIFY(!model().isListing());
    model().ShowCategoryFiles(*m_catalog, 1);
    model().ShowCategoryFiles(*m_catalog, 2);
    QTRY_COMPARE(finished.count(), 1);
    QCoreApplication::processEvents(); // no step of an abandoned listing is left to run
    QCOMPARE(finished.count(), 1);
    QCOMPARE(names(), (QStringList{"x", "y"}));
}

// A row removed or added while the rest is built stays removed or added, as after a
// listing that had finished first.
void TestFileList::editsWhileListingStay()
{
    for (const char *record : {"/p/a.jpg/1>", "/p/c.jpg/1>", "/p/b.jpg/1>", "/p/d.jpg/1>"})
        m_catalog->records().append(QString::fromLatin1(record));
    model().setListingSteps(2);
    model().ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(names(), (QStringList{"a", "c"}));
    model().removeRowsAt({0});
    append(QStringLiteral("/p/bb.jpg"));
    QTRY_VERIFY(!model().isListing());
    QCOMPARE(names(), (QStringList{"b", "bb", "c", "d"}));
}

// A listing handed over in steps keeps the view where the first rows put it: that
// must be the top, not where the list before was scrolled to.
void TestFileList::newListingStartsAtTheTop()
{
    for (int i = 0; i < 3000; ++i)
        addRecord(QStringLiteral("/p/%1.jpg").arg(i, 4, 10, QLatin1Char('0')), 1 + i % 2);
    FileListView *view = showList({});
    QVERIFY(view);
    model().setListingSteps(200);
    list(1);
    QTRY_VERIFY(!model().isListing());
    view->scrollToBottom();
    QVERIFY(view->verticalScrollBar()->value() > 0);
    list(2);
    QTRY_VERIFY(!model().isListing());
    QCOMPARE(view->verticalScrollBar()->value(), 0);
    QCOMPARE(view->indexAt(QPoint(5, 5)).row(), 0);
}

void TestFileList::rowParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::newRow("name keeps case, extension lowered") << "/p/Beach.JPG" << "Beach" << "jpg";
    QTest::newRow("dots in the name") << "/p/holiday.2004.jpg" << "holiday.2004" << "jpg";
    QTest::newRow("no dot") << "/p/README" << "README" << "";
    QTest::newRow("dot only in a folder") << "/my.photos/README" << "README" << "";
    QTest::newRow("ends in a dot") << "/p/draft." << "draft" << "";
    QTest::newRow("hidden file") << "/p/.profile" << "" << "profile";
    QTest::newRow("backslash is part of a Linux name") << "/p/a\\b.png" << "a\\b" << "png";
    QTest::newRow("beyond ASCII") << u"/p/Été.ÉTÉ"_qs << u"Été"_qs << u"été"_qs;
    QTest::newRow("a leading U+FEFF is part of the name") << u"/p/\uFEFFa.jpg"_qs << u"\uFEFFa"_qs << "jpg";
}

void TestFileList::rowParts()
{
    QFETCH(QString, path);
    addRecord(path, 1, QStringLiteral("kw"));
    list(1);
    QCOMPARE(model().rowCount(), 1);
    QTEST(cell(0, NameColumn).toString(), "name");
    QTEST(cell(0, ExtensionColumn).toString(), "extension");
    QCOMPARE(cell(0, KeywordsColumn).toString(), QStringLiteral("kw"));
    QCOMPARE(cell(0, 0, FileListModel::PathRole).toString(), path);
}

// Searches and scans name their rows each their own way; path and extension stay.
void TestFileList::rowNaming_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("naming");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::newRow("quick search: without the extension")
        << "/p/Beach.JPG" << int(RowNaming::WithoutExtension) << "Beach" << "jpg";
    QTest::newRow("advanced search: the whole name") << "/p/Beach.JPG" << int(RowNaming::WholeName) << "Beach.JPG" << "jpg";
    QTest::newRow("scan: lower case") << u"/p/ÉTÉ.Jpg"_qs << int(RowNaming::LowerCaseWithoutExtension) << u"été"_qs << "jpg";
    QTest::newRow("whole name without a dot") << "/p/README" << int(RowNaming::WholeName) << "README" << "";
}

void TestFileList::rowNaming()
{
    QFETCH(QString, path);
    QFETCH(int, naming);
    model().appendRow(path, QStringLiteral("kw"), RowNaming(naming));
    QTEST(cell(0, NameColumn).toString(), "name");
    QTEST(cell(0, ExtensionColumn).toString(), "extension");
    QCOMPARE(cell(0, 0, FileListModel::PathRole).toString(), path);
    QCOMPARE(cell(0, KeywordsColumn).toString(), QStringLiteral("kw"));
}

// Plain ASCII names are compared from their bytes, others through their text: a
// listing's sort and a row inserted into the sorted list must agree on both.
void TestFileList::sortingAndInsertingAgreeBeyondAscii()
{
    const QStringList expected{u"emma"_qs, u"Zoe"_qs, u"zoë"_qs, u"ZOË"_qs, u"Émile"_qs, u"ÿ"_qs};
    for (const QString &name : {u"ÿ"_qs, u"zoë"_qs, u"Émile"_qs, u"ZOË"_qs, u"Zoe"_qs, u"emma"_qs})
        addRecord(QStringLiteral("/p/") + name + QStringLiteral(".jpg"), 1);
    model().sort(NameColumn);
    list(1);
    QCOMPARE(names(), expected);
    model().clear();
    for (const QString &name : {u"ÿ"_qs, u"zoë"_qs, u"Émile"_qs, u"ZOË"_qs, u"Zoe"_qs, u"emma"_qs})
        append(QStringLiteral("/q/") + name + QStringLiteral(".jpg"));
    QCOMPARE(names(), expected);
}

// Three files whose names, extensions, keywords and times each sort differently.
// By time they sort one way, as text another ("1/10/2004" comes before "1/2/2004").
QString TestFileList::addFruit()
{
    addRecord(file(QStringLiteral("cherry.avi"), QDateTime(QDate(2004, 1, 10), QTime(10, 0))), 1, QStringLiteral("Alpha"));
    const QString apple = file(QStringLiteral("apple.png"), QDateTime(QDate(2004, 1, 2), QTime(10, 0)));
    addRecord(apple, 1, QStringLiteral("beta"));
    addRecord(file(QStringLiteral("Banana.AVI"), QDateTime(QDate(2004, 1, 1), QTime(23, 0))), 1, QStringLiteral("Gamma"));
    return apple;
}

// Descending requests and "Type" are left to the header click below.
void TestFileList::listingSortsByTheSortColumn_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("Name, letter case ignored") << int(NameColumn) << QStringList{"apple", "Banana", "cherry"};
    QTest::newRow("Extension, ties in record order") << int(ExtensionColumn) << QStringList{"cherry", "Banana", "apple"};
    QTest::newRow("Keywords, letter case ignored") << int(KeywordsColumn) << QStringList{"cherry", "apple", "Banana"};
    QTest::newRow("Last Modified by time, not as text") << int(LastModifiedColumn)
                                                        << QStringList{"Banana", "apple", "cherry"};
}

void TestFileList::listingSortsByTheSortColumn()
{
    QFETCH(int, column);
    addFruit();
    model().sort(column);
    list(1);
    QTEST(names(), "names");
    QCOMPARE(model().sortColumn(), column);
}

void TestFileList::headerClickReordersListedRows()
{
    QStringList captions;
    for (int section = 0; section < model().columnCount(); ++section)
        captions.append(model().headerData(section, Qt::Horizontal).toString());
    QCOMPARE(captions, (QStringList{"Name", "Extension", "Type", "Last Modified", "Keywords"}));

    const QString apple = addFruit();
    QVERIFY(!model().isSorted());
    list(1); // sorted by name from now on
    QVERIFY(model().isSorted());
    const QStringList byName{"apple", "Banana", "cherry"};
    QCOMPARE(names(), byName);
    const QPersistentModelIndex kept = model().index(0, KeywordsColumn);
    QSignalSpy sorting(&model(), &FileListModel::sortingChanged);
    model().sort(LastModifiedColumn); // "Type" and descending requests: headerClicksSortAscending
    const QStringList byTime{"Banana", "apple", "cherry"};
    QCOMPARE(names(), byTime);
    QCOMPARE(sorting.size(), 1);
    QCOMPARE(kept.row(), 1);
    QCOMPARE(kept.column(), int(KeywordsColumn));
    QCOMPARE(kept.data(FileListModel::PathRole).toString(), apple);
    QCOMPARE(cell(2, LastModifiedColumn).toString(), QStringLiteral("1/10/04 10:00 AM"));

    // Clear List empties the list; the sort state and the records stay for the next listing.
    QSignalSpy reset(&model(), &QAbstractItemModel::modelReset);
    model().clear();
    QCOMPARE(model().rowCount(), 0);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(m_catalog->records().size(), 4);
    list(1);
    QCOMPARE(names(), byTime);
    QCOMPARE(model().sortColumn(), int(LastModifiedColumn));
}

void TestFileList::detailsAreReadOnceAndNotByListing()
{
    const QDateTime modified(QDate(2004, 5, 6), QTime(7, 8, 9));
    for (const char *name : {"a.jpg", "b.JPG", "c.txt", "d.exe", "e.exe"})
        addRecord(file(QString::fromLatin1(name), modified), 1);
    const QString gone = m_dir->filePath(QStringLiteral("bb.jpg")); // never created, listed between b and c
    addRecord(gone, 1, QStringLiteral("kw"));
    m_tester.reset(); // the tester reads every cell
    list(1);
    QCOMPARE(m_list->source.calls, 0);
    QCOMPARE(model().rowAt(0)->details, FileListRow::Details::NotRead);
    QVERIFY(!model().allDetailsFilled());

    // The unreadable row shows what its record says, and nothing of another file.
    QStringList texts;
    for (int column = 0; column < FileListColumnCount; ++column)
        texts.append(cell(2, column).toString());
    QCOMPARE(texts, (QStringList{"bb", "jpg", "", "", "kw"}));
    QVERIFY(!cell(2, NameColumn, Qt::DecorationRole).isValid());
    QVERIFY(!cell(2, 0, FileListModel::ModifiedRole).toDateTime().isValid());

    model().fillAllDetails();
    QVERIFY(model().allDetailsFilled());
    QCOMPARE(m_list->source.calls, 4); // jpg and JPG share an icon, each program has its own
    QCOMPARE(m_list->icons.count(), 4);
    QVERIFY(!m_list->source.paths.contains(gone));
    QCOMPARE(cell(0, TypeColumn).toString(), QStringLiteral("JPEG image"));
    QCOMPARE(cell(3, TypeColumn).toString(), QStringLiteral("plain text document"));
    QCOMPARE(cell(1, 0, FileListModel::ModifiedRole).toDateTime(), modified);
    QCOMPARE(cell(1, LastModifiedColumn).toString(), QStringLiteral("5/6/04 7:08 AM"));
    QCOMPARE(cell(0, 0, Qt::DecorationRole).value<QIcon>().cacheKey(), cell(1, 0, Qt::DecorationRole).value<QIcon>().cacheKey());
    QVERIFY(cell(3, NameColumn, Qt::DecorationRole).isValid());
    QVERIFY(model().rowAt(4)->iconIndex != model().rowAt(5)->iconIndex);
    model().fillAllDetails();
    QCOMPARE(m_list->source.calls, 4); // a row keeps what it read
}

void TestFileList::backgroundFillReachesEveryRow()
{
    for (int i = 0; i < 50; ++i)
        addRecord(file(QStringLiteral("f%1.png").arg(i)), 1);
    m_tester.reset();
    model().setBackgroundFillEnabled(true);
    QSignalSpy filled(&model(), &FileListModel::detailsFilled);
    list(1);
    QVERIFY(!model().allDetailsFilled());
    QVERIFY(filled.wait(5000));
    QVERIFY(model().allDetailsFilled());
    QCOMPARE(m_list->source.calls, 1);
}

void TestFileList::appendedRowsTakeTheirPlace()
{
    append(QStringLiteral("/p/b.jpg")); // before any listing, rows go to the end
    append(QStringLiteral("/p/a.jpg"));
    QCOMPARE(names(), (QStringList{"b", "a"}));

    addRecord(QStringLiteral("/p/b.jpg"), 1);
    addRecord(QStringLiteral("/p/d.jpg"), 1);
    list(1);
    QSignalSpy inserted(&model(), &QAbstractItemModel::rowsInserted);
    append(QStringLiteral("/q/C.png"));
    QCOMPARE(names(), (QStringList{"b", "C", "d"}));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 1);

    FileListRows rows;
    for (const char *path : {"/q/e.jpg", "/q/a.jpg", "/q/b.jpg", "/p/d.jpg"})
        rows.add(QString::fromLatin1(path), QStringLiteral("new"), RowNaming::WithoutExtension);
    model().appendRows(std::move(rows));
    // Duplicates stay: only a listing removes them. A listed row stays before an equal new one.
    QCOMPARE(names(), (QStringList{"a", "b", "b", "C", "d", "d", "e"}));
    QCOMPARE(model().rowPath(1), QStringLiteral("/p/b.jpg"));
}

void TestFileList::appendUnderDateSortGoesByTime()
{
    addRecord(file(QStringLiteral("old.jpg"), QDateTime(QDate(2001, 1, 1), QTime(12, 0))), 1);
    addRecord(file(QStringLiteral("new.jpg"), QDateTime(QDate(2009, 1, 1), QTime(12, 0))), 1);
    model().sort(LastModifiedColumn);
    list(1);
    append(file(QStringLiteral("mid.jpg"), QDateTime(QDate(2005, 1, 1), QTime(12, 0))));
    append(m_dir->filePath(QStringLiteral("gone.jpg"))); // no date: before every dated row
    QCOMPARE(names(), (QStringList{"gone", "old", "mid", "new"}));
}

void TestFileList::rowsDatedOnAWorkerComeInOrderUnlessCleared()
{
    const auto fruitRows = [this] {
        FileListRows rows;
        rows.add(file(QStringLiteral("cherry.avi"), QDateTime(QDate(2004, 1, 10), QTime(10, 0))), {}, RowNaming::WithoutExtension);
        rows.add(file(QStringLiteral("apple.png"), QDateTime(QDate(2004, 1, 2), QTime(10, 0))), {}, RowNaming::WithoutExtension);
        rows.add(file(QStringLiteral("Banana.AVI"), QDateTime(QDate(2004, 1, 1), QTime(23, 0))), {}, RowNaming::WithoutExtension);
        return rows;
    };
    model().sort(LastModifiedColumn);
    model().appendRowsOnceDated(fruitRows());
    QVERIFY(model().isDatingRows());
    QTRY_VERIFY(!model().isDatingRows());
    QCOMPARE(names(), (QStringList{"Banana", "apple", "cherry"}));

    model().clear();
    model().appendRowsOnceDated(fruitRows());
    model().clear();
    QVERIFY(!model().isDatingRows());
    QTest::qWait(100);
    QCOMPARE(model().rowCount(), 0);
}

void TestFileList::dragCarriesFileUrlsInRowOrder()
{
    const QString odd = m_dir->filePath(QStringLiteral("my photo #1 100%.png"));
    const QString last = m_dir->filePath(QStringLiteral("c.jpg"));
    for (const QString &path : {m_dir->filePath(QStringLiteral("a.jpg")), odd, last})
        append(path);
    QVERIFY(model().flags(model().index(1, KeywordsColumn)).testFlag(Qt::ItemIsDragEnabled));
    // Cells of two rows, handed over out of order and more than once per row.
    const std::unique_ptr<QMimeData> data(model().mimeData({model().index(2, KeywordsColumn), model().index(1, NameColumn),
                                                            model().index(2, NameColumn), model().index(1, TypeColumn)}));
    QCOMPARE(data->urls(), (QList<QUrl>{QUrl::fromLocalFile(odd), QUrl::fromLocalFile(last)}));
    QCOMPARE(CategoryTreeView::droppedPaths(data.get()), (QStringList{odd, last}));
    QVERIFY(model().mimeTypes().contains(QStringLiteral("text/uri-list")));
    QCOMPARE(model().supportedDragActions(), Qt::DropActions(Qt::CopyAction));
}

void TestFileList::iconCache_data()
{
    // Files named "gone..." are never created; -1 is no position.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QStringList>("tags"); // one per entry, each made once
    QTest::newRow("an extension shares one entry whatever its case")
        << QStringList{"photo.JPG", "other.jpg", "song.mp3"} << QList<int>{1, 1, 2} << QStringList{"JPG", "mp3"};
    QTest::newRow("files without an extension share one; a folder's dot is none")
        << QStringList{"one.png", "README", "dir.png/LICENSE"} << QList<int>{1, 2, 2} << QStringList{"png", ""};
    QTest::newRow("every program gets an entry of its own")
        << QStringList{"a.exe", "b.EXE", "a.exe"} << QList<int>{1, 2, 3} << QStringList{"exe", "EXE", "exe"};
    QTest::newRow("a missing file leaves the cache alone")
        << QStringList{"gone.jpg", "here.jpg", "gone.jpg", "gone.exe"} << QList<int>{-1, 1, -1, -1} << QStringList{"jpg"};
}

void TestFileList::iconCache()
{
    QFETCH(QStringList, files);
    FileIconCache &cache = m_list->icons;
    QList<int> positions;
    for (const QString &name : files) {
        const QString path = name.startsWith(QLatin1String("gone")) ? m_dir->filePath(name) : file(name);
        positions.append(cache.GetFileIconIndex(path).value_or(-1));
    }
    QTEST(positions, "positions");
    QStringList tags;
    for (int position = 1; position <= cache.count(); ++position)
        tags.append(cache.tag(position));
    QTEST(tags, "tags");
    QCOMPARE(m_list->source.calls, cache.count());
}

void TestFileList::iconThemeFallback()
{
    // With the desktop theme as source, an unknown type still gets the generic icon.
    FileIconCache themed(m_list->types);
    QCOMPARE(themed.GetFileIconIndex(file(QStringLiteral("strange.zzqq"))), std::optional<int>(1));
    QVERIFY(!themed.icon(1).isNull());
    QVERIFY(themed.icon(0).isNull());
}

QString TestFileList::picture(const QString &name, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const QString path = m_dir->filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

QString TestFileList::twoColourPng(const QString &name, const QSize &size)
{
    // Blue left half, red right half, one bit per pixel.
    QImage image(size, QImage::Format_Mono);
    image.setColorTable({QColor(Qt::blue).rgb(), QColor(Qt::red).rgb()});
    image.fill(1);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, 0);
    }
    const QString path = m_dir->filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

QString TestFileList::turnedJpeg(const QString &name, const QSize &stored)
{
    // A JPEG whose EXIF block says "turn 90 degrees clockwise" (orientation 6).
    QImage image(stored, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG"))
        return {};
    const QByteArray exif = QByteArray::fromHex("FFE10022" "457869660000" "4D4D002A00000008" "0001"
                                                "011200030000000100060000" "00000000");
    jpeg.insert(2, exif); // right behind the start-of-image marker
    return TestFiles::createFile(m_dir->filePath(name), jpeg);
}

FileListView *TestFileList::showList(const QStringList &names)
{
    for (const QString &name : names)
        model().appendRow(QStringLiteral("/nowhere/") + name, QString());
    m_view = std::make_unique<FileListView>();
    m_view->setModel(&model());
    m_view->resize(600, 400);
    m_view->show();
    return QTest::qWaitForWindowExposed(m_view.get()) ? m_view.get() : nullptr;
}

void TestFileList::shortenLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString twentyFive = QStringLiteral("abcdefghijklmnopqrstuvwxy");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("short") << "a.jpg" << "a.jpg";
    QTest::newRow("25 characters stay whole") << twentyFive << twentyFive;
    QTest::newRow("26 characters are cut") << twentyFive + QStringLiteral("z") << twentyFive + QStringLiteral("...");
    const QString clef = QStringLiteral("\U0001D11E"); // one character, two UTF-16 units
    QTest::newRow("pair counts as one character") << clef.repeated(25) << clef.repeated(25);
    QTest::newRow("pair never cut") << clef.repeated(26) << clef.repeated(25) + QStringLiteral("...");
}

void TestFileList::shortenLabel()
{
    QFETCH(QString, text);
    QTEST(ShortenLabel(text), "shown");
}

void TestFileList::generalDate_data()
{
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<QString>("shown"); // in the US English short formats
    QTest::addColumn<QString>("created"); // the same time as a birth time
    QTest::newRow("midnight leaves the time out")
        << QDateTime(QDate(2004, 1, 10), QTime(0, 0)) << "1/10/04" << "1/10/04";
    QTest::newRow("any other time is shown")
        << QDateTime(QDate(2004, 1, 10), QTime(18, 45)) << "1/10/04 6:45 PM" << "1/10/04 6:45 PM";
    QTest::newRow("no date, no text") << QDateTime() << "" << "Not recorded";
}

void TestFileList::generalDate()
{
    QFETCH(QDateTime, dateTime);
    QTEST(GeneralDate(dateTime), "shown");
    QTEST(CreatedText(dateTime), "created");
}

void TestFileList::previewFit_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QRect>("placed");
    const QSize box(150, 120);
    QTest::newRow("landscape") << QSize(2000, 1000) << box << QRect(0, 22, 150, 75);
    QTest::newRow("portrait") << QSize(1000, 2000) << box << QRect(45, 0, 60, 120);
    QTest::newRow("square") << QSize(3000, 3000) << box << QRect(15, 0, 120, 120);
    QTest::newRow("smaller than the box") << QSize(100, 80) << box << QRect(25, 20, 100, 80);
    QTest::newRow("too wide only") << QSize(300, 60) << box << QRect(0, 45, 150, 30);
    QTest::newRow("hair-thin") << QSize(10000, 1) << box << QRect(0, 59, 150, 1);
    QTest::newRow("zero height") << QSize(100, 0) << box << QRect();
    QTest::newRow("zero box") << QSize(100, 80) << QSize(0, 0) << QRect();
}

void TestFileList::previewFit()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, box);
    QTEST(fitPreviewRect(picture, box), "placed");
}

// The box is 1575 by 1335 twips: 105 by 89 pixels on the test screen.
void TestFileList::preview_data()
{
    QTest::addColumn<QString>("kind"); // "png", "turned jpeg" (EXIF orientation 6), "two colours", "no picture"
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("smaller than the box: not enlarged") << "png" << QSize(20, 10) << QRect(42, 39, 20, 10);
    QTest::newRow("larger: decoded at the size shown") << "png" << QSize(2400, 600) << QRect(0, 31, 105, 26);
    QTest::newRow("EXIF orientation turns the picture") << "turned jpeg" << QSize(40, 20) << QRect(42, 24, 20, 40);
    QTest::newRow("large and turned: decoded to the box, upright")
        << "turned jpeg" << QSize(1200, 300) << QRect(41, 0, 22, 89);
    // A 1-bit PNG with a colour table, as convert writes a two-colour picture.
    QTest::newRow("two colours: shown in its colours") << "two colours" << QSize(400, 300) << QRect(0, 5, 105, 78);
    QTest::newRow("not a picture: the box is cleared") << "no picture" << QSize() << QRect();
}

void TestFileList::preview()
{
    QFETCH(QString, kind);
    QFETCH(QSize, stored);
    QFETCH(QRect, placed);
    PreviewBox *box = m_panel->preview();
    QCOMPARE(box->size(), QSize(105, 89));
    QVERIFY(box->loadPicture(picture(QStringLiteral("before.png"), QSize(10, 10))));
    QString path;
    if (kind == QLatin1String("no picture"))
        path = TestFiles::createFile(m_dir->filePath(QStringLiteral("notes.jpg")), "not a picture at all");
    else if (kind == QLatin1String("turned jpeg"))
        path = turnedJpeg(QStringLiteral("shown.jpg"), stored);
    else if (kind == QLatin1String("two colours"))
        path = twoColourPng(QStringLiteral("two.png"), stored);
    else
        path = picture(QStringLiteral("shown.png"), stored);
    QVERIFY(!path.isEmpty());
    QCOMPARE(box->loadPicture(path), placed.isValid());
    QCOMPARE(box->pictureRect(), placed);
    if (!placed.isValid()) {
        QVERIFY(!box->hasPicture());
        return;
    }
    QCOMPARE(box->naturalSize(), kind == QLatin1String("turned jpeg") ? stored.transposed() : stored);
    // Decoded no larger than it is shown, already upright.
    QCOMPARE(box->picture().size(), placed.size());
    if (kind == QLatin1String("two colours")) {
        const QImage &shown = box->picture();
        QCOMPARE(QColor(shown.pixel(shown.width() / 4, shown.height() / 2)), QColor(Qt::blue));
        QCOMPARE(QColor(shown.pixel(shown.width() * 3 / 4, shown.height() / 2)), QColor(Qt::red));
    }
}

void TestFileList::fillLabels()
{
    const QString path = TestFiles::createFile(m_dir->filePath(QStringLiteral("holiday picture of the beach.txt")),
                                               QByteArray(1234, 'x'));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2004, 1, 10), QTime(18, 45)), QFileDevice::FileModificationTime));
    QVERIFY(file.setFileTime(QDateTime(QDate(2005, 3, 4), QTime(0, 0)), QFileDevice::FileAccessTime));
    file.close();
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    m_panel->FillLabels(path, QStringLiteral("beach sunset"));
    QCOMPARE(label("lblDataName"), QStringLiteral("holiday picture of the be..."));
    QVERIFY(label("lblDataPath").endsWith(QStringLiteral("...")));
    QCOMPARE(m_panel->findChild<QLabel *>(QStringLiteral("lblDataPath"))->toolTip(), fullPath);
    QCOMPARE(label("lblDataSize"), QStringLiteral("1234 bytes"));
    QCOMPARE(label("lblDataType"), QStringLiteral("plain text document"));
    QCOMPARE(label("lblDataLastModified"), QStringLiteral("1/10/04 6:45 PM"));
    QCOMPARE(label("lblDataLastAccessed"), QStringLiteral("3/4/05"));
    QVERIFY(!label("lblDataCreated").isEmpty());
    QCOMPARE(m_panel->shownPath(), fullPath);
    QCOMPARE(m_panel->keywordsText(), QStringLiteral("beach sunset"));
    QVERIFY(!m_panel->preview()->hasPicture());

    // From a file list row: its path and keywords; a picture is previewed.
    const QString shown = picture(QStringLiteral("shown.png"), QSize(40, 30));
    model().appendRow(shown, QStringLiteral("kw"));
    m_panel->FillLabels(model().index(0, KeywordsColumn));
    const QString size = QStringLiteral("%1 bytes").arg(QFileInfo(shown).size());
    QCOMPARE(label("lblDataName"), QStringLiteral("shown.png"));
    QCOMPARE(label("lblDataSize"), size);
    QCOMPARE(m_panel->keywordsText(), QStringLiteral("kw"));
    QVERIFY(m_panel->preview()->hasPicture());

    // No current row: the values stay, the preview goes.
    m_panel->FillLabels(QModelIndex());
    QCOMPARE(label("lblDataName"), QStringLiteral("shown.png"));
    QCOMPARE(label("lblDataSize"), size);
    QCOMPARE(m_panel->shownPath(), QFileInfo(shown).absoluteFilePath());
    QCOMPARE(m_panel->keywordsText(), QStringLiteral("kw"));
    QVERIFY(!m_panel->preview()->hasPicture());

    // A file that cannot be read: no values and no preview, but its keywords.
    m_panel->FillLabels(shown, QStringLiteral("kw"));
    QVERIFY(m_panel->preview()->hasPicture());
    m_panel->FillLabels(m_dir->filePath(QStringLiteral("gone.png")), QStringLiteral("kept keywords"));
    for (const char *name : kValueLabels)
        QVERIFY2(label(name).isEmpty(), name);
    QCOMPARE(m_panel->shownPath(), QString());
    QCOMPARE(m_panel->keywordsText(), QStringLiteral("kept keywords"));
    QVERIFY(!m_panel->preview()->hasPicture());
}

void TestFileList::rightClick_data()
{
    QTest::addColumn<int>("row"); // -1: below the rows
    QTest::newRow("on a row: only that row is selected") << 2;
    QTest::newRow("beside the rows: nothing is selected") << -1;
}

void TestFileList::rightClick()
{
    QFETCH(int, row);
    FileListView *view = showList({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    QVERIFY(view);
    QItemSelectionModel *selection = view->selectionModel();
    for (int selected : {0, 2, 3})
        selection->select(model().index(selected, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->setCurrentIndex(model().index(0, 0), QItemSelectionModel::NoUpdate);

    QStringList events;
    QPoint menuAt;
    connect(view, &FileListView::fillLabelsRequested, this,
            [&] { events.append(QStringLiteral("fill %1").arg(view->currentIndex().row())); });
    connect(view, &FileListView::contextMenuRequested, this, [&](const QPoint &global) {
        events.append(QStringLiteral("menu"));
        menuAt = global;
    });
    const QPoint at = row >= 0 ? rowCentre(row) : QPoint(rowCentre(0).x(), view->viewport()->height() - 5);
    QCOMPARE(view->indexAt(at).row(), row);
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, at);

    const QModelIndexList selected = selection->selectedRows();
    QCOMPARE(selected.size(), row >= 0 ? 1 : 0);
    QVERIFY(selected.isEmpty() || selected.first().row() == row);
    QCOMPARE(view->currentIndex().row(), row);
    QCOMPARE(events, (QStringList{QStringLiteral("fill %1").arg(row), QStringLiteral("menu")}));
    QCOMPARE(menuAt, view->viewport()->mapToGlobal(at));
}

void TestFileList::inputBecomesRequests()
{
    FileListView *view = showList({"a.jpg", "b.jpg"});
    QVERIFY(view);
    QCOMPARE(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
    QSignalSpy fill(view, &FileListView::fillLabelsRequested);
    QSignalSpy remove(view, &FileListView::removeRequested);
    QSignalSpy properties(view, &FileListView::propertiesRequested);

    // A click and a key release ask for the labels of the current row.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(1));
    QCOMPARE(fill.size(), 1);
    QCOMPARE(view->currentIndex().row(), 1);
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(fill.size(), 2);
    QCOMPARE(view->currentIndex().row(), 0);
    // Auto-repeated releases are skipped; the last release counts.
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(view, &repeated);
    QCOMPARE(fill.size(), 2);
    QKeyEvent last(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(view, &last);
    QCOMPARE(fill.size(), 3);

    // Only Delete asks for Remove Item, and the view itself removes nothing.
    QTest::keyClick(view, Qt::Key_A);
    QTest::keyClick(view, Qt::Key_Backspace);
    QCOMPARE(remove.size(), 0);
    QTest::keyClick(view, Qt::Key_Delete);
    QTest::keyClick(view, Qt::Key_Delete, Qt::KeypadModifier);
    QTest::keyClick(view, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(remove.size(), 3);
    QCOMPARE(model().rowCount(), 2);

    // A double click asks for the properties, over a row or not.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rowCentre(0));
    QCOMPARE(properties.size(), 1);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->viewport()->height() - 5));
    QCOMPARE(properties.size(), 2);
}

void TestFileList::headerClicksSortAscending()
{
    FileListView *view = showList({"b.png", "a.txt", "c.avi"});
    QVERIFY(view);
    QHeaderView *header = view->header();
    const auto clickSection = [header](int section) {
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    clickSection(TypeColumn); // leaves the order alone
    QVERIFY(!model().isSorted());
    QCOMPARE(model().rowPath(0), QStringLiteral("/nowhere/b.png"));
    QVERIFY(!header->isSortIndicatorShown());

    clickSection(ExtensionColumn);
    clickSection(ExtensionColumn); // a second click still ascends
    QCOMPARE(model().sortColumn(), int(ExtensionColumn));
    QCOMPARE(model().rowPath(0), QStringLiteral("/nowhere/c.avi"));
    QCOMPARE(header->sortIndicatorSection(), int(ExtensionColumn));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
}

QTEST_MAIN(TestFileList)
#include "tst_filelist.moc"
