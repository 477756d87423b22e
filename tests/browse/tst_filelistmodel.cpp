#include "BrowseTestSupport.h"
#include "Catalog.h"
#include "DisplayText.h"
#include "FileIconCache.h"
#include "FileListModel.h"
#include "FileRecord.h"
#include "FileTypeCache.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestFileListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void headersAreTheCaptions();
    void listingTakesOnlyTheCategoryAndSkipsSentinel();
    void listingRemovesDuplicatesKeepingTheLast();
    void listingNoCategoryListsNothing();
    void rowParts_data();
    void rowParts();
    void listingSortsByCurrentColumn_data();
    void listingSortsByCurrentColumn();
    void lastModifiedSortsByTimeNotText();
    void typeClickChangesNothing();
    void sortIsAlwaysAscending();
    void sortStateOutlivesListings();
    void sortKeepsPersistentIndexesOnTheirRows();
    void listingReadsNoDetails();
    void detailsFilledOncePerRow();
    void unreadableRowShowsNothingOfAnotherFile();
    void programRowsGetOwnIcons();
    void backgroundFillReachesEveryRow();
    void appendBeforeSortingGoesToEnd();
    void appendTakesItsSortedPlace();
    void appendRowsMergeIntoOrder();
    void appendUnderDateSortGoesByTime();
    void removingManyScatteredRows();
    void removeRowsWithPath();
    void removeRowsAt_data();
    void removeRowsAt();
    void setKeywordsChangesCells();
    void clearKeepsSortState();

