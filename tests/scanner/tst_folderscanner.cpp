#include "ApplyScanResult.h"
#include "Catalog.h"
#include "FileNameRules.h"
#include "FileRecord.h"
#include "FolderScanner.h"
#include "ScanJob.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

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
QStringList relativePaths(const std::vector<FoundFile> &files, const QString &root)
{
    QStringList paths;
    for (const FoundFile &file : files)
        paths.append(file.path.startsWith(root + '/') ? file.path.mid(root.size() + 1) : file.path);
    return paths;
}

// The scan as one walk per pass, each file and subfolder taken in listing order:
// the start folder first, then below it depth first, subfolders before a folder's files.
std::vector<FoundFile> scanPassByPass(const QString &root, bool includeSubfolders, const std::vector<ScanPass> &passes)
{
    const auto listed = [](const QString &folder, QDir::Filters filter) {
        QStringList names = QDir(folder).entryList(filter | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            return FileNameRules::listsBefore(a.toStdString(), b.toStdString());
        });
        return names;
    };
    std::vector<FoundFile> found;
    for (const ScanPass &pass : passes) {
        const auto filesOf = [&](const QString &folder) {
            for (const QString &name : listed(folder, QDir::Files)) {
                if (ScanPasses::matches(pass, FileNameRules::extensionOf(QStringView(name))))
                    found.push_back(
                        {folder + '/' + name, FileNameRules::rowName(name), FileNameRules::rowExtension(name)});
            }
        };
        std::function<void(const QString &)> below = [&](const QString &folder) {
            for (const QString &name : listed(folder, QDir::Dirs | QDir::NoSymLinks)) {
                below(folder + '/' + name);
                filesOf(folder + '/' + name);
            }
        };
        filesOf(root);
        if (includeSubfolders)
            below(root);
    }
    return found;
}

void createTree(const QString &root, int seed)
{
    static const QStringList fileNames = {
        "IMG_0001.JPG", "img_0002.jpg", "a.tar.gz",     "archive.TAR", ".hidden.png", "README",
        "notes.",       "odd..",        "Song.Mp3",     "x.PNG",       "clip.avi",    "b.jpg",
        "B.JPG",        "_first.jpg",   "Z.png",        "x.jpeg",      "x.jpe",       "unit.k",
        QString::fromUtf8("Été.jpg"), QString::fromUtf8("photo.ÉTÉ"),
        // The Kelvin sign folds to a plain "k".
        QString::fromUtf8("unit.\u212A"),
    };
    static const QStringList folderNames = {"Alpha", "alpha2", "beta", "_under", "Zed", "mid.jpg"};
    QRandomGenerator random{quint32(seed)};
    std::function<void(const QString &, int)> fill = [&](const QString &folder, int depth) {
        QDir().mkpath(folder);
        for (const QString &name : fileNames) {
            if (random.bounded(3) != 0)
                TestFiles::createFile(folder + '/' + name);
        }
        for (const QString &name : folderNames) {
            if (depth < 3 && random.bounded(2) == 0)
                fill(folder + '/' + name, depth + 1);
        }
    };
    fill(root, 0);
}

// A scan cancelled from within the progress report that meets a condition, so that the
// cancel lands at a known point of the walk.
struct CancelledScan {
    ScanResult result;
    int reportsAfterCancel = 0;
};

CancelledScan scanCancelledWhen(const QString &folder, const std::function<bool(const ScanProgress &)> &when)
{
    FolderScanner scanner({folder, true, kJpgOnly});
    CancelledScan scan;
    scanner.setProgressCallback(
        [&](const ScanProgress &progress) {
            if (scanner.isCancelled()) {
                ++scan.reportsAfterCancel;
            } else if (when(progress)) {
                scanner.cancel();
            }
        },
        std::chrono::milliseconds(0));
    scanner.run();
    scan.result = scanner.takeResult();
    return scan;
}

// Each found file as "path|name|extension".
QStringList described(const std::vector<FoundFile> &files)
{
    QStringList lines;
    for (const FoundFile &file : files)
        lines.append(file.path + '|' + file.name + '|' + file.extension);
    return lines;
}

} // namespace

