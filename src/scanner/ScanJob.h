#pragma once

#include "FolderScanner.h"

#include <QObject>

#include <functional>
#include <memory>

class QThread;

// Runs one FolderScanner on a thread of its own and reports back on the thread that
// owns the job: progressed() while the walk runs, finished() once the result is
// ready. Destroying a running job cancels it and waits for the thread.
class ScanJob : public QObject
{
    Q_OBJECT

public:
    explicit ScanJob(ScanRequest request, QObject *parent = nullptr);
    ~ScanJob() override;

    // Work done on the scanning thread once the walk has ended, before finished(): the
    // caller prepares there what it would otherwise build on its own thread. It gets
    // the result and a question to ask now and then: has the scan been cancelled?
    using AfterWalk = std::function<void(const ScanResult &result, const std::function<bool()> &cancelled)>;
    void setAfterWalk(AfterWalk afterWalk) { m_afterWalk = std::move(afterWalk); }

    void start();
    // Safe at any time; finished() still follows.
    void cancel();
    bool isRunning() const { return m_started && !m_finished; }
    bool isFinished() const { return m_finished; }

    // Only once finished() has been emitted.
    const ScanResult &result() const { return m_scanner.result(); }
    ScanResult takeResult() { return m_scanner.takeResult(); }

Q_SIGNALS:
    void progressed(const ScanProgress &progress);
    void finished();

private:
    FolderScanner m_scanner;
    AfterWalk m_afterWalk;
    std::unique_ptr<QThread> m_thread;
    bool m_started = false;
    bool m_finished = false;
};