private:
    QString file(const QString &name, const QDateTime &modified = QDateTime(QDate(2004, 1, 1), QTime(9, 30)))
    {
        return BrowseTest::createFileModified(m_dir->filePath(name), modified);
    }
    void addRecord(const QString &path, int category, const QString &keywords = QString())
    {
        m_catalog->records().append(MakeFileRecord(path, category, keywords));
    }
    QStringList column(int col) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<FileTypeCache> m_types;
    std::unique_ptr<BrowseTest::CountingIconSource> m_source;
    std::unique_ptr<FileIconCache> m_icons;
    std::unique_ptr<FileListModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void TestFileListModel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_catalog = std::make_unique<Catalog>();
    m_catalog->resetToEmpty();
    m_catalog->tree().addRoot(QStringLiteral("Photos"));
    m_catalog->tree().addRoot(QStringLiteral("Music"));
    m_types = std::make_unique<FileTypeCache>();
    m_source = std::make_unique<BrowseTest::CountingIconSource>();
    m_icons = std::make_unique<FileIconCache>(m_source->source());
    m_model = std::make_unique<FileListModel>(*m_icons, *m_types);
    m_model->setBackgroundFillEnabled(false);
    m_tester = std::make_unique<QAbstractItemModelTester>(m_model.get(),
                                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestFileListModel::cleanup()
{
    m_tester.reset();
    m_model.reset();
    m_icons.reset();
}

QStringList TestFileListModel::column(int col) const
{
    QStringList cells;
    for (int row = 0; row < m_model->rowCount(); ++row)
        cells.append(m_model->index(row, col).data().toString());
    return cells;
}

void TestFileListModel::headersAreTheCaptions()
{
    QStringList captions;
    for (int section = 0; section < m_model->columnCount(); ++section)
        captions.append(m_model->headerData(section, Qt::Horizontal).toString());
    QCOMPARE(captions, (QStringList{QStringLiteral("Name"), QStringLiteral("Extension"), QStringLiteral("Type"),
                                    QStringLiteral("Last Modified"), QStringLiteral("Keywords")}));
}

void TestFileListModel::listingTakesOnlyTheCategoryAndSkipsSentinel()
{
    addRecord(QStringLiteral("/p/b.jpg"), 1, QStringLiteral("sea"));
    addRecord(QStringLiteral("/m/song.mp3"), 2);
    addRecord(QStringLiteral("/p/a.jpg"), 1);
    QCOMPARE(m_catalog->records().at(0), kSentinelRecord);

    m_model->ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(m_model->rowPath(1), QStringLiteral("/p/b.jpg"));
    QCOMPARE(m_model->rowKeywords(1), QStringLiteral("sea"));

    m_model->ShowCategoryFiles(*m_catalog, 30000); // the sentinel's own index
    QCOMPARE(m_model->rowCount(), 0);
}

void TestFileListModel::listingRemovesDuplicatesKeepingTheLast()
{
    addRecord(QStringLiteral("/p/a.jpg"), 1, QStringLiteral("first"));
    addRecord(QStringLiteral("/p/b.jpg"), 1);
    addRecord(QStringLiteral("/p/a.jpg"), 1, QStringLiteral("second"));
    addRecord(QStringLiteral("/p/A.jpg"), 1, QStringLiteral("other case"));

    m_model->ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(m_model->rowCount(), 3);
    QCOMPARE(column(KeywordsColumn), (QStringList{QStringLiteral("second"), QStringLiteral("other case"), QString()}));
}

void TestFileListModel::listingNoCategoryListsNothing()
{
    addRecord(QStringLiteral("/p/a.jpg"), 1);
    m_catalog->records().append(QStringLiteral("/p/broken.jpg")); // reads as index 0
    m_model->ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(m_model->rowCount(), 1);
    m_model->ShowCategoryFiles(*m_catalog, 0);
    QCOMPARE(m_model->rowCount(), 0);
}

void TestFileListModel::rowParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::newRow("plain") << QStringLiteral("/p/beach.jpg") << QStringLiteral("beach") << QStringLiteral("jpg");
    QTest::newRow("name keeps case, extension lowered")
        << QStringLiteral("/p/Beach.JPG") << QStringLiteral("Beach") << QStringLiteral("jpg");
    QTest::newRow("dots in the name") << QStringLiteral("/p/holiday.2004.jpg") << QStringLiteral("holiday.2004")
                                      << QStringLiteral("jpg");
    QTest::newRow("no dot") << QStringLiteral("/p/README") << QStringLiteral("README") << QString();
    QTest::newRow("dot only in a folder") << QStringLiteral("/my.photos/README") << QStringLiteral("README")
                                          << QString();
    QTest::newRow("ends in a dot") << QStringLiteral("/p/draft.") << QStringLiteral("draft") << QString();
    QTest::newRow("hidden file") << QStringLiteral("/p/.profile") << QString() << QStringLiteral("profile");
    QTest::newRow("backslash is part of a Linux name")
        << QStringLiteral("/p/a\\b.png") << QStringLiteral("a\\b") << QStringLiteral("png");
}

void TestFileListModel::rowParts()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, extension);
    addRecord(path, 1, QStringLiteral("kw"));
    m_model->ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_model->index(0, NameColumn).data().toString(), name);
    QCOMPARE(m_model->index(0, ExtensionColumn).data().toString(), extension);
    QCOMPARE(m_model->index(0, KeywordsColumn).data().toString(), QStringLiteral("kw"));
    QCOMPARE(m_model->index(0, 0).data(FileListModel::PathRole).toString(), path);
}

void TestFileListModel::listingSortsByCurrentColumn_data()
{
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("Name") << int(NameColumn)
                          << QStringList{QStringLiteral("apple"), QStringLiteral("Banana"), QStringLiteral("cherry")};
    QTest::newRow("Extension, ties in record order")
        << int(ExtensionColumn)
        << QStringList{QStringLiteral("cherry"), QStringLiteral("Banana"), QStringLiteral("apple")};
    QTest::newRow("Keywords") << int(KeywordsColumn)
                              << QStringList{QStringLiteral("cherry"), QStringLiteral("apple"),
                                             QStringLiteral("Banana")};
    QTest::newRow("Last Modified") << int(LastModifiedColumn)
                                   << QStringList{QStringLiteral("Banana"), QStringLiteral("apple"),
                                                  QStringLiteral("cherry")};
}

