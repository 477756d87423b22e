#include "FileNameRules.h"
#include "FolderScanner.h"
#include "ScanJob.h"
#include "TestFiles.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <chrono>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <thread>
#endif

Q_DECLARE_METATYPE(std::vector<ScanPass>)

namespace {

const std::vector<ScanPass> kJpgOnly = {{"jpg", false}};

void createFiles(const QString &root, std::initializer_list<const char *> paths)
{
    for (const char *path : paths)
        QVERIFY2(!TestFiles::createFile(root + '/' + path).isEmpty(), path);
}

// `folders` folders below the root, each holding `files` .jpg files.
void createFolders(const QString &root, int folders, int files)
{
    for (int d = 0; d < folders; ++d) {
        for (int f = 0; f < files; ++f)
            TestFiles::createFile(root + QStringLiteral("/d%1/f%2.jpg").arg(d).arg(f));
    }
}

ScanResult scan(const QString &folder, bool includeSubfolders, const std::vector<ScanPass> &passes)
{
    FolderScanner scanner({folder, includeSubfolders, passes});
    scanner.run();
    return scanner.takeResult();
}

// The paths below the root; a path spelt otherwise stays whole.
QStringList relativePaths(const FoundFiles &files, const QString &root)
{
    QStringList paths;
    for (const FoundFile &file : files)
        paths.append(file.path.startsWith(root + '/') ? file.path.mid(root.size() + 1) : file.path);
    return paths;
}

// Runs the work on a thread of its own whose file-system rights are those of "nobody", so
// that permission tests hold when the tests run as root too.
template<typename Work>
auto asUnprivilegedUser(Work work)
{
#ifdef Q_OS_LINUX
    if (::geteuid() == 0) {
        decltype(work()) result;
        // The file-system user id is per thread; leaving 0 drops the rights to override
        // permissions.
        std::thread thread([&] {
            ::setfsuid(65534);
            ::setfsgid(65534);
            result = work();
        });
        thread.join();
        return result;
    }
#endif
    return work();
}

} // namespace

// The walk on disk, what it leaves out, and its cancel.
class TestFolderScanner : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
    // Mounts made by the test stay in a namespace of its own.
    bool m_privateMounts = false;

