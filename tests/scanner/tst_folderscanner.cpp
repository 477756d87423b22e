#include "FileNameRules.h"
#include "FolderScanner.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <functional>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(std::vector<ScanPass>)

namespace {

const std::vector<ScanPass> kJpgOnly = {{"jpg", false}};

ScanResult scan(const QString &folder, bool includeSubfolders, const std::vector<ScanPass> &passes)
{
    FolderScanner scanner({folder, includeSubfolders, passes});
    scanner.run();
    return scanner.takeResult();
}

QStringList relativePaths(const ScanResult &result, const QString &root)
{
    QStringList paths;
    for (const FoundFile &file : result.files)
        paths.append(QDir(root).relativeFilePath(file.path));
    return paths;
}

// The scan as one walk per pass, each file and subfolder taken in listing order:
// the start folder first, then below it depth first, subfolders before a folder's files.
class PassByPassScan
{
public:
    std::vector<FoundFile> run(const QString &folder, bool includeSubfolders, const std::vector<ScanPass> &passes)
    {
        m_found.clear();
        for (const ScanPass &pass : passes) {
            scanFolder(folder, pass);
            if (includeSubfolders)
                scanSubFolder(folder, pass);
        }
        return m_found;
    }

private:
    static QStringList listed(const QString &folder, QDir::Filters filter)
    {
        QStringList names
            = QDir(folder).entryList(filter | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
        std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            return FileNameRules::listsBefore(a.toStdString(), b.toStdString());
        });
        return names;
    }

    void scanFolder(const QString &folder, const ScanPass &pass)
    {
        for (const QString &name : listed(folder, QDir::Files)) {
            if (ScanPasses::matches(pass, FileNameRules::extensionOf(QStringView(name))))
                m_found.push_back(
                    {folder + '/' + name, FileNameRules::rowName(name), FileNameRules::rowExtension(name)});
        }
    }

    void scanSubFolder(const QString &folder, const ScanPass &pass)
    {
        for (const QString &name : listed(folder, QDir::Dirs | QDir::NoSymLinks)) {
            scanSubFolder(folder + '/' + name, pass);
            scanFolder(folder + '/' + name, pass);
        }
    }

    std::vector<FoundFile> m_found;
};

void createTree(const QString &root, int seed)
{
    static const QStringList fileNames = {
        "IMG_0001.JPG", "img_0002.jpg", "a.tar.gz",
        ".hidden.png",  "README",       "notes.",
        "Song.Mp3",     "x.PNG",        QString::fromUtf8("Été.jpg"),
        "clip.avi",     "b.jpg",        "B.JPG",
        "_first.jpg",   "Z.png",
    };
    static const QStringList folderNames = {"Alpha", "alpha2", "beta", "_under", "Zed", "mid.jpg"};
    QRandomGenerator random{quint32(seed)};
    std::function<void(const QString &, int)> fill = [&](const QString &folder, int depth) {
        QDir().mkpath(folder);
        for (const QString &name : fileNames) {
            if (random.bounded(3) != 0)
                TestFiles::createFile(folder + '/' + name);
        }
        if (depth == 3)
            return;
        for (const QString &name : folderNames) {
            if (random.bounded(2) == 0)
                fill(folder + '/' + name, depth + 1);
        }
    };
    fill(root, 0);
}

bool sameFiles(const std::vector<FoundFile> &a, const std::vector<FoundFile> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const FoundFile &x, const FoundFile &y) {
        return x.path == y.path && x.name == y.name && x.extension == y.extension;
    });
}

} // namespace

class TestFolderScanner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void matchingOnDisk_data();
    void matchingOnDisk();
    void rowCellsOfAFoundFile();
    void foldersBelowComeDepthFirstAfterTheStartFolder();
    void withoutSubfoldersOnlyTheStartFolder();
    void passOrderThenFolderOrder();
    void oneWalkGivesWhatAWalkPerPassGives_data();
    void oneWalkGivesWhatAWalkPerPassGives();
    void emptyPathIsNoScan();
    void missingFolderStillCountsAsAScan();
    void folderThatCannotBeListedIsSkipped();
    void folderThatVanishesIsSkipped();
    void linksToFoldersAreNotFollowed();
    void pathsACatalogCannotHoldAreLeftOutAndCounted();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
};