void TestFileListModel::listingSortsByCurrentColumn()
{
    QFETCH(int, sortColumn);
    QFETCH(QStringList, names);
    addRecord(file(QStringLiteral("cherry.avi"), QDateTime(QDate(2005, 3, 1), QTime(8, 0))), 1, QStringLiteral("Alpha"));
    addRecord(file(QStringLiteral("apple.png"), QDateTime(QDate(2004, 6, 1), QTime(8, 0))), 1, QStringLiteral("beta"));
    addRecord(file(QStringLiteral("Banana.AVI"), QDateTime(QDate(2003, 1, 1), QTime(8, 0))), 1,
              QStringLiteral("Gamma"));
    m_model->sort(sortColumn);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(column(NameColumn), names);
}

void TestFileListModel::lastModifiedSortsByTimeNotText()
{
    // As text "1/10/2004" sorts before "1/2/2004"; by time it comes after. The names
    // sort the other way round from the times, so sorting by name fails too.
    addRecord(file(QStringLiteral("a tenth.jpg"), QDateTime(QDate(2004, 1, 10), QTime(10, 0))), 1);
    addRecord(file(QStringLiteral("b second.jpg"), QDateTime(QDate(2004, 1, 2), QTime(10, 0))), 1);
    addRecord(file(QStringLiteral("c first.jpg"), QDateTime(QDate(2004, 1, 1), QTime(23, 0))), 1);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    m_model->sort(LastModifiedColumn);
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("c first"), QStringLiteral("b second"),
                                              QStringLiteral("a tenth")}));
    QCOMPARE(m_model->index(2, LastModifiedColumn).data().toString(),
             GeneralDate(QDateTime(QDate(2004, 1, 10), QTime(10, 0))));
}

void TestFileListModel::typeClickChangesNothing()
{
    addRecord(file(QStringLiteral("b.png")), 1);
    addRecord(file(QStringLiteral("a.txt")), 1);
    m_model->sort(ExtensionColumn);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    const QStringList before = column(NameColumn);
    QSignalSpy layout(m_model.get(), &QAbstractItemModel::layoutChanged);
    QSignalSpy sorting(m_model.get(), &FileListModel::sortingChanged);
    m_model->sort(TypeColumn);
    QCOMPARE(column(NameColumn), before);
    QCOMPARE(m_model->sortColumn(), int(ExtensionColumn));
    QCOMPARE(layout.size(), 0);
    QCOMPARE(sorting.size(), 0);
}

void TestFileListModel::sortIsAlwaysAscending()
{
    addRecord(QStringLiteral("/p/b.jpg"), 1);
    addRecord(QStringLiteral("/p/a.jpg"), 1);
    addRecord(QStringLiteral("/p/c.jpg"), 1);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    m_model->sort(NameColumn, Qt::DescendingOrder);
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    m_model->sort(NameColumn);
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

void TestFileListModel::sortStateOutlivesListings()
{
    addRecord(QStringLiteral("/p/a.jpg"), 1, QStringLiteral("zz"));
    addRecord(QStringLiteral("/p/b.jpg"), 1, QStringLiteral("aa"));
    addRecord(QStringLiteral("/m/x.mp3"), 2, QStringLiteral("2"));
    addRecord(QStringLiteral("/m/w.mp3"), 2, QStringLiteral("1"));
    QVERIFY(!m_model->isSorted());
    m_model->ShowCategoryFiles(*m_catalog, 1);
    QVERIFY(m_model->isSorted());
    m_model->sort(KeywordsColumn);
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
    m_model->ShowCategoryFiles(*m_catalog, 2);
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("w"), QStringLiteral("x")}));
    QCOMPARE(m_model->sortColumn(), int(KeywordsColumn));
}