// The walk on disk, what it leaves out, filing what it found, and its cancel.
class TestFolderScanner : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + QStringLiteral("/M");
        QVERIFY(QDir().mkpath(m_root));
    }

    void findAndFile_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("includeSubfolders");
        QTest::addColumn<std::vector<ScanPass>>("passes");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("foldersVisited");
        QTest::addColumn<int>("unreadableFolders");
        QTest::addColumn<bool>("marksChanged");

        const QStringList jpgs{"m.jpg", "A/A1/a1.jpg", "A/A2/a2.jpg", "A/a.jpg", "B/b.jpg"};
        const std::vector<ScanPass> none;
        QTest::newRow("the start folder, then below it depth first, subfolders before files")
            << "M/" << true << kJpgOnly << jpgs << 5 << 0 << true;
        QTest::newRow("without subfolders only the start folder")
            << "M" << false << kJpgOnly << QStringList{"m.jpg"} << 1 << 0 << true;
        QTest::newRow("pass order, then folder order; a pass given twice finds twice")
            << "M" << true << std::vector<ScanPass>{{"jpg", false}, {"png", false}, {"jpg", false}}
            << jpgs + QStringList{"x.png", "A/w.PNG"} + jpgs << 5 << 0 << true;
        QTest::newRow("a scan that finds nothing still changes the catalog")
            << "M" << true << std::vector<ScanPass>{{"gif", false}} << QStringList{} << 5 << 0 << true;
        QTest::newRow("a missing folder too, counted as unreadable")
            << "M/nowhere" << true << kJpgOnly << QStringList{} << 0 << 1 << true;
        QTest::newRow("an empty path is no scan") << "" << true << kJpgOnly << QStringList{} << 0 << 0 << false;
        QTest::newRow("no passes, no scan") << "M" << true << none << QStringList{} << 0 << 0 << false;
    }

    void findAndFile()
    {
        QFETCH(QString, folder);
        QFETCH(bool, includeSubfolders);
        QFETCH(std::vector<ScanPass>, passes);
        createFiles(m_root,
                    {"m.jpg", "x.png", "A/a.jpg", "A/w.PNG", "A/v.txt", "A/A1/a1.jpg", "A/A2/a2.jpg", "B/b.jpg"});
        const ScanResult result = scan(folder.isEmpty() ? folder : m_dir->filePath(folder), includeSubfolders, passes);
        QTEST(relativePaths(result.files, m_root), "expected");
        QTEST(result.foldersVisited, "foldersVisited");
        QTEST(result.unreadableFolderCount, "unreadableFolders");
        QTEST(result.marksCatalogChanged, "marksChanged");

        // Filed behind the first record, newest first; a scan counts as an edit.
        Catalog catalog;
        catalog.resetToEmpty();
        catalog.setTemporaryIndex(3);
        catalog.markSaved();
        QCOMPARE(applyScanResult(result, catalog), int(result.files.size()));
        QCOMPARE(catalog.FileListSaved(), !result.marksCatalogChanged);
        const RecordList &records = catalog.records();
        QCOMPARE(records.size(), int(result.files.size()) + 1);
        QCOMPARE(records.at(0), kSentinelRecord);
        for (int i = 1; i < records.size(); ++i) {
            QCOMPARE(records.at(i), result.files[result.files.size() - std::size_t(i)].path + "/3>");
            QCOMPARE(records.categoryAt(i), 3);
        }
    }

    void oneWalkGivesWhatAWalkPerPassGives_data()
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
        QTest::newRow("all-files mode among other passes")
            << 6 << true << std::vector<ScanPass>{{"jpg", true}, {"*", true}, {"", true}, {"png", false}, {"", false}};
        QTest::newRow("non-ASCII and folding")
            << 7 << true << std::vector<ScanPass>{{QString::fromUtf8("ÉTÉ"), false}, {"K", false}, {"TAR", false}};
    }

    void oneWalkGivesWhatAWalkPerPassGives()
    {
        QFETCH(int, seed);
        QFETCH(bool, includeSubfolders);
        QFETCH(std::vector<ScanPass>, passes);
        createTree(m_root, seed);
        const std::vector<FoundFile> expected = scanPassByPass(m_root, includeSubfolders, passes);
        QVERIFY(expected.size() > 3);
        const ScanResult result = scan(m_root, includeSubfolders, passes);
        QCOMPARE(described(result.files), described(expected));
        QCOMPARE(result.leftOutCount, 0);
        QCOMPARE(result.unreadableFolderCount, 0);
    }

    void folderThatCannotBeListedIsSkipped()
    {
        createFiles(m_root, {"m.jpg", "A/a.jpg", "A/A1/a1.jpg", "B/b.jpg"});
        const QString locked = m_root + QStringLiteral("/A");
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        const bool deniedToUs = !QDir(locked).isReadable();
        const ScanResult result = scan(m_root, true, kJpgOnly);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (!deniedToUs)
            QSKIP("Permissions do not keep this user out (root); folderThatVanishesIsSkipped covers the walk");
        QCOMPARE(relativePaths(result.files, m_root), (QStringList{"m.jpg", "B/b.jpg"}));
        QCOMPARE(result.unreadableFolderCount, 1);
    }

    void folderThatVanishesIsSkipped()
    {
        createFiles(m_root, {"m.jpg", "A/a.jpg", "A/A1/a1.jpg", "B/b.jpg", "C/c.jpg"});
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
        QCOMPARE(relativePaths(scanner.result().files, m_root),
                 (QStringList{"m.jpg", "A/A1/a1.jpg", "A/a.jpg", "C/c.jpg"}));
        QCOMPARE(scanner.result().unreadableFolderCount, 1);
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

    void cancelInsideAHugeFolderStopsAtOnce()
    {
        for (int i = 0; i < 3000; ++i)
            TestFiles::createFile(m_root + QStringLiteral("/f%1.jpg").arg(i));
        const CancelledScan scan = scanCancelledWhen(m_root, [](const ScanProgress &p) { return p.filesFound >= 512; });
        QVERIFY(scan.result.cancelled);
        // The folder was left half-read, so none of it is filed.
        QVERIFY(scan.result.files.empty());
        QVERIFY(scan.result.marksCatalogChanged);
        // Only the closing report: not one more entry of the folder was read.
        QCOMPARE(scan.reportsAfterCancel, 1);
    }

    void cancelKeepsTheFoldersFinishedBefore()
    {
        for (int a = 0; a < 8; ++a)
            createFolders(m_root + QStringLiteral("/d%1").arg(a), 8, 10);
        const std::vector<FoundFile> complete = scan(m_root, true, kJpgOnly).files;
        QCOMPARE(int(complete.size()), 8 * 8 * 10);

        const CancelledScan scan
            = scanCancelledWhen(m_root, [](const ScanProgress &p) { return p.foldersVisited >= 30; });
        const std::vector<FoundFile> &found = scan.result.files;
        QVERIFY(scan.result.cancelled);
        QVERIFY(!found.empty());
        QVERIFY(found.size() < complete.size());
        // What was found before the cancel is the start of what a full scan finds.
        QCOMPARE(relativePaths(found, m_root),
                 relativePaths({complete.begin(), complete.begin() + qsizetype(found.size())}, m_root));
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

    void cancelledJobStillFinishes()
    {
        createFolders(m_root, 20, 20);
        ScanJob job({m_root, true, kJpgOnly});
        QSignalSpy finished(&job, &ScanJob::finished);
        job.start();
        job.cancel();
        QVERIFY(finished.wait(20000));
        QVERIFY(job.result().cancelled);
        // Cancelled before the walk began: not one folder was finished.
        QVERIFY(job.result().files.empty());
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
        QElapsedTimer timer;
        timer.start();
        job.reset();
        QVERIFY(timer.elapsed() < 5000);
        QCoreApplication::processEvents();
        QCOMPARE(reports, 0);
    }
};

QTEST_GUILESS_MAIN(TestFolderScanner)
#include "tst_folderscanner.moc"
