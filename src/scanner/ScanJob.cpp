#include "ScanJob.h"

#include <QThread>

ScanJob::ScanJob(ScanRequest request, QObject *parent)
    : QObject(parent)
    , m_scanner(std::move(request))
{
    m_scanner.setProgressCallback([this](const ScanProgress &progress) {
        // Posted to the job's own thread; dropped if the job is gone by then.
        QMetaObject::invokeMethod(
            this, [this, progress] { Q_EMIT progressed(progress); }, Qt::QueuedConnection);
    });
}

ScanJob::~ScanJob()
{
    if (m_thread) {
        m_scanner.cancel();
        m_thread->wait();
    }
}

void ScanJob::start()
{
    if (m_started)
        return;
    m_started = true;
    m_thread.reset(QThread::create([this] {
        m_scanner.run();
        if (m_afterWalk)
            m_afterWalk(m_scanner.result(), [this] { return m_scanner.isCancelled(); });
    }));
    m_thread->setObjectName(QStringLiteral("Folder scan"));
    connect(m_thread.get(), &QThread::finished, this, [this] {
        m_finished = true;
        Q_EMIT finished();
    });
    m_thread->start();
}

void ScanJob::cancel()
{
    m_scanner.cancel();
}