private Q_SLOTS:
    void initTestCase()
    {
#ifdef Q_OS_LINUX
        m_privateMounts = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
#endif
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + QStringLiteral("/M");
        QVERIFY(QDir().mkpath(m_root));
    }

    void find_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("includeSubfolders");
        QTest::addColumn<std::vector<ScanPass>>("passes");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("foldersVisited");
        QTest::addColumn<int>("unreadableFolders");
        QTest::addColumn<bool>("marksChanged");

        const QStringList jpgs{"m.jpg", "A/A1/a1.jpg", "A/A2/a2.jpg", "A/a.jpg", "B/b.jpg"};
        const QStringList withExtension{"m.jpg",   "x.png",   "A/A1/a1.jpg", QString::fromUtf8("A/A1/Été.ÉTÉ"),
                                        "A/A2/a2.jpg", "A/a.jpg", "A/v.txt",     "A/w.PNG",
                                        "B/b.jpg", "B/unit.K"};
        const std::vector<ScanPass> none;
        QTest::newRow("the start folder, then below it depth first, subfolders before files")
            << "M/" << true << kJpgOnly << jpgs << 5 << 0 << true;
        QTest::newRow("without subfolders only the start folder")
            << "M" << false << kJpgOnly << QStringList{"m.jpg"} << 1 << 0 << true;
        QTest::newRow("pass order, then folder order; a pass given twice finds twice")
            << "M" << true << std::vector<ScanPass>{{"jpg", false}, {"png", false}, {"JPG", false}}
            << jpgs + QStringList{"x.png", "A/w.PNG"} + jpgs << 5 << 0 << true;
        QTest::newRow("all-files mode passes over names without an extension")
            << "M" << true << std::vector<ScanPass>{{"", true}, {"*", true}} << withExtension << 5 << 0 << true;
        QTest::newRow("outside it the empty extension and a star find them")
            << "M" << true << std::vector<ScanPass>{{"", false}, {"*", false}}
            << QStringList{"notes.", "README", "m.jpg", "notes.", "README", "x.png"} + withExtension.mid(2) << 5 << 0
            << true;
        QTest::newRow("extensions compared with case folded")
            << "M" << true << std::vector<ScanPass>{{QString::fromUtf8("été"), false}, {"k", false}}
            << QStringList{QString::fromUtf8("A/A1/Été.ÉTÉ"), "B/unit.K"} << 5 << 0 << true;
        QTest::newRow("a scan that finds nothing still changes the catalog")
            << "M" << true << std::vector<ScanPass>{{"gif", false}} << QStringList{} << 5 << 0 << true;
        QTest::newRow("a missing folder too, counted as unreadable")
            << "M/nowhere" << true << kJpgOnly << QStringList{} << 0 << 1 << true;
        QTest::newRow("an empty path is no scan") << "" << true << kJpgOnly << QStringList{} << 0 << 0 << false;
        QTest::newRow("no passes, no scan") << "M" << true << none << QStringList{} << 0 << 0 << false;
    }

    void find()
    {
        QFETCH(QString, folder);
        QFETCH(bool, includeSubfolders);
        QFETCH(std::vector<ScanPass>, passes);
        createFiles(m_root, {"m.jpg", "x.png", "README", "notes.", "A/a.jpg", "A/w.PNG", "A/v.txt", "A/A1/a1.jpg",
                             "A/A1/\xc3\x89t\xc3\xa9.\xc3\x89T\xc3\x89", "A/A2/a2.jpg", "B/b.jpg", "B/unit.K"});
        const ScanResult result = scan(folder.isEmpty() ? folder : m_dir->filePath(folder), includeSubfolders, passes);
        QTEST(relativePaths(result.files, m_root), "expected");
        QTEST(result.foldersVisited, "foldersVisited");
        QTEST(result.unreadableFolderCount, "unreadableFolders");
        QTEST(result.marksCatalogChanged, "marksChanged");
    }

    // U+FEFF starts a name like any character; the file without it is another one.
    void namesKeepALeadingZeroWidthNoBreakSpace()
    {
        for (const QString &name : {QStringLiteral("\uFEFFholiday.jpg"), QStringLiteral("holiday.jpg")})
            QVERIFY(!TestFiles::createFile(m_root + QLatin1Char('/') + name).isEmpty());
        const ScanResult result = scan(m_root, false, kJpgOnly);
        QStringList names;
        for (const FoundFile &file : result.files)
            names.append(file.name);
        names.sort();
        QCOMPARE(names, QStringList({QStringLiteral("holiday"), QStringLiteral("\uFEFFholiday")}));
        QVERIFY(relativePaths(result.files, m_root).contains(QStringLiteral("\uFEFFholiday.jpg")));
    }

    void folderThatCannotBeEnteredGivesNothing_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("neither listed nor entered") << 0;
        // Its names can be read, but no file in it can be opened or checked by the loader.
        QTest::newRow("listed but not entered") << 0644;
    }

    void folderThatCannotBeEnteredGivesNothing()
    {
        QFETCH(int, mode);
        createFiles(m_root, {"m.jpg", "A/a.jpg", "A/A1/a1.jpg", "B/b.jpg"});
        // The scan runs as a user without rights of its own, so that root is kept out too.
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::permissions(m_dir->path()) | QFileDevice::ExeOther
                                                         | QFileDevice::ReadOther));
        const QString locked = m_root + QStringLiteral("/A");
        QCOMPARE(::chmod(QFile::encodeName(locked).constData(), mode_t(mode)), 0);
        const ScanResult result = asUnprivilegedUser([&] { return scan(m_root, true, kJpgOnly); });
        ::chmod(QFile::encodeName(locked).constData(), 0755);
        QCOMPARE(relativePaths(result.files, m_root), (QStringList{"m.jpg", "B/b.jpg"}));
        QCOMPARE(result.unreadableFolderCount, 1);
    }

    void linksToFoldersAreNotFollowed()
    {
#ifndef Q_OS_UNIX
        QSKIP("Symbolic links need Unix here");
#endif
        createFiles(m_root, {"A/a.jpg"});
        QVERIFY(QFile::link(m_root, m_root + QStringLiteral("/A/loop")));
        QVERIFY(QFile::link(m_root + QStringLiteral("/A"), m_root + QStringLiteral("/folder-link.jpg")));
        QVERIFY(QFile::link(m_root + QStringLiteral("/A/a.jpg"), m_root + QStringLiteral("/file-link.jpg")));
        QVERIFY(QFile::link(m_root + QStringLiteral("/gone.jpg"), m_root + QStringLiteral("/dangling.jpg")));
        const ScanResult result = scan(m_root, true, {{"*", true}});
        QCOMPARE(relativePaths(result.files, m_root), (QStringList{"file-link.jpg", "A/a.jpg"}));
        QCOMPARE(result.foldersVisited, 2);
    }

    void folderChangedDuringTheWalkIsNotEntered_data()
    {
        QTest::addColumn<QString>("swapped");
        QTest::addColumn<QString>("whenAbout");
        QTest::addColumn<bool>("removed"); // else replaced by a link to a folder elsewhere
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("unreadableFolders");
        const QStringList withoutB{"m.jpg", "A/A2/a2.jpg", "A/a.jpg"};
        QTest::newRow("removed just before it is opened") << "B" << "B" << true << withoutB << 1;
        QTest::newRow("the folder about to be opened") << "B" << "B" << false << withoutB << 0;
        // The walk goes on inside the A it holds open, which was moved aside with A2 in
        // it; the link put in A's place is never followed.
        QTest::newRow("an ancestor of it") << "A" << "A/A2" << false
                                           << QStringList{"m.jpg", "A/A2/a2.jpg", "A/a.jpg", "B/b.jpg"} << 0;
    }

    void folderChangedDuringTheWalkIsNotEntered()
    {
        QFETCH(QString, swapped);
        QFETCH(QString, whenAbout);
        QFETCH(bool, removed);
        createFiles(m_root, {"m.jpg", "A/a.jpg", "A/A2/a2.jpg", "B/b.jpg"});
        // The place a link would lead to, shaped like what it replaces.
        const QString elsewhere = m_dir->filePath(QStringLiteral("elsewhere"));
        createFiles(elsewhere, {"b.jpg", "A2/outside.jpg", "outside.jpg"});
        const QString target = m_root + '/' + swapped;
        FolderScanner scanner({m_root, true, kJpgOnly});
        // Progress names each folder just before it is opened.
        scanner.setProgressCallback(
            [&](const ScanProgress &progress) {
                if (progress.currentFolder == m_root + '/' + whenAbout && QFileInfo(target).isDir()
                    && !QFileInfo(target).isSymLink()) {
                    QVERIFY(QDir().rename(target, target + QStringLiteral(".old")));
                    QVERIFY(removed || QFile::link(elsewhere, target));
                }
            },
            std::chrono::milliseconds(0));
        scanner.run();
        QCOMPARE(QFileInfo(target).isSymLink(), !removed);
        QTEST(relativePaths(scanner.result().files, m_root), "expected");
        QTEST(scanner.result().unreadableFolderCount, "unreadableFolders");
    }

    void otherFileSystemsAreNotEntered()
    {
#ifndef Q_OS_LINUX
        QSKIP("Mounting needs Linux here");
#else
        createFiles(m_root, {"m.jpg", "A/a.jpg"});
        const QString mountPoint = m_root + QStringLiteral("/A/ramdisk");
        QVERIFY(QDir().mkpath(mountPoint));
        if (!m_privateMounts)
            QSKIP("This user may not mount file systems in a namespace of its own");
        QCOMPARE(::mount("none", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, nullptr), 0);
        const auto unmount = qScopeGuard([&] { ::umount(QFile::encodeName(mountPoint).constData()); });
        createFiles(mountPoint, {"in-memory.jpg", "deeper/also.jpg"});

        const ScanResult result = scan(m_root, true, kJpgOnly);
        QCOMPARE(relativePaths(result.files, m_root), (QStringList{"m.jpg", "A/a.jpg"}));
        QCOMPARE(result.unreadableFolderCount, 0);
        // Started on the other file system itself, the walk stays on it.
        QCOMPARE(relativePaths(scan(mountPoint, true, kJpgOnly).files, mountPoint),
                 (QStringList{"in-memory.jpg", "deeper/also.jpg"}));
#endif
    }

    void kernelFileSystemsAreNotScanned_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("proc") << "/proc/self";
        QTest::newRow("sysfs") << "/sys/kernel";
    }

    void kernelFileSystemsAreNotScanned()
    {
        QFETCH(QString, folder);
        if (!QFileInfo(folder).isDir())
            QSKIP("Not mounted here");
        const ScanResult result = scan(folder, true, {{"*", false}});
        QCOMPARE(relativePaths(result.files, folder), QStringList{});
        QCOMPARE(result.foldersVisited, 0);
    }

    void pathsLongerThanTheSystemTakesAreLeftOutAndCounted()
    {
#ifndef Q_OS_UNIX
        QSKIP("Deep paths are built with openat here");
#else
        // A chain of 200-byte folder names, each folder holding one picture, built step
        // by step since a path this long cannot be named whole.
        constexpr int kLevels = 25;
        constexpr int kNameLength = 200;
        const std::string name(kNameLength, 'd');
        int fd = ::open(QFile::encodeName(m_root).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(fd >= 0);
        std::size_t folderLength = std::size_t(QFile::encodeName(m_root).size());
        int reachable = 0;
        int leftOut = 0;
        for (int level = 0; level < kLevels; ++level) {
            const int file = ::openat(fd, "f.jpg", O_CREAT | O_WRONLY, 0644);
            QVERIFY(file >= 0);
            ::close(file);
            if (folderLength <= 4095) {
                ++reachable;
                if (folderLength + 6 > 4095)
                    ++leftOut;
            }
            QCOMPARE(::mkdirat(fd, name.c_str(), 0755), 0);
            const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = child;
            QVERIFY(fd >= 0);
            folderLength += 1 + kNameLength;
        }
        ::close(fd);
        const auto removeChain = qScopeGuard([&] { QProcess::execute("rm", {"-rf", m_root}); });
        QVERIFY(reachable < kLevels);

        const ScanResult result = scan(m_root, true, kJpgOnly);
        // Every path found is one the catalog can check again when it loads.
        for (const FoundFile &found : result.files) {
            QVERIFY(QFile::encodeName(found.path).size() <= 4095);
            QVERIFY(QFileInfo::exists(found.path));
        }
        QCOMPARE(int(result.files.size()), reachable - leftOut);
        QCOMPARE(result.leftOutCount, leftOut);
        QCOMPARE(result.tooDeepFolderCount, 1);
        QCOMPARE(result.unreadableFolderCount, 0);
#endif
    }

    // Folders are opened through the folder above them, but a walk hundreds of folders
    // deep holds only a few dozen of them open at once.
    void deepTreeIsWalkedWithFewOpenFolders()
    {
#ifndef Q_OS_LINUX
        QSKIP("Open descriptors are counted in /proc here");
#else
        constexpr int kLevels = 300;
        QString folder = m_root;
        for (int level = 0; level < kLevels; ++level) {
            folder += QStringLiteral("/d");
            QVERIFY(QDir().mkpath(folder));
            createFiles(folder, {"f.jpg"});
        }
        const auto openDescriptors = [] {
            const QDir descriptors(QStringLiteral("/proc/self/fd"));
            return int(descriptors.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
        };
        const int before = openDescriptors();
        int most = 0;
        FolderScanner scanner({m_root, true, kJpgOnly});
        scanner.setProgressCallback([&](const ScanProgress &) { most = qMax(most, openDescriptors() - before); },
                                    std::chrono::milliseconds(0));
        scanner.run();
        QCOMPARE(int(scanner.result().files.size()), kLevels);
        QVERIFY2(most < 40, qPrintable(QString::number(most)));
#endif
    }

    void pathsACatalogCannotHoldAreLeftOutAndCounted()
    {
#ifndef Q_OS_UNIX
        QSKIP("Such names cannot be created here");
#else
        const QByteArray root = QFile::encodeName(m_root);
        // QDir cannot remove what it cannot name, so these go by their bytes.
        const auto removeRawNames = qScopeGuard([&] {
            for (const char *name : {"/latin\xe9.jpg", "/cut\xc3.jpg", "/bad\xff/z.jpg", "/bad\xff"})
                ::remove((root + name).constData());
        });
        QVERIFY(::mkdir((root + "/Sub\"Folder").constData(), 0755) == 0);
        QVERIFY(::mkdir((root + "/bad\xff").constData(), 0755) == 0);
        for (const char *name : {"fine.jpg", "a>b,c.jpg", "\xc3\xa9t\xc3\xa9.jpg", "quo\"te.jpg", "line\nbreak.jpg",
                                 "carriage\rreturn.jpg", "latin\xe9.jpg", "cut\xc3.jpg", "quo\"te.txt",
                                 "Sub\"Folder/x.jpg", "Sub\"Folder/y.jpg", "bad\xff/z.jpg"}) {
            const int fd = ::open((root + '/' + name).constData(), O_CREAT | O_WRONLY, 0644);
            QVERIFY2(fd >= 0, name);
            ::close(fd);
        }

        const ScanResult result = scan(m_root, true, kJpgOnly);
        QCOMPARE(relativePaths(result.files, m_root),
                 (QStringList{"a>b,c.jpg", "fine.jpg", QString::fromUtf8("été.jpg")}));
        for (const FoundFile &file : result.files)
            QVERIFY2(QFileInfo::exists(file.path), qPrintable(file.path));
        // Five names in the start folder, two files below a quoted folder, one below a
        // folder whose name is not UTF-8; the .txt was never wanted.
        QCOMPARE(result.leftOutCount, 8);
        QCOMPARE(result.leftOutExamples.size(), 8);
#endif
    }

    // M: m.jpg m.png; M/A: a.jpg a.png; M/A/B: 3000 pictures of each kind. The cancel
    // lands inside B, with A's files read but not yet due (a pass takes B before A).
    void cancelKeepsEveryFileFoundBeforeInPassOrder()
    {
        createFiles(m_root, {"m.jpg", "m.png", "A/a.jpg", "A/a.png"});
        for (int i = 0; i < 1500; ++i) {
            for (const char *kind : {"jpg", "png"})
                TestFiles::createFile(m_root + QStringLiteral("/A/B/f%1.%2").arg(i).arg(kind));
        }
        const std::vector<ScanPass> passes = {{"jpg", false}, {"png", false}};
        const QStringList complete = relativePaths(scan(m_root, true, passes).files, m_root);

        FolderScanner scanner({m_root, true, passes});
        int reportsAfterCancel = 0;
        ScanProgress last;
        scanner.setProgressCallback(
            [&](const ScanProgress &progress) {
                last = progress;
                if (scanner.isCancelled())
                    ++reportsAfterCancel;
                else if (progress.filesFound >= 1000)
                    scanner.cancel();
            },
            std::chrono::milliseconds(0));
        scanner.run();
        const ScanResult result = scanner.takeResult();
        QVERIFY(result.cancelled);
        QVERIFY(result.marksCatalogChanged);
        // Only the closing report: not one more entry of the folder was read.
        QCOMPARE(reportsAfterCancel, 1);
        // Every file counted as found is filed, and nothing beyond it.
        const QStringList found = relativePaths(result.files, m_root);
        QCOMPARE(found.size(), last.filesFound);
        QVERIFY(found.size() < complete.size());
        QVERIFY(found.contains("A/a.jpg") && found.contains("A/a.png"));
        // In the order the passes give: what the full scan lists, less what was not read.
        qsizetype next = 0;
        for (const QString &path : found) {
            next = complete.indexOf(path, next);
            QVERIFY2(next >= 0, qPrintable(path));
            ++next;
        }
        QCOMPARE(found.first(), QStringLiteral("m.jpg"));
        QCOMPARE(found.at(found.indexOf("A/a.jpg") + 1), QStringLiteral("m.png"));
        QCOMPARE(found.last(), QStringLiteral("A/a.png"));
    }

    void jobReportsOnTheOwnersThread()
    {
        createFolders(m_root, 20, 20);
        ScanJob job({m_root, true, {{"jpg", false}, {"jpg", false}}});
        QSignalSpy finished(&job, &ScanJob::finished);
        QThread *progressThread = nullptr;
        ScanProgress last;
        connect(&job, &ScanJob::progressed, this, [&](const ScanProgress &progress) {
            progressThread = QThread::currentThread();
            last = progress;
        });
        job.start();
        QVERIFY(finished.wait(20000));
        QVERIFY(job.isFinished());
        QCOMPARE(progressThread, QThread::currentThread());
        // The closing report, with the totals, is delivered before finished(); a file found
        // by both passes counts twice, its folder once.
        QCOMPARE(last.filesFound, 800);
        QCOMPARE(last.foldersVisited, 21);
        const ScanResult result = job.takeResult();
        QCOMPARE(int(result.files.size()), 800);
        QVERIFY(!result.cancelled);
    }

    void destroyingARunningJobStopsIt()
    {
        createFolders(m_root, 20, 20);
        // Destroying a QThread that still runs aborts the process, and a report delivered to
        // a destroyed job would touch freed memory: either way this test fails by crashing.
        int reports = 0;
        auto job = std::make_unique<ScanJob>(ScanRequest{m_root, true, {{"*", true}}});
        connect(job.get(), &ScanJob::progressed, this, [&] { ++reports; });
        job->start();
        job.reset();
        QCoreApplication::processEvents();
        QCOMPARE(reports, 0);
    }
};

QTEST_GUILESS_MAIN(TestFolderScanner)
#include "tst_folderscanner.moc"