void TestFolderScanner::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path() + QStringLiteral("/M");
    QVERIFY(QDir().mkpath(m_root));
}

void TestFolderScanner::matchingOnDisk_data()
{
    QTest::addColumn<std::vector<ScanPass>>("passes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("jpg finds upper case, not jpeg")
        << std::vector<ScanPass>{{"jpg", false}} << QStringList{"Beach.JPG", "x.jpg"};
    QTest::newRow("gz, not tar") << std::vector<ScanPass>{{"gz", false}} << QStringList{"archive.tar.gz"};
    QTest::newRow("tar finds nothing") << std::vector<ScanPass>{{"tar", false}} << QStringList{};
    QTest::newRow("leading dot") << std::vector<ScanPass>{{"PROFILE", false}} << QStringList{".profile"};
    QTest::newRow("empty extension") << std::vector<ScanPass>{{"", false}} << QStringList{"notes.", "README"};
    QTest::newRow("all-files mode") << std::vector<ScanPass>{{"*", true}}
                                    << QStringList{".profile", "archive.tar.gz", "Beach.JPG", "photo.jpeg", "x.jpg"};
    QTest::newRow("star outside all-files mode")
        << std::vector<ScanPass>{{"*", false}}
        << QStringList{".profile", "archive.tar.gz", "Beach.JPG", "notes.", "photo.jpeg", "README", "x.jpg"};
}

void TestFolderScanner::matchingOnDisk()
{
    QFETCH(std::vector<ScanPass>, passes);
    QFETCH(QStringList, expected);
    for (const char *name : {"Beach.JPG", "x.jpg", "photo.jpeg", "archive.tar.gz", ".profile", "notes.", "README"})
        QVERIFY(!TestFiles::createFile(m_root + '/' + name).isEmpty());
    QDir().mkpath(m_root + QStringLiteral("/folder.jpg"));
    QCOMPARE(relativePaths(scan(m_root, true, passes), m_root), expected);
}

void TestFolderScanner::rowCellsOfAFoundFile()
{
    TestFiles::createFile(m_root + QStringLiteral("/Beach.JPG"));
    TestFiles::createFile(m_root + QStringLiteral("/.profile"));
    const ScanResult result = scan(m_root + '/', false, {{"jpg", false}, {"profile", false}});
    QCOMPARE(int(result.files.size()), 2);
    QCOMPARE(result.files[0].path, m_root + QStringLiteral("/Beach.JPG"));
    QCOMPARE(result.files[0].name, QStringLiteral("beach"));
    QCOMPARE(result.files[0].extension, QStringLiteral("jpg"));
    QCOMPARE(result.files[1].name, QString());
    QCOMPARE(result.files[1].extension, QStringLiteral("profile"));
}

void TestFolderScanner::foldersBelowComeDepthFirstAfterTheStartFolder()
{
    for (const char *path : {"m.jpg", "A/a.jpg", "A/A1/a1.jpg", "A/A2/a2.jpg", "B/b.jpg"})
        TestFiles::createFile(m_root + '/' + path);
    QCOMPARE(relativePaths(scan(m_root, true, kJpgOnly), m_root),
             (QStringList{"m.jpg", "A/A1/a1.jpg", "A/A2/a2.jpg", "A/a.jpg", "B/b.jpg"}));
}

void TestFolderScanner::withoutSubfoldersOnlyTheStartFolder()
{
    for (const char *path : {"m.jpg", "A/a.jpg", "B/b.jpg"})
        TestFiles::createFile(m_root + '/' + path);
    const ScanResult result = scan(m_root, false, kJpgOnly);
    QCOMPARE(relativePaths(result, m_root), QStringList{"m.jpg"});
    QCOMPARE(result.foldersVisited, 1);
}

void TestFolderScanner::passOrderThenFolderOrder()
{
    for (const char *path : {"x.png", "y.jpg", "A/z.jpg", "A/w.PNG", "A/v.txt"})
        TestFiles::createFile(m_root + '/' + path);
    const ScanResult result = scan(m_root, true, {{"jpg", false}, {"png", false}, {"jpg", false}});
    QCOMPARE(relativePaths(result, m_root), (QStringList{"y.jpg", "A/z.jpg", "x.png", "A/w.PNG", "y.jpg", "A/z.jpg"}));
}

void TestFolderScanner::oneWalkGivesWhatAWalkPerPassGives_data()
{
    QTest::addColumn<int>("seed");
    QTest::addColumn<bool>("includeSubfolders");
    QTest::addColumn<std::vector<ScanPass>>("passes");

    const std::vector<ScanPass> media = {{"avi", false}, {"jpg", false}, {"mp3", false}, {"png", false}};
    QTest::newRow("media passes, whole tree") << 1 << true << media;
    QTest::newRow("media passes, start folder only") << 2 << false << media;
    QTest::newRow("all files") << 3 << true << std::vector<ScanPass>{{"*", true}};
    QTest::newRow("star among other passes")
        << 4 << true << std::vector<ScanPass>{{"png", false}, {"*", false}, {"", false}, {"JPG", false}};
    QTest::newRow("duplicate passes") << 5 << true
                                      << std::vector<ScanPass>{{"jpg", false}, {"gz", false}, {"Jpg", false}};
}

void TestFolderScanner::oneWalkGivesWhatAWalkPerPassGives()
{
    QFETCH(int, seed);
    QFETCH(bool, includeSubfolders);
    QFETCH(std::vector<ScanPass>, passes);
    createTree(m_root, seed);
    const std::vector<FoundFile> expected = PassByPassScan().run(m_root, includeSubfolders, passes);
    QVERIFY(expected.size() > 3);
    const ScanResult result = scan(m_root, includeSubfolders, passes);
    QVERIFY(sameFiles(result.files, expected));
    QCOMPARE(result.leftOutCount, 0);
    QCOMPARE(result.unreadableFolderCount, 0);
}

void TestFolderScanner::emptyPathIsNoScan()
{
    const ScanResult result = scan(QString(), true, kJpgOnly);
    QVERIFY(result.files.empty());
    QVERIFY(!result.marksCatalogChanged);
    QCOMPARE(result.foldersVisited, 0);
    QVERIFY(!scan(m_root, true, {}).marksCatalogChanged);
}

void TestFolderScanner::missingFolderStillCountsAsAScan()
{
    const ScanResult result = scan(m_root + QStringLiteral("/nowhere"), true, kJpgOnly);
    QVERIFY(result.files.empty());
    QVERIFY(result.marksCatalogChanged);
    QCOMPARE(result.unreadableFolderCount, 1);
}

void TestFolderScanner::folderThatCannotBeListedIsSkipped()
{
    for (const char *path : {"m.jpg", "A/a.jpg", "A/A1/a1.jpg", "B/b.jpg"})
        TestFiles::createFile(m_root + '/' + path);
    const QString locked = m_root + QStringLiteral("/A");
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    const bool deniedToUs = !QDir(locked).isReadable();
    const ScanResult result = scan(m_root, true, kJpgOnly);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!deniedToUs)
        QSKIP("Permissions do not keep this user out (running as root); folderThatVanishesIsSkipped covers the walk");
    QCOMPARE(relativePaths(result, m_root), (QStringList{"m.jpg", "B/b.jpg"}));
    QCOMPARE(result.unreadableFolderCount, 1);
}

