#include "CatalogTestSupport.h"
#include "TestFiles.h"

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
    void unstorableCharactersCannotCorruptTheFile();
    void systemErrorsAsNumbered_data();
    void systemErrorsAsNumbered();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void replacedFileKeepsPermissionsAndOwner();
};

using CatalogTest::written;

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
    // Only the top-level "Temporary" is the system category, left out with its files; an
    // older catalog's sub-category of that name is the user's and is saved with its files.
    Catalog catalog;
    CategoryTree &tree = catalog.tree();
    tree.addChild(tree.addChild(tree.addRoot(QStringLiteral("Photos")), QStringLiteral("Beach")),
                  QStringLiteral("Sand"));
    tree.addRoot(Catalog::kTemporaryName);
    tree.addChild(1, Catalog::kTemporaryName);
    tree.addRoot(QStringLiteral("Music"));
    CatalogTest::fill(catalog, {kSentinelRecord, "/home/a/x.jpg/3>sun sea", "/t.jpg/4>", "/home/a/y.jpg/1>",
                                "/kept.jpg/5>", "/m.mp3/6>"});
    // A sub-category stores its parent's name and its own; indexes are written as held, the load renumbers.
    const QByteArray expected = " 5 \r\n"
                                "\"Photos\"      \"Photos\"       1 \r\n"
                                "\"Beach\"       \"Photos\\Beach\"               2 \r\n"
                                "\"Sand\"        \"Beach\\Sand\"   3 \r\n"
                                "\"Temporary\"   \"Photos\\Temporary\"           5 \r\n"
                                "\"Music\"       \"Music\"        6 \r\n"
                                "\"/home/a/x.jpg\"             3             \"sun sea\"\r\n"
                                "\"/home/a/y.jpg\"             1             \"\"\r\n"
                                "\"/kept.jpg\"   5             \"\"\r\n"
                                "\"/m.mp3\"      6             \"\"\r\n";
    QCOMPARE(written(catalog), expected);
}

void TestCatalogFileWriter::unstorableCharactersCannotCorruptTheFile()
{
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("Say \"cheese\""));
    catalog.tree().addRoot(QStringLiteral("Two\r\nlines"));
    catalog.records().append(MakeFileRecord(QStringLiteral("/a.jpg"), 2, QStringLiteral("a \"quoted\" word")));
    Catalog loaded;
    const QByteArray bytes = written(catalog);
    QVERIFY(!OpenFileList(QByteArrayView(bytes), loaded, CatalogTest::kAllExist).stop);
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