void TestFileListModel::sortKeepsPersistentIndexesOnTheirRows()
{
    addRecord(QStringLiteral("/p/a.jpg"), 1, QStringLiteral("3"));
    addRecord(QStringLiteral("/p/b.jpg"), 1, QStringLiteral("1"));
    addRecord(QStringLiteral("/p/c.jpg"), 1, QStringLiteral("2"));
    m_model->ShowCategoryFiles(*m_catalog, 1);
    const QPersistentModelIndex a = m_model->index(0, KeywordsColumn);
    m_model->sort(KeywordsColumn);
    QCOMPARE(a.row(), 2);
    QCOMPARE(a.column(), int(KeywordsColumn));
    QCOMPARE(a.data(FileListModel::PathRole).toString(), QStringLiteral("/p/a.jpg"));
}

void TestFileListModel::listingReadsNoDetails()
{
    for (int i = 0; i < 20; ++i)
        addRecord(file(QStringLiteral("f%1.jpg").arg(i)), 1);
    m_tester.reset(); // the tester reads every cell
    m_model->ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(m_model->rowCount(), 20);
    QCOMPARE(m_source->calls, 0);
    QCOMPARE(m_model->rowAt(0)->details, FileListRow::Details::NotRead);
    QVERIFY(!m_model->allDetailsFilled());
}

void TestFileListModel::detailsFilledOncePerRow()
{
    const QDateTime modified(QDate(2004, 5, 6), QTime(7, 8, 9));
    addRecord(file(QStringLiteral("a.jpg"), modified), 1);
    addRecord(file(QStringLiteral("b.JPG"), modified), 1);
    addRecord(file(QStringLiteral("c.txt"), modified), 1);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    m_model->fillAllDetails();
    QVERIFY(m_model->allDetailsFilled());
    QCOMPARE(m_source->calls, 2); // jpg and txt
    QCOMPARE(m_model->index(0, TypeColumn).data().toString(), m_types->description(QStringLiteral("jpg")));
    QVERIFY(!m_model->index(0, TypeColumn).data().toString().isEmpty());
    QCOMPARE(m_model->index(1, 0).data(FileListModel::ModifiedRole).toDateTime(), modified);
    QCOMPARE(m_model->index(1, LastModifiedColumn).data().toString(), GeneralDate(modified));
    QCOMPARE(m_model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
             m_model->index(1, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey());
    m_model->fillAllDetails();
    QCOMPARE(m_source->calls, 2);
}

void TestFileListModel::unreadableRowShowsNothingOfAnotherFile()
{
    addRecord(file(QStringLiteral("a.jpg")), 1, QStringLiteral("here"));
    addRecord(m_dir->filePath(QStringLiteral("b.jpg")), 1, QStringLiteral("gone")); // never created
    addRecord(file(QStringLiteral("c.jpg")), 1);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    QCOMPARE(m_model->rowCount(), 3);

    QCOMPARE(m_model->index(1, NameColumn).data().toString(), QStringLiteral("b"));
    QCOMPARE(m_model->index(1, ExtensionColumn).data().toString(), QStringLiteral("jpg"));
    QCOMPARE(m_model->index(1, KeywordsColumn).data().toString(), QStringLiteral("gone"));
    QCOMPARE(m_model->index(1, TypeColumn).data().toString(), QString());
    QCOMPARE(m_model->index(1, LastModifiedColumn).data().toString(), QString());
    QVERIFY(!m_model->index(1, NameColumn).data(Qt::DecorationRole).isValid());
    QVERIFY(!m_model->index(1, 0).data(FileListModel::ModifiedRole).toDateTime().isValid());

    QVERIFY(!m_model->index(2, TypeColumn).data().toString().isEmpty());
    QVERIFY(m_model->index(2, NameColumn).data(Qt::DecorationRole).isValid());
    QCOMPARE(m_icons->count(), 1);
    QVERIFY(!m_source->paths.contains(m_dir->filePath(QStringLiteral("b.jpg"))));
}

void TestFileListModel::programRowsGetOwnIcons()
{
    addRecord(file(QStringLiteral("a.exe")), 1);
    addRecord(file(QStringLiteral("b.exe")), 1);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    m_model->fillAllDetails();
    QCOMPARE(m_icons->count(), 2);
    QCOMPARE(m_model->rowAt(0)->iconIndex, 1);
    QCOMPARE(m_model->rowAt(1)->iconIndex, 2);
    m_model->fillAllDetails();
    QCOMPARE(m_icons->count(), 2); // a row keeps its icon
    m_model->ShowCategoryFiles(*m_catalog, 1);
    m_model->fillAllDetails();
    QCOMPARE(m_icons->count(), 4); // listed again, new entries
}

void TestFileListModel::backgroundFillReachesEveryRow()
{
    for (int i = 0; i < 50; ++i)
        addRecord(file(QStringLiteral("f%1.png").arg(i)), 1);
    m_tester.reset();
    m_model->setBackgroundFillEnabled(true);
    QSignalSpy filled(m_model.get(), &FileListModel::detailsFilled);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    QVERIFY(!m_model->allDetailsFilled());
    QVERIFY(filled.wait(5000));
    QVERIFY(m_model->allDetailsFilled());
    QCOMPARE(m_source->calls, 1);
}

void TestFileListModel::appendBeforeSortingGoesToEnd()
{
    m_model->appendRow(makeFileListRow(QStringLiteral("/p/b.jpg"), QString()));
    m_model->appendRow(makeFileListRow(QStringLiteral("/p/a.jpg"), QString()));
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
}

void TestFileListModel::appendTakesItsSortedPlace()
{
    addRecord(QStringLiteral("/p/a.jpg"), 1);
    addRecord(QStringLiteral("/p/c.jpg"), 1);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    QSignalSpy inserted(m_model.get(), &QAbstractItemModel::rowsInserted);
    m_model->appendRow(makeFileListRow(QStringLiteral("/q/B.png"), QString()));
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c")}));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 1);
    // Duplicates stay: only a listing removes them.
    m_model->appendRow(makeFileListRow(QStringLiteral("/p/a.jpg"), QString()));
    QCOMPARE(m_model->rowCount(), 4);
}

void TestFileListModel::appendRowsMergeIntoOrder()
{
    addRecord(QStringLiteral("/p/b.jpg"), 1);
    addRecord(QStringLiteral("/p/d.jpg"), 1);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    std::vector<FileListRow> rows;
    rows.push_back(makeFileListRow(QStringLiteral("/q/e.jpg"), QStringLiteral("new")));
    rows.push_back(makeFileListRow(QStringLiteral("/q/a.jpg"), QStringLiteral("new")));
    rows.push_back(makeFileListRow(QStringLiteral("/q/b.jpg"), QStringLiteral("new")));
    m_model->appendRows(std::move(rows));
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("b"),
                                              QStringLiteral("d"), QStringLiteral("e")}));
    QCOMPARE(m_model->rowPath(1), QStringLiteral("/p/b.jpg")); // the listed row keeps its place before the new one
}

