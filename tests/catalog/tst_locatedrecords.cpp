#include "CatalogEdits.h"
#include "CatalogTestSupport.h"
#include "LocatedRecords.h"

#include <QTest>

using CatalogTest::kAllExist;
using CatalogTest::missingOf;
using CatalogTest::recordsOf;

// Records of missing files wait aside while the user locates the files: they follow
// the categories' renumbering, and go back where the file had them.
class TestLocatedRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingRecordsFollowTheCategories();
    void locatedRecordsGoBackInTheFilesOrder();
};

namespace {

// Categories A (1), B (2), C (3); loaded records a and b, missing x, y, z between them.
void load(Catalog &catalog)
{
    const QByteArray file = "3\r\n\"A\",\"A\",1\r\n\"B\",\"B\",2\r\n\"C\",\"C\",3\r\n"
                            "\"/old/x.jpg\",1,\"kx\"\r\n\"/a.jpg\",1,\"\"\r\n\"/old/y.jpg\",2,\"\"\r\n"
                            "\"/b.jpg\",3,\"\"\r\n\"/old/z.jpg\",3,\"kz\"\r\n";
    OpenFileList(QByteArrayView(file), catalog,
                 [](QByteArrayView path) { return !QByteArrayView(path).startsWith("/old/"); });
}

} // namespace

void TestLocatedRecords::missingRecordsFollowTheCategories()
{
    Catalog catalog;
    load(catalog);
    QCOMPARE(missingOf(catalog), (QStringList{"/old/x.jpg/1>kx@0", "/old/y.jpg/2>@1", "/old/z.jpg/3>kz@2"}));
    CatalogEdits::deleteCategory(catalog, 2);
    // y's category went with its files; z's category moved down to 2.
    QCOMPARE(missingOf(catalog), (QStringList{"/old/x.jpg/1>kx@0", "/old/y.jpg/-2147483648>@1", "/old/z.jpg/2>kz@2"}));
    QCOMPARE(putBackLocatedRecords(catalog, {{1, QStringLiteral("/new/y.jpg")}}), std::vector<int>{});
}

void TestLocatedRecords::locatedRecordsGoBackInTheFilesOrder()
{
    Catalog catalog;
    load(catalog);
    QVERIFY(catalog.FileListSaved());
    const std::vector<int> back = putBackLocatedRecords(
        catalog, {{2, QStringLiteral("/new/z.jpg")}, {0, QStringLiteral("/new/x.jpg")}, {1, QStringLiteral("/new/\"y.jpg")}});
    QCOMPARE(back, (std::vector<int>{0, 2})); // a path a catalog cannot hold stays missing
    QCOMPARE(recordsOf(catalog), (QStringList{"/new/x.jpg/1>kx", "/a.jpg/1>", "/b.jpg/3>", "/new/z.jpg/3>kz"}));
    QVERIFY(!catalog.FileListSaved());
}

QTEST_GUILESS_MAIN(TestLocatedRecords)
#include "tst_locatedrecords.moc"