void TestFolderScanner::folderThatVanishesIsSkipped()
{
    for (const char *path : {"m.jpg", "A/a.jpg", "A/A1/a1.jpg", "B/b.jpg", "C/c.jpg"})
        TestFiles::createFile(m_root + '/' + path);
    const QString doomed = m_root + QStringLiteral("/B");
    FolderScanner scanner({m_root, true, kJpgOnly});
    // Progress names each folder just before it is opened: remove B at that moment.
    scanner.setProgressCallback(
        [&](const ScanProgress &progress) {
            if (progress.currentFolder == doomed)
                QDir(doomed).removeRecursively();
        },
        std::chrono::milliseconds(0));
    scanner.run();
    QVERIFY(!QFileInfo::exists(doomed));
    QCOMPARE(relativePaths(scanner.result(), m_root), (QStringList{"m.jpg", "A/A1/a1.jpg", "A/a.jpg", "C/c.jpg"}));
    QCOMPARE(scanner.result().unreadableFolderCount, 1);
}

void TestFolderScanner::linksToFoldersAreNotFollowed()
{
#ifndef Q_OS_UNIX
    QSKIP("Symbolic links need Unix here");
#endif
    TestFiles::createFile(m_root + QStringLiteral("/A/a.jpg"));
    QVERIFY(QFile::link(m_root, m_root + QStringLiteral("/A/loop")));
    QVERIFY(QFile::link(m_root + QStringLiteral("/A"), m_root + QStringLiteral("/folder-link.jpg")));
    QVERIFY(QFile::link(m_root + QStringLiteral("/A/a.jpg"), m_root + QStringLiteral("/file-link.jpg")));
    QVERIFY(QFile::link(m_root + QStringLiteral("/gone.jpg"), m_root + QStringLiteral("/dangling.jpg")));
    const ScanResult result = scan(m_root, true, {{"*", true}});
    QCOMPARE(relativePaths(result, m_root), (QStringList{"file-link.jpg", "A/a.jpg"}));
    QCOMPARE(result.foldersVisited, 2);
}

