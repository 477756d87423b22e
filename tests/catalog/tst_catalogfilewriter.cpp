#include "Catalog.h"
#include "CatalogFileWriter.h"
#include "FileRecord.h"
#include "OpenFileList.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// A device that accepts a number of bytes and then fails like a full disk.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity)
        : m_capacity(capacity)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override
    {
        if (m_written + length > m_capacity) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        m_written += length;
        return length;
    }

private:
    qint64 m_capacity;
    qint64 m_written = 0;
};

class TestCatalogFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyCatalogIsOneLine();
    void zonePadding_data();
    void zonePadding();
    void categoryAndFileLines();
    void deepCategoriesStoreParentAndName();
    void temporaryAndItsRecordsAreLeftOut();
    void secondTemporaryNameIsKeptWithCountRight();
    void roundTripIsIdentical();
    void unstorableCharactersCannotCorruptTheFile();
    void writeFailureIsReported();
    void fullDiskLeavesOldFileUntouched_data();
    void fullDiskLeavesOldFileUntouched();
};

namespace {

QByteArray written(const Catalog &catalog)
{
    Catalog &mutableCatalog = const_cast<Catalog &>(catalog);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto error = CatalogFileWriter(catalog, mutableCatalog.findTemporary()).write(buffer);
    return error ? QByteArray("error") : buffer.data();
}

} // namespace

void TestCatalogFileWriter::emptyCatalogIsOneLine()
{
    Catalog catalog;
    catalog.resetToEmpty(); // the sentinel is never written
    QCOMPARE(written(catalog), QByteArray(" 0 \r\n"));
}

void TestCatalogFileWriter::zonePadding_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("spaces");
    QTest::newRow("12 characters, 14 with quotes") << QString(12, QLatin1Char('a')) << 14;
    QTest::newRow("13 characters, 15 with quotes") << QString(13, QLatin1Char('a')) << 13;
    QTest::newRow("1 character") << QStringLiteral("a") << 11;
    QTest::newRow("26 characters, 28 with quotes") << QString(26, QLatin1Char('a')) << 14;
}

void TestCatalogFileWriter::zonePadding()
{
    QFETCH(QString, name);
    QFETCH(int, spaces);
    Catalog catalog;
    catalog.tree().addRoot(name);
    const QByteArray line = written(catalog).split('\n').at(1);
    const QByteArray expectedStart = '"' + name.toUtf8() + '"' + QByteArray(spaces, ' ') + '"';
    QVERIFY2(line.startsWith(expectedStart), line.constData());
}

void TestCatalogFileWriter::categoryAndFileLines()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("Photos"));
    catalog.tree().addChild(1, QStringLiteral("Beach"));
    catalog.records().append(MakeFileRecord(QStringLiteral("/home/a/x.jpg"), 2, QStringLiteral("sun sea")));
    catalog.records().append(MakeFileRecord(QStringLiteral("/home/a/y.jpg"), 1, QString()));
    const QByteArray expected = " 2 \r\n"
                                "\"Photos\"      \"Photos\"       1 \r\n"
                                "\"Beach\"       \"Photos\\Beach\"               2 \r\n"
                                "\"/home/a/x.jpg\"             2             \"sun sea\"\r\n"
                                "\"/home/a/y.jpg\"             1             \"\"\r\n";
    QCOMPARE(written(catalog), expected);
}

void TestCatalogFileWriter::deepCategoriesStoreParentAndName()
{
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    tree.addChild(tree.addChild(tree.addRoot(QStringLiteral("A")), QStringLiteral("B")), QStringLiteral("C"));
    const QList<QByteArray> lines = written(catalog).split('\n');
    QVERIFY(lines.at(3).startsWith("\"C\"           \"B\\C\""));
}

void TestCatalogFileWriter::temporaryAndItsRecordsAreLeftOut()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("A"));
    catalog.tree().addRoot(Catalog::kTemporaryName);
    catalog.tree().addRoot(QStringLiteral("B"));
    catalog.records().append(kSentinelRecord);
    catalog.records().append(MakeFileRecord(QStringLiteral("/t.jpg"), 2, QString()));
    catalog.records().append(MakeFileRecord(QStringLiteral("/b.jpg"), 3, QString()));
    const QByteArray bytes = written(catalog);
    QVERIFY(bytes.startsWith(" 2 \r\n"));
    QVERIFY(!bytes.contains("Temporary"));
    QVERIFY(!bytes.contains("/t.jpg"));
    QVERIFY(!bytes.contains("ForTesting"));
    // B keeps its index at save time; loading renumbers it to 2.
    QVERIFY(bytes.contains("\"B\"           \"B\"            3 \r\n"));
    Catalog loaded;
    OpenFileList(QByteArrayView(bytes), loaded, [](const QString &) { return true; });
    QCOMPARE(loaded.tree().nodeCount(), 2);
    QCOMPARE(loaded.records().at(0), QStringLiteral("/b.jpg/2>"));
}

void TestCatalogFileWriter::secondTemporaryNameIsKeptWithCountRight()
{
    Catalog catalog;
    const int user = catalog.tree().addRoot(QStringLiteral("Mine"));
    catalog.tree().addChild(user, Catalog::kTemporaryName); // an old catalog's sub-category
    catalog.tree().addRoot(Catalog::kTemporaryName); // the system category
    catalog.records().append(MakeFileRecord(QStringLiteral("/kept.jpg"), 2, QString()));
    catalog.records().append(MakeFileRecord(QStringLiteral("/scan.jpg"), 3, QString()));
    const QByteArray bytes = written(catalog);
    const QList<QByteArray> lines = bytes.split('\n');
    QCOMPARE(lines.first(), QByteArray(" 2 \r"));
    QVERIFY(bytes.contains("/kept.jpg"));
    QVERIFY(!bytes.contains("/scan.jpg"));
    Catalog loaded;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(bytes), loaded, [](const QString &) { return true; });
    QVERIFY(!report.stop);
    QCOMPARE(loaded.tree().nodeCount(), 2);
    QCOMPARE(loaded.records().size(), 1);
}