void TestFileListModel::appendUnderDateSortGoesByTime()
{
    addRecord(file(QStringLiteral("old.jpg"), QDateTime(QDate(2001, 1, 1), QTime(12, 0))), 1);
    addRecord(file(QStringLiteral("new.jpg"), QDateTime(QDate(2009, 1, 1), QTime(12, 0))), 1);
    m_model->sort(LastModifiedColumn);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    m_model->appendRow(makeFileListRow(file(QStringLiteral("mid.jpg"), QDateTime(QDate(2005, 1, 1), QTime(12, 0))),
                                       QString()));
    m_model->appendRow(makeFileListRow(m_dir->filePath(QStringLiteral("gone.jpg")), QString()));
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("gone"), QStringLiteral("old"), QStringLiteral("mid"),
                                              QStringLiteral("new")}));
}

void TestFileListModel::removingManyScatteredRows()
{
    std::vector<FileListRow> rows;
    QList<int> odd;
    for (int i = 0; i < 300; ++i) {
        rows.push_back(makeFileListRow(QStringLiteral("/p/%1.jpg").arg(i), QString()));
        if (i % 2)
            odd.append(i);
    }
    m_model->appendRows(std::move(rows));
    m_model->removeRowsAt(odd);
    QCOMPARE(m_model->rowCount(), 150);
    QCOMPARE(m_model->rowPath(0), QStringLiteral("/p/0.jpg"));
    QCOMPARE(m_model->rowPath(1), QStringLiteral("/p/2.jpg"));
    QCOMPARE(m_model->rowPath(149), QStringLiteral("/p/298.jpg"));
}

