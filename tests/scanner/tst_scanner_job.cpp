#include "ScanJob.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TestScanJob : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void reportsOnTheOwnersThread();
    void cancelledJobStillFinishes();
    void destroyingARunningJobStopsIt();

private:
    QTemporaryDir m_dir;
};

void TestScanJob::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (int a = 0; a < 20; ++a) {
        for (int f = 0; f < 20; ++f)
            TestFiles::createFile(m_dir.path() + QStringLiteral("/d%1/f%2.jpg").arg(a).arg(f));
    }
}

void TestScanJob::reportsOnTheOwnersThread()
{
    ScanJob job({m_dir.path(), true, {{"jpg", false}}});
    QSignalSpy finished(&job, &ScanJob::finished);
    QThread *progressThread = nullptr;
    ScanProgress last;
    connect(&job, &ScanJob::progressed, this, [&](const ScanProgress &progress) {
        progressThread = QThread::currentThread();
        last = progress;
    });
    job.start();
    QVERIFY(job.isRunning() || finished.size() == 0);
    QVERIFY(finished.wait(20000));
    QVERIFY(job.isFinished());
    QCOMPARE(progressThread, QThread::currentThread());
    // The closing report is delivered before finished().
    QCOMPARE(last.filesFound, 400);
    QCOMPARE(last.foldersVisited, 21);
    const ScanResult result = job.takeResult();
    QCOMPARE(int(result.files.size()), 400);
    QVERIFY(!result.cancelled);
}

void TestScanJob::cancelledJobStillFinishes()
{
    ScanJob job({m_dir.path(), true, {{"jpg", false}}});
    QSignalSpy finished(&job, &ScanJob::finished);
    job.start();
    job.cancel();
    QVERIFY(finished.wait(20000));
    QVERIFY(job.result().cancelled);
    // Cancelled before the walk began: not one folder was finished.
    QVERIFY(job.result().files.empty());
}

void TestScanJob::destroyingARunningJobStopsIt()
{
    // Destroying a QThread that still runs aborts the process, and a report delivered to
    // a destroyed job would touch freed memory: either way this test fails by crashing.
    int reports = 0;
    auto job = std::make_unique<ScanJob>(ScanRequest{m_dir.path(), true, {{"*", true}}});
    connect(job.get(), &ScanJob::progressed, this, [&] { ++reports; });
    job->start();
    QElapsedTimer timer;
    timer.start();
    job.reset();
    QVERIFY(timer.elapsed() < 5000);
    QCoreApplication::processEvents();
    QCOMPARE(reports, 0);
}

QTEST_GUILESS_MAIN(TestScanJob)
#include "tst_scanner_job.moc"
