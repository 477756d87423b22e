#include "Catalog.h"
#include "CatalogFileWriter.h"
#include "FileRecord.h"
#include "OpenFileList.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

// Whatever catalog the program holds, and whatever a catalog file brings in, the
// next save must read back as the same catalog.
class TestCatalogRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadMendsRecords_data();
    void loadMendsRecords();
    void oddIndexTextsStillReadBack_data();
    void oddIndexTextsStillReadBack();
    void randomCatalogsReadBackUnchanged();
};

namespace {

const FileExistsCheck kAllExist = [](const QString &) { return true; };

QByteArray written(Catalog &catalog)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto error = CatalogFileWriter(catalog, catalog.findTemporary()).write(buffer);
    return error ? QByteArray("error") : buffer.data();
}

QStringList recordsOf(const Catalog &catalog)
{
    QStringList list;
    for (int i = 0; i < catalog.records().size(); ++i)
        list << catalog.records().at(i);
    return list;
}

QStringList categoriesOf(const Catalog &catalog)
{
    QStringList list;
    for (int i = 1; i <= catalog.tree().nodeCount(); ++i) {
        const CategoryNode *node = catalog.tree().node(i);
        list << (node->parent ? node->parent->name + QLatin1Char('\\') : QString()) + node->name;
    }
    return list;
}

} // namespace

void TestCatalogRoundTrip::loadMendsRecords_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("keywordsMended");
    QTest::addColumn<int>("unholdable");

    const QByteArray head = " 1 \r\n\"Music\",\"Music\", 1 \r\n";
    QTest::newRow("slash in keywords") << head + "\"/m/a.mp3\", 1 ,\"AC/DC\"\r\n"
                                       << QStringList{"/m/a.mp3/1>AC DC"} << 1 << 0;
    QTest::newRow("greater-than in keywords") << head + "\"/m/a.mp3\", 1 ,\"x>y\"\r\n"
                                              << QStringList{"/m/a.mp3/1>x y"} << 1 << 0;
    QTest::newRow("quote in an unquoted path") << head + "/m/a\"b.mp3, 1 ,\"k\"\r\n\"/m/c.mp3\", 1 ,\"\"\r\n"
                                               << QStringList{"/m/c.mp3/1>"} << 0 << 1;
    QTest::newRow("line break in a quoted path") << head + "\"/m/a\nb.mp3\", 1 ,\"k\"\r\n\"/m/c.mp3\", 1 ,\"\"\r\n"
                                                 << QStringList{"/m/c.mp3/1>"} << 0 << 1;
    QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + head + "\"/m/a.mp3\", 1 ,\"\"\r\n"
                                     << QStringList{"/m/a.mp3/1>"} << 0 << 0;
}

void TestCatalogRoundTrip::loadMendsRecords()
{
    QFETCH(QByteArray, file);
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(file), catalog, kAllExist);
    QFETCH(QStringList, records);
    QFETCH(int, keywordsMended);
    QFETCH(int, unholdable);
    QVERIFY(!report.stop);
    QCOMPARE(recordsOf(catalog), records);
    QCOMPARE(report.keywordsMended, keywordsMended);
    QCOMPARE(report.unholdablePaths.size(), unholdable);
    for (int i = 0; i < catalog.records().size(); ++i)
        QCOMPARE(catalog.records().categoryAt(i), ParseFileRecord(catalog.records().at(i)).categoryIndex);
}

void TestCatalogRoundTrip::oddIndexTextsStillReadBack_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("empty") << "/p/a.jpg/>k" << "/p/a.jpg/0>k";
    QTest::newRow("letters") << "/p/a.jpg/abc>k" << "/p/a.jpg/0>k";
    QTest::newRow("leading zero") << "/p/a.jpg/01>k" << "/p/a.jpg/1>k";
    QTest::newRow("beyond 16 bits") << "/p/a.jpg/40000>k" << "/p/a.jpg/0>k";
    QTest::newRow("canonical") << "/p/a.jpg/1>k" << "/p/a.jpg/1>k";
}

void TestCatalogRoundTrip::oddIndexTextsStillReadBack()
{
    QFETCH(QString, record);
    QFETCH(QString, readBack);
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("Photos"));
    catalog.records().append(record);
    catalog.records().append(QStringLiteral("/p/last.jpg/1>"));
    Catalog reloaded;
    QByteArray file = written(catalog);
    const CatalogLoadReport report = OpenFileList(QByteArrayView(file), reloaded, kAllExist);
    QVERIFY2(!report.stop, qPrintable(report.stop ? report.stop->reason : QString()));
    QCOMPARE(recordsOf(reloaded), (QStringList{readBack, QStringLiteral("/p/last.jpg/1>")}));
}

void TestCatalogRoundTrip::randomCatalogsReadBackUnchanged()
{
    QRandomGenerator random(20261207);
    // Every printable ASCII character, and a few beyond, as the keyword editor allows.
    QString printable;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        printable += QChar(c);
    printable += QStringLiteral("éßΩ");
    auto randomText = [&](int maxLength, QStringView forbidden) {
        QString text;
        const int length = int(random.bounded(maxLength + 1));
        while (text.size() < length) {
            const QChar c = printable.at(int(random.bounded(printable.size())));
            if (!forbidden.contains(c))
                text += c;
        }
        return text;
    };
    for (int round = 0; round < 200; ++round) {
        Catalog catalog;
        const int categories = 1 + int(random.bounded(6));
        for (int i = 1; i <= categories; ++i) {
            const QString name = QStringLiteral("C%1 ").arg(i) + randomText(8, u"\"\\/");
            if (i > 1 && random.bounded(2))
                catalog.tree().addChild(int(random.bounded(1, i)), name);
            else
                catalog.tree().addRoot(name);
        }
        const int records = int(random.bounded(20));
        for (int r = 0; r < records; ++r) {
            const QString path = QStringLiteral("/f/%1/").arg(r) + randomText(10, u"\"/") + QStringLiteral(".jpg");
            catalog.records().append(MakeFileRecord(path, 1 + int(random.bounded(categories)), randomText(12, u"/>\"")));
        }
        QByteArray file = written(catalog);
        Catalog reloaded;
        const CatalogLoadReport report = OpenFileList(QByteArrayView(file), reloaded, kAllExist);
        QVERIFY2(!report.stop, file.constData());
        // Sub-categories come back by name, so only catalogs with unique names compare node by node.
        const QStringList names = categoriesOf(catalog);
        if (QSet<QString>(names.begin(), names.end()).size() == categories) {
            QCOMPARE(categoriesOf(reloaded), categoriesOf(catalog));
            QCOMPARE(recordsOf(reloaded), recordsOf(catalog));
        } else {
            QCOMPARE(recordsOf(reloaded).size(), records);
        }
    }
}

QTEST_GUILESS_MAIN(TestCatalogRoundTrip)
#include "tst_catalogroundtrip.moc"
