#pragma once

#include "MovedFileMatcher.h"
#include "RelocationResult.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThread;

// Walks one folder and everything below it on the same file system, on a thread of its
// own, and matches the missing files against what it finds. The walk is the scanner's:
// links to folders, FIFOs, other file systems and loops are never entered or read.
// progressed() comes a few times a second and once at the end of the walk, finished()
// once the result is ready; both on the thread that owns the job. Destroying a running
// job cancels it and waits for its thread.
class RelocationJob : public QObject
{
    Q_OBJECT

public:
    RelocationJob(const QString &startFolder, MovedFileMatcher matcher, QObject *parent = nullptr);
    ~RelocationJob() override;

    void start();
    // Safe at any time; finished() still follows, with a result that found nothing.
    void cancel();
    bool isRunning() const { return m_started && !m_finished; }
    bool isFinished() const { return m_finished; }

    // The folder walked, absolute and cleaned, with the platform's separators.
    const QString &startFolder() const { return m_startFolder; }
    // Only once finished() has been emitted.
    const RelocationResult &result() const { return m_result; }
    RelocationResult takeResult() { return std::move(m_result); }

Q_SIGNALS:
    void progressed(int filesSeen);
    void finished();

private:
    void run();

    QString m_startFolder;
    MovedFileMatcher m_matcher;
    RelocationResult m_result;
    std::atomic<bool> m_cancelled{false};
    std::unique_ptr<QThread> m_thread;
    bool m_started = false;
    bool m_finished = false;
};
