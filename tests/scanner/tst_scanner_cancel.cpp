#include "FolderScanner.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <functional>

namespace {

const std::vector<ScanPass> kJpgOnly = {{"jpg", false}};

// Runs a scan on a thread of its own and holds it at the first progress report that
// satisfies a condition, so that a cancel lands at a known point of the walk.
class HeldScan
{
public:
    HeldScan(const QString &folder, std::function<bool(const ScanProgress &)> holdWhen)
        : m_scanner({folder, true, kJpgOnly})
    {
        m_scanner.setProgressCallback(
            [this, holdWhen](const ScanProgress &progress) {
                if (m_held)
                    ++m_reportsAfterHold;
                if (m_held || !holdWhen(progress))
                    return;
                m_held = true;
                m_reachedHold.release();
                m_mayGoOn.acquire();
            },
            std::chrono::milliseconds(0));
        m_worker.reset(QThread::create([this] { m_scanner.run(); }));
        m_worker->start();
    }
    ~HeldScan()
    {
        m_mayGoOn.release();
        m_worker->wait();
    }

    bool waitForHold() { return m_reachedHold.tryAcquire(1, 20000); }
    void cancelAndGoOn()
    {
        m_scanner.cancel();
        m_mayGoOn.release();
    }
    bool waitForEnd() { return m_worker->wait(5000); }
    const ScanResult &result() const { return m_scanner.result(); }
    int reportsAfterHold() const { return m_reportsAfterHold; }

private:
    FolderScanner m_scanner;
    bool m_held = false;
    int m_reportsAfterHold = 0;
    QSemaphore m_reachedHold;
    QSemaphore m_mayGoOn;
    std::unique_ptr<QThread> m_worker;
};

bool samePaths(const std::vector<FoundFile> &a, const std::vector<FoundFile> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const FoundFile &x, const FoundFile &y) { return x.path == y.path; });
}

} // namespace

class TestScannerCancel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cancelInsideAHugeFolderStopsAtOnce();
    void cancelKeepsTheFoldersFinishedBefore();
    void progressEndsWithTheTotals();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
};

void TestScannerCancel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path();
}

void TestScannerCancel::cancelInsideAHugeFolderStopsAtOnce()
{
    for (int i = 0; i < 3000; ++i)
        TestFiles::createFile(m_root + QStringLiteral("/f%1.jpg").arg(i));

    HeldScan scan(m_root, [](const ScanProgress &progress) { return progress.filesFound >= 512; });
    QVERIFY(scan.waitForHold());
    QElapsedTimer sinceCancel;
    sinceCancel.start();
    scan.cancelAndGoOn();
    QVERIFY(scan.waitForEnd());
    QVERIFY2(sinceCancel.elapsed() < 100, qPrintable(QString::number(sinceCancel.elapsed())));
    QVERIFY(scan.result().cancelled);
    // The folder was left half-read, so none of it is filed.
    QVERIFY(scan.result().files.empty());
    QVERIFY(scan.result().marksCatalogChanged);
    // Only the closing report: not one more entry of the folder was read.
    QCOMPARE(scan.reportsAfterHold(), 1);
}

void TestScannerCancel::cancelKeepsTheFoldersFinishedBefore()
{
    for (int a = 0; a < 8; ++a) {
        for (int b = 0; b < 8; ++b) {
            for (int f = 0; f < 10; ++f)
                TestFiles::createFile(m_root + QStringLiteral("/d%1/e%2/f%3.jpg").arg(a).arg(b).arg(f));
        }
    }
    FolderScanner completeScan({m_root, true, kJpgOnly});
    completeScan.run();
    const std::vector<FoundFile> &complete = completeScan.result().files;
    QCOMPARE(int(complete.size()), 8 * 8 * 10);

    HeldScan scan(m_root, [](const ScanProgress &progress) { return progress.foldersVisited >= 30; });
    QVERIFY(scan.waitForHold());
    scan.cancelAndGoOn();
    QVERIFY(scan.waitForEnd());

    const std::vector<FoundFile> &found = scan.result().files;
    QVERIFY(scan.result().cancelled);
    QVERIFY(!found.empty());
    QVERIFY(found.size() < complete.size());
    // What was found before the cancel is the start of what a full scan finds.
    QVERIFY(samePaths(found, {complete.begin(), complete.begin() + qsizetype(found.size())}));
}

void TestScannerCancel::progressEndsWithTheTotals()
{
    for (const char *path : {"m.jpg", "A/a.jpg", "A/b.jpg", "B/c.png"})
        TestFiles::createFile(m_root + '/' + path);
    FolderScanner scanner({m_root, true, {{"jpg", false}, {"png", false}, {"jpg", false}}});
    std::vector<ScanProgress> reports;
    scanner.setProgressCallback([&](const ScanProgress &progress) { reports.push_back(progress); },
                                std::chrono::milliseconds(0));
    scanner.run();
    QVERIFY(reports.size() >= 2);
    QCOMPARE(reports.back().foldersVisited, 3);
    QCOMPARE(reports.back().filesFound, 7);
    QCOMPARE(int(scanner.result().files.size()), 7);
    QVERIFY(std::any_of(reports.begin(), reports.end(),
                        [&](const ScanProgress &p) { return p.currentFolder == m_root + QStringLiteral("/A"); }));
}

QTEST_GUILESS_MAIN(TestScannerCancel)
#include "tst_scanner_cancel.moc"