void TestFileListModel::removeRowsWithPath()
{
    m_model->appendRow(makeFileListRow(QStringLiteral("/p/a.jpg"), QString()));
    m_model->appendRow(makeFileListRow(QStringLiteral("/p/b.jpg"), QString()));
    m_model->appendRow(makeFileListRow(QStringLiteral("/p/a.jpg"), QString()));
    m_model->appendRow(makeFileListRow(QStringLiteral("/p/A.jpg"), QString()));
    QCOMPARE(m_model->removeRowsWithPath(QStringLiteral("/p/a.jpg")), 2);
    QCOMPARE(column(NameColumn), (QStringList{QStringLiteral("b"), QStringLiteral("A")}));
    QCOMPARE(m_model->removeRowsWithPath(QStringLiteral("/p/none.jpg")), 0);
}

void TestFileListModel::removeRowsAt_data()
{
    QTest::addColumn<QList<int>>("remove");
    QTest::addColumn<QString>("left");
    QTest::addColumn<int>("removalSignals");
    QTest::newRow("one row") << QList<int>{2} << QStringLiteral("abdefgh") << 1;
    QTest::newRow("a block in any order") << QList<int>{3, 1, 2} << QStringLiteral("aefgh") << 1;
    QTest::newRow("scattered") << QList<int>{0, 7, 4} << QStringLiteral("bcdfg") << 3;
    QTest::newRow("repeats and strays") << QList<int>{5, 5, -1, 8} << QStringLiteral("abcdegh") << 1;
    QTest::newRow("nothing") << QList<int>{} << QStringLiteral("abcdefgh") << 0;
}

void TestFileListModel::removeRowsAt()
{
    QFETCH(QList<int>, remove);
    QFETCH(QString, left);
    QFETCH(int, removalSignals);
    for (QChar letter : QStringLiteral("abcdefgh"))
        m_model->appendRow(makeFileListRow(QStringLiteral("/p/") + letter + QStringLiteral(".jpg"), QString()));
    QSignalSpy removed(m_model.get(), &QAbstractItemModel::rowsRemoved);
    m_model->removeRowsAt(remove);
    QCOMPARE(column(NameColumn).join(QString()), left);
    QCOMPARE(removed.size(), removalSignals);
}

void TestFileListModel::setKeywordsChangesCells()
{
    for (QChar letter : QStringLiteral("abc"))
        m_model->appendRow(makeFileListRow(QStringLiteral("/p/") + letter + QStringLiteral(".jpg"), QStringLiteral("old")));
    QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);
    m_model->setKeywords({0, 2}, QStringLiteral("beach sunset"));
    QCOMPARE(column(KeywordsColumn),
             (QStringList{QStringLiteral("beach sunset"), QStringLiteral("old"), QStringLiteral("beach sunset")}));
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed.last().at(0).toModelIndex(), m_model->index(2, KeywordsColumn));
}

void TestFileListModel::clearKeepsSortState()
{
    addRecord(QStringLiteral("/p/a.jpg"), 1);
    m_model->ShowCategoryFiles(*m_catalog, 1);
    m_model->sort(ExtensionColumn);
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    m_model->clear();
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(reset.size(), 1);
    QVERIFY(m_model->isSorted());
    QCOMPARE(m_model->sortColumn(), int(ExtensionColumn));
    QCOMPARE(m_catalog->records().size(), 2); // records untouched
}

QTEST_MAIN(TestFileListModel)
#include "tst_filelistmodel.moc"
