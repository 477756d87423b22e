#include "Catalog.h"
#include "CatalogFileWriter.h"
#include "FileRecord.h"
#include "OpenFileList.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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
    void unstorableCharactersCannotCorruptTheFile();
    void systemErrorsAsNumbered_data();
    void systemErrorsAsNumbered();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void replacedFileKeepsPermissionsAndOwner();
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
    QTest::newRow("a character beyond ASCII") << QStringLiteral("é") << 11;
    QTest::newRow("a character beyond 16 bits counts once") << QStringLiteral("\U0001D11E") << 11;
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
    // Only the top-level "Temporary" is the system category; an older catalog's
    // sub-category of that name is the user's and is saved with its files.
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("A"));
    catalog.tree().addRoot(Catalog::kTemporaryName);
    catalog.tree().addRoot(QStringLiteral("B"));
    catalog.tree().addChild(1, Catalog::kTemporaryName);
    for (const QString &record : {kSentinelRecord, QStringLiteral("/t.jpg/2>"), QStringLiteral("/b.jpg/3>"), QStringLiteral("/kept.jpg/4>")})
        catalog.records().append(record);
    // B and the sub-category keep their indexes at save time; loading renumbers them.
    const QByteArray bytes = written(catalog);
    QCOMPARE(bytes, QByteArray(" 3 \r\n"
                               "\"A\"           \"A\"            1 \r\n"
                               "\"B\"           \"B\"            3 \r\n"
                               "\"Temporary\"   \"A\\Temporary\"  4 \r\n"
                               "\"/b.jpg\"      3             \"\"\r\n"
                               "\"/kept.jpg\"   4             \"\"\r\n"));
    Catalog loaded;
    QVERIFY(!OpenFileList(QByteArrayView(bytes), loaded, [](const QString &) { return true; }).stop);
    QCOMPARE(loaded.tree().fullPath(3), QStringLiteral("A\\Temporary"));
    QCOMPARE(loaded.records().at(0), QStringLiteral("/b.jpg/2>"));
    QCOMPARE(loaded.records().at(1), QStringLiteral("/kept.jpg/3>"));
    QCOMPARE(loaded.TemporaryIndex(), -1);
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

void TestCatalogFileWriter::systemErrorsAsNumbered_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("ENOSPC") << ENOSPC << 61 << "Disk full";
    QTest::newRow("EDQUOT") << EDQUOT << 61 << "Disk full";
    QTest::newRow("EACCES") << EACCES << 70 << "Permission denied";
    QTest::newRow("EPERM") << EPERM << 70 << "Permission denied";
    QTest::newRow("EROFS") << EROFS << 70 << "Permission denied";
    QTest::newRow("ENOENT") << ENOENT << 76 << "Path not found";
    QTest::newRow("ENOTDIR") << ENOTDIR << 76 << "Path not found";
    QTest::newRow("EIO") << EIO << 75 << "Path/File access error (Input/output error)";
    QTest::newRow("EISDIR") << EISDIR << 75 << "Path/File access error (Is a directory)";
}

void TestCatalogFileWriter::systemErrorsAsNumbered()
{
    QFETCH(int, error);
    const CatalogFileError mapped = FileAccess::errorFromErrno(error);
    QTEST(mapped.number, "number");
    QTEST(mapped.description, "description");
}

namespace {

enum class Failure { FullDisk, MissingFolder, ReadOnlyFolder, SizeLimit };

} // namespace

void TestCatalogFileWriter::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("filler"); // bytes taken on the small disk beforehand
    QTest::addColumn<QString>("error");
    // A large catalog fails in a direct write; a small one only when the buffered
    // tail is written, which a rename alone would not notice.
    QTest::newRow("full disk, large catalog") << Failure::FullDisk << 20000 << 0 << "61 - Disk full";
    QTest::newRow("full disk, small tail") << Failure::FullDisk << 150 << 56 * 1024 << "61 - Disk full";
    QTest::newRow("missing folder") << Failure::MissingFolder << 10 << 0 << "76 - Path not found";
    QTest::newRow("read-only folder") << Failure::ReadOnlyFolder << 10 << 0 << "70 - Permission denied";
    QTest::newRow("file size limit") << Failure::SizeLimit << 20000 << 0 << "75 - Path/File access error (File too large)";
}

void TestCatalogFileWriter::failedSaveKeepsOldFile()
{
    QFETCH(Failure, failure);
    QFETCH(int, records);
    QFETCH(int, filler);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString folder = dir.filePath(QStringLiteral("f"));
    QDir().mkpath(folder);
    auto undo = qScopeGuard([&] {
        if (failure == Failure::FullDisk)
            QProcess::execute(QStringLiteral("umount"), {folder});
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (failure == Failure::FullDisk
        && (::geteuid() != 0 || QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", folder}) != 0))
        QSKIP("cannot mount a small tmpfs here (needs root)");
    if (failure == Failure::ReadOnlyFolder && ::geteuid() == 0)
        QSKIP("root writes into a read-only folder");
    const QByteArray old = " 0 \r\n";
    const QString path = (failure == Failure::MissingFolder ? folder + QStringLiteral("/gone") : folder) + QStringLiteral("/c.kvd");
    if (failure != Failure::MissingFolder)
        TestFiles::createFile(path, old);
    if (filler > 0)
        TestFiles::createFile(folder + QStringLiteral("/filler"), QByteArray(filler, 'x'));
    if (failure == Failure::ReadOnlyFolder)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);

    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("A"));
    for (int i = 0; i < records; ++i)
        catalog.records().append(MakeFileRecord(QStringLiteral("/a/long/enough/path/file%1.jpg").arg(i), 1, QString()));
    // A size limit makes the disk refuse the file part-way, even for root.
    struct rlimit oldLimit;
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &oldLimit) == 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = oldLimit;
    if (failure == Failure::SizeLimit)
        limit.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const auto error = CatalogFileWriter(catalog, -1).saveTo(path);
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    ::signal(SIGXFSZ, oldHandler);

    QVERIFY(error.has_value());
    QTEST(error->text(), "error");
    QCOMPARE(TestFiles::readFile(path), failure == Failure::MissingFolder ? QByteArray() : old);
    QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    left.removeOne(QStringLiteral("filler"));
    QCOMPARE(left, failure == Failure::MissingFolder ? QStringList{} : QStringList{QStringLiteral("c.kvd")});
}

void TestCatalogFileWriter::replacedFileKeepsPermissionsAndOwner()
{
    QTemporaryDir dir;
    const QString path = TestFiles::createFile(dir.filePath(QStringLiteral("c.kvd")), "old");
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
    const bool root = ::geteuid() == 0;
    constexpr uid_t kNobody = 65534;
    if (root)
        QVERIFY(::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0);
    Catalog catalog;
    QCOMPARE(CatalogFileWriter(catalog, -1).saveTo(path), std::nullopt);
    QCOMPARE(TestFiles::readFile(path), QByteArray(" 0 \r\n"));
    struct stat status;
    QVERIFY(::stat(QFile::encodeName(path).constData(), &status) == 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0444));
    if (root)
        QCOMPARE(status.st_uid, kNobody);
}

QTEST_GUILESS_MAIN(TestCatalogFileWriter)
#include "tst_catalogfilewriter.moc"
