#include "RelocationJob.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// One walk on disk, on the job's own thread.
class TestRelocationJob : public QObject
{
    Q_OBJECT

private:
    QStringList missingUnder(const QString &root)
    {
        QStringList paths;
        for (const char *path : {"gone/Trip/2019/a.jpg", "gone/b.jpg", "gone/c.jpg", "gone/d.jpg", "gone/e.jpg"})
            paths.append(root + '/' + path);
        return paths;
    }

private Q_SLOTS:
    void findsMovedFilesOnlyWhereTheWalkMayGo()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.path();
        for (const char *path : {"new/Archive/Trip/2019/a.jpg", "new/Archive/Trip/2020/a.jpg", "new/x/b.jpg",
                                 "elsewhere/c.jpg", "outside/d.jpg"})
            QVERIFY(!TestFiles::createFile(root + '/' + path).isEmpty());
        // A namesake behind a link to a folder, and a FIFO of a missing file's name.
        QVERIFY(QFile::link(root + "/outside", root + "/new/link"));
#ifdef Q_OS_UNIX
        QCOMPARE(::mkfifo(QFile::encodeName(root + "/new/e.jpg").constData(), 0644), 0);
#endif

        RelocationJob job(root + "/new", MovedFileMatcher(missingUnder(root)));
        QSignalSpy progressed(&job, &RelocationJob::progressed);
        QSignalSpy finished(&job, &RelocationJob::finished);
        job.start();
        QVERIFY(finished.wait(20000));

        const RelocationResult &result = job.result();
        QVERIFY(!result.cancelled);
        QStringList paths;
        for (const std::optional<QString> &path : result.newPaths)
            paths.append(path.value_or(QString()));
        QCOMPARE(paths, (QStringList{root + "/new/Archive/Trip/2019/a.jpg", root + "/new/x/b.jpg", "", "", ""}));
        QCOMPARE(result.foundCount, 2);
        QCOMPARE(result.ambiguousCount, 0);
        QVERIFY(!progressed.isEmpty());
        QCOMPARE(progressed.last().at(0).toInt(), result.filesSeen);
        QVERIFY(result.filesSeen >= 3);
    }

    void cancelFindsNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(!TestFiles::createFile(dir.path() + "/new/b.jpg").isEmpty());
        RelocationJob job(dir.path() + "/new", MovedFileMatcher(missingUnder(dir.path())));
        QSignalSpy finished(&job, &RelocationJob::finished);
        job.cancel();
        job.start();
        QVERIFY(finished.wait(20000));
        QVERIFY(job.result().cancelled);
        QCOMPARE(job.result().newPaths.size(), std::size_t(5));
        QVERIFY(!job.result().newPaths[1].has_value());
        QCOMPARE(job.result().foundCount, 0);
    }
};

QTEST_GUILESS_MAIN(TestRelocationJob)
#include "tst_relocationjob.moc"
