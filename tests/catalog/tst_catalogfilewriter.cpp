#include "CatalogTestSupport.h"
#include "TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

class TestCatalogFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyCatalogIsOneLine();
    void zonePadding_data();
    void zonePadding();
    void categoryAndFileLines();
    void linesAReaderPlacesRight_data();
    void linesAReaderPlacesRight();
    void unstorableCharactersCannotCorruptTheFile();
    void systemErrorsAsNumbered_data();
    void systemErrorsAsNumbered();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void replacedFileKeepsPermissionsAndOwner();
    void savesOnlyToRegularFiles_data();
    void savesOnlyToRegularFiles();
    void leftoversOfKilledSavesAreRemoved();
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

void TestCatalogFileWriter::linesAReaderPlacesRight_data()
{
    // Nodes as "parent index:name" in index order, 0 for the top level.
    QTest::addColumn<QStringList>("nodes");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("-1 without a system category is kept")
        << QStringList{"0:A"} << QStringList{"/a.jpg/-1>", "/b.jpg/1>"}
        << QByteArray(" 1 \r\n\"A\"           \"A\"            1 \r\n\"/a.jpg\"      -1            \"\"\r\n"
                      "\"/b.jpg\"      1             \"\"\r\n");
    QTest::newRow("-1 beside a system category is kept")
        << QStringList{"0:Temporary"} << QStringList{"/a.jpg/-1>", "/t.jpg/1>"}
        << QByteArray(" 0 \r\n\"/a.jpg\"      -1            \"\"\r\n");
    // In index order the reader would hang Holiday under the later Pictures.
    QTest::newRow("a sub-category goes before another category of its parent's name")
        << QStringList{"0:Pictures", "0:Work", "2:Pictures", "1:Holiday"} << QStringList{"/h.jpg/4>", "/w.jpg/3>"}
        << QByteArray(" 4 \r\n\"Pictures\"    \"Pictures\"     1 \r\n"
                      "\"Holiday\"     \"Pictures\\Holiday\"           2 \r\n"
                      "\"Work\"        \"Work\"         3 \r\n\"Pictures\"    \"Work\\Pictures\"              4 \r\n"
                      "\"/h.jpg\"      2             \"\"\r\n\"/w.jpg\"      4             \"\"\r\n");
    QTest::newRow("the same, numbered around the system category")
        << QStringList{"0:Pictures", "0:Temporary", "0:Work", "3:Pictures", "1:Holiday"}
        << QStringList{"/h.jpg/5>", "/t.jpg/2>", "/w.jpg/4>"}
        << QByteArray(" 4 \r\n\"Pictures\"    \"Pictures\"     1 \r\n"
                      "\"Holiday\"     \"Pictures\\Holiday\"           2 \r\n"
                      "\"Work\"        \"Work\"         3 \r\n\"Pictures\"    \"Work\\Pictures\"              4 \r\n"
                      "\"/h.jpg\"      2             \"\"\r\n\"/w.jpg\"      4             \"\"\r\n");
}