void TestFolderScanner::pathsACatalogCannotHoldAreLeftOutAndCounted()
{
#ifndef Q_OS_UNIX
    QSKIP("Such names cannot be created here");
#else
    const QByteArray root = QFile::encodeName(m_root);
    const auto createRaw = [&](const QByteArray &relative) {
        const int fd = ::open((root + '/' + relative).constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY2(fd >= 0, relative.constData());
        ::close(fd);
    };
    // QDir cannot remove what it cannot name, so these go by their bytes.
    const auto removeRawNames = qScopeGuard([&] {
        for (const char *name : {"/latin\xe9.jpg", "/bad\xff/z.jpg", "/bad\xff"})
            ::remove((root + name).constData());
    });
    QVERIFY(::mkdir((root + "/Sub\"Folder").constData(), 0755) == 0);
    QVERIFY(::mkdir((root + "/bad\xff").constData(), 0755) == 0);
    for (const QByteArray &name :
         {QByteArray("fine.jpg"), QByteArray("quo\"te.jpg"), QByteArray("line\nbreak.jpg"),
          QByteArray("carriage\rreturn.jpg"), QByteArray("latin\xe9.jpg"), QByteArray("\xc3\xa9t\xc3\xa9.jpg"),
          QByteArray("quo\"te.txt"), QByteArray("Sub\"Folder/x.jpg"), QByteArray("Sub\"Folder/y.jpg"),
          QByteArray("bad\xff/z.jpg")})
        createRaw(name);

    const ScanResult result = scan(m_root, true, kJpgOnly);
    QCOMPARE(relativePaths(result, m_root), (QStringList{"fine.jpg", QString::fromUtf8("été.jpg")}));
    for (const FoundFile &file : result.files)
        QVERIFY2(QFileInfo::exists(file.path), qPrintable(file.path));
    // Four names in the start folder, two files below a quoted folder, one below a
    // folder whose name is not UTF-8; the .txt was never wanted.
    QCOMPARE(result.leftOutCount, 7);
    QCOMPARE(result.leftOutExamples.size(), 7);
#endif
}

QTEST_GUILESS_MAIN(TestFolderScanner)
#include "tst_folderscanner.moc"