void TestCatalogFileWriter::roundTripIsIdentical()
{
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    const int photos = tree.addRoot(QStringLiteral("Photos"));
    tree.addRoot(QStringLiteral("Music, old and new"));
    const int holidays = tree.addChild(photos, QStringLiteral("Holidays"));
    tree.addChild(holidays, QStringLiteral("2004"));
    tree.addRoot(QStringLiteral("Photos")); // duplicate names are allowed
    tree.addChild(5, QStringLiteral("Ünïcödé"));
    catalog.records().append(MakeFileRecord(QStringLiteral("/home/ann/Bilder/straße.jpg"), 4, QStringLiteral("beach, sun")));
    catalog.records().append(MakeFileRecord(QStringLiteral("/home/ann/music/a b.mp3"), 2, QString()));
    catalog.records().append(MakeFileRecord(QStringLiteral("/home/ann/x.png"), 6, QStringLiteral("x")));
    catalog.records().append(MakeFileRecord(QStringLiteral("/home/ann/orphan.png"), 77, QString()));

    const QByteArray first = written(catalog);
    Catalog loaded;
    const CatalogLoadReport report = OpenFileList(QByteArrayView(first), loaded, [](const QString &) { return true; });
    QVERIFY(!report.stop);
    QCOMPARE(loaded.tree().nodeCount(), 6);
    for (int i = 1; i <= 6; ++i)
        QCOMPARE(loaded.tree().fullPath(i), catalog.tree().fullPath(i));
    QCOMPARE(loaded.records().size(), catalog.records().size());
    for (int i = 0; i < catalog.records().size(); ++i)
        QCOMPARE(loaded.records().at(i), catalog.records().at(i));
    QCOMPARE(written(loaded), first);
    QVERIFY(loaded.FileListSaved());
}

void TestCatalogFileWriter::unstorableCharactersCannotCorruptTheFile()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("Say \"cheese\""));
    catalog.tree().addRoot(QStringLiteral("Two\r\nlines"));
    catalog.records().append(MakeFileRecord(QStringLiteral("/a.jpg"), 2, QStringLiteral("a \"quoted\" word")));
    Catalog loaded;
    const QByteArray bytes = written(catalog);
    QVERIFY(!OpenFileList(QByteArrayView(bytes), loaded, [](const QString &) { return true; }).stop);
    QCOMPARE(loaded.tree().nodeCount(), 2);
    QCOMPARE(loaded.tree().node(1)->name, QStringLiteral("Say 'cheese'"));
    QCOMPARE(loaded.tree().node(2)->name, QStringLiteral("Two  lines"));
    QCOMPARE(loaded.records().at(0), QStringLiteral("/a.jpg/2>a 'quoted' word"));
}

void TestCatalogFileWriter::writeFailureIsReported()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("A"));
    for (int i = 0; i < 50000; ++i)
        catalog.records().append(MakeFileRecord(QStringLiteral("/some/long/path/file%1.jpg").arg(i), 1, QString()));
    FailingDevice device(4096);
    const auto error = CatalogFileWriter(catalog, -1).write(device);
    QVERIFY(error.has_value());
    QCOMPARE(error->description, QStringLiteral("No space left on device"));
}

void TestCatalogFileWriter::fullDiskLeavesOldFileUntouched_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("filler"); // bytes taken on the disk beforehand
    // A large catalog fails in a direct write; a small one only when the buffered
    // tail is flushed, which a commit alone would not notice.
    QTest::newRow("large catalog") << 20000 << 0;
    QTest::newRow("small tail in the buffer") << 150 << 56 * 1024;
}

void TestCatalogFileWriter::fullDiskLeavesOldFileUntouched()
{
    QFETCH(int, records);
    QFETCH(int, filler);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString mountPoint = dir.filePath(QStringLiteral("small"));
    QDir().mkpath(mountPoint);
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint}) != 0)
        QSKIP("cannot mount a small tmpfs here (needs root)");
    auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mountPoint}); });

    const QString path = mountPoint + QStringLiteral("/catalog.kvd");
    const QByteArray old = " 0 \r\n";
    TestFiles::createFile(path, old);
    if (filler > 0)
        TestFiles::createFile(mountPoint + QStringLiteral("/filler"), QByteArray(filler, 'x'));

    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("A"));
    for (int i = 0; i < records; ++i)
        catalog.records().append(MakeFileRecord(QStringLiteral("/a/long/enough/path/file%1.jpg").arg(i), 1, QString()));
    const auto error = CatalogFileWriter(catalog, -1).saveTo(path);
    QVERIFY(error.has_value());
    QCOMPARE(TestFiles::readFile(path), old);
    QStringList expectedFiles{QStringLiteral("catalog.kvd")};
    if (filler > 0)
        expectedFiles.append(QStringLiteral("filler"));
    QCOMPARE(QDir(mountPoint).entryList(QDir::Files), expectedFiles);
}

QTEST_GUILESS_MAIN(TestCatalogFileWriter)
#include "tst_catalogfilewriter.moc"