void TestCatalogFileWriter::linesAReaderPlacesRight()
{
    QFETCH(QStringList, nodes);
    QFETCH(QStringList, records);
    Catalog catalog;
    for (const QString &node : nodes) {
        const int parent = node.section(QLatin1Char(':'), 0, 0).toInt();
        const QString name = node.section(QLatin1Char(':'), 1);
        parent ? catalog.tree().addChild(parent, name) : catalog.tree().addRoot(name);
    }
    CatalogTest::fill(catalog, records);
    QTEST(written(catalog), "expected");
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

void TestCatalogFileWriter::savesOnlyToRegularFiles_data()
{
    QTest::addColumn<QString>("target"); // what the link "c.kvd" leads to: "file", "pipe", "device", a path, or "none"
    QTest::addColumn<bool>("sharedFolder"); // the link sits in a sticky folder every user may write to
    QTest::addColumn<bool>("othersLink"); // and belongs to another user
    QTest::addColumn<QString>("refusal"); // empty: saved to the file the link leads to
    QTest::newRow("a link to a file") << "file" << false << false << "";
    QTest::newRow("a link to a named pipe") << "pipe" << false << false << "a named pipe is not a file";
    QTest::newRow("a link to a device") << "device" << false << false << "a device is not a file";
    QTest::newRow("a link to a folder") << "/" << false << false << "a folder is not a file";
    QTest::newRow("a link to nothing") << "none" << false << false << "it is a link to a file that does not exist";
    QTest::newRow("the user's own link in a shared folder") << "file" << true << false << "";
    QTest::newRow("another user's link in a shared folder")
        << "file" << true << true << "it is a link another user made in a folder every user can write to";
}

void TestCatalogFileWriter::savesOnlyToRegularFiles()
{
    QFETCH(QString, target);
    QFETCH(bool, sharedFolder);
    QFETCH(bool, othersLink);
    QFETCH(QString, refusal);
    if ((othersLink || target == "device") && ::geteuid() != 0)
        QSKIP("only root can give a link to another user or make a device");
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkpath(folder));
    if (sharedFolder)
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 01777) == 0);
    QString leadsTo = target;
    if (target == "file" || target == "none") {
        leadsTo = dir.filePath(QStringLiteral("victim.kvd"));
        if (target == "file")
            TestFiles::createFile(leadsTo, "old");
    } else if (target == "pipe") {
        leadsTo = dir.filePath(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(leadsTo).constData(), 0600) == 0);
    } else if (target == "device") {
        // A null device of the test's own: a save that went wrong must not hit the system's.
        leadsTo = dir.filePath(QStringLiteral("null"));
        if (::mknod(QFile::encodeName(leadsTo).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("devices cannot be made here");
    }
    const QString link = folder + QStringLiteral("/c.kvd");
    QVERIFY(QFile::link(leadsTo, link));
    if (othersLink)
        QVERIFY(::lchown(QFile::encodeName(link).constData(), 65534, 65534) == 0);
    struct stat before;
    const bool existed = ::stat(QFile::encodeName(leadsTo).constData(), &before) == 0;

    Catalog catalog;
    const auto error = CatalogFileWriter(catalog, -1).saveTo(link);
    QCOMPARE(error ? error->description : QString(),
             refusal.isEmpty() ? QString() : "Path/File access error (" + refusal + ")");
    QCOMPARE(FileAccess::saveTarget(link).refusal.value_or(QString()), refusal);
    QVERIFY(QFileInfo(link).isSymLink()); // the link itself is never replaced
    struct stat after;
    QCOMPARE(::stat(QFile::encodeName(leadsTo).constData(), &after) == 0, existed);
    if (refusal.isEmpty())
        QCOMPARE(TestFiles::readFile(leadsTo), QByteArray(" 0 \r\n"));
    else if (existed)
        QVERIFY(after.st_ino == before.st_ino && after.st_mode == before.st_mode); // the very same, untouched
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"c.kvd"});
}

void TestCatalogFileWriter::leftoversOfKilledSavesAreRemoved()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.kvd"));
    TestFiles::createFile(path, "old");
    const QStringList dead{".c.kvd.1x2y3z.new", ".c.kvd.k.new"};
    const QStringList others{".c.kvd.ABC.new", ".c.kvd..new", ".d.kvd.abc.new", "c.kvd.abc.new", ".c.kvd.abc.new.txt"};
    for (const QString &name : dead + others)
        TestFiles::createFile(dir.filePath(name), "half");
    ReplacingFile running(path); // a save under way in another window or process
    QCOMPARE(running.begin(), std::nullopt);
    const QStringList withRunning = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    // And one that is killed half-way, as kill -9 does.
    const pid_t child = ::fork();
    if (child == 0) {
        ReplacingFile killed(path);
        if (!killed.begin() && killed.write("half", 4) == 4)
            ::pause();
        ::_exit(1);
    }
    QTRY_COMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), withRunning.size() + 1);
    ::kill(child, SIGKILL);
    QCOMPARE(::waitpid(child, nullptr, 0), child);

    Catalog catalog;
    QCOMPARE(CatalogFileWriter(catalog, -1).saveTo(path), std::nullopt);
    QStringList expected = withRunning;
    for (const QString &name : dead)
        expected.removeOne(name);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), expected);
    QCOMPARE(TestFiles::readFile(path), QByteArray(" 0 \r\n"));
}

QTEST_GUILESS_MAIN(TestCatalogFileWriter)
#include "tst_catalogfilewriter.moc"
