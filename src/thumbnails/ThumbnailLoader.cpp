#include "ThumbnailLoader.h"

#include "ThumbnailJob.h"

#include <QMutexLocker>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#endif

namespace {

// Workers give way to the window's thread when it wakes: on a busy machine a full
// pool must not keep scrolling and typing waiting for a core. The batch policy keeps
// their share of the processor (a higher nice value would starve them whenever other
// programs build or encode) and only gives up the right to preempt.
void yieldToWindow()
{
#ifdef Q_OS_LINUX
    sched_param param{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &param);
#endif
}

} // namespace

ThumbnailLoader::ThumbnailLoader(ThumbnailCacheDir cache, DesktopThumbnailers thumbnailers, QObject *parent)
    : QObject(parent)
    , m_cache(std::move(cache))
    , m_thumbnailers(std::move(thumbnailers))
{
    setMemoryLimit(kDefaultMemoryLimit);
    m_pictureWorkerLimit = std::clamp(QThread::idealThreadCount(), 1, 2);
    // One more thread than picture workers: the thumbnailer's, which mostly waits.
    m_pool.setMaxThreadCount(m_pictureWorkerLimit + 1);
}

ThumbnailLoader::~ThumbnailLoader()
{
    m_stop = true;
    {
        QMutexLocker lock(&m_mutex);
        m_pictureQueue.clear();
        m_thumbnailerQueue.clear();
    }
    m_pool.waitForDone();
}

QString ThumbnailLoader::keyOf(const QString &path, ThumbnailSize size)
{
    return QString::number(int(size)) + QLatin1Char(':') + path;
}

QImage ThumbnailLoader::thumbnail(const QString &path, ThumbnailSize size) const
{
    const QImage *image = m_memory.object(keyOf(path, size));
    return image ? *image : QImage();
}

bool ThumbnailLoader::hasNone(const QString &path, ThumbnailSize size) const
{
    return m_none.contains(keyOf(path, size));
}

void ThumbnailLoader::setMemoryLimit(qint64 bytes)
{
    m_memory.setMaxCost(qMax<qint64>(1, bytes / 1024));
}

void ThumbnailLoader::setPictureWorkers(int count)
{
    QMutexLocker lock(&m_mutex);
    m_pictureWorkerLimit = qMax(1, count);
    m_pool.setMaxThreadCount(m_pictureWorkerLimit + 1);
}

void ThumbnailLoader::setWanted(const QStringList &paths, ThumbnailSize size)
{
    QMutexLocker lock(&m_mutex);
    m_pictureQueue.clear();
    m_thumbnailerQueue.clear();
    for (const QString &path : paths) {
        const QString key = keyOf(path, size);
        if (m_memory.contains(key) || m_none.contains(key) || m_inFlight.contains(key))
            continue;
        if (m_needsThumbnailer.contains(key))
            m_thumbnailerQueue.push_back({path, size});
        else
            m_pictureQueue.push_back({path, size});
    }
    startWorkersLocked();
}

bool ThumbnailLoader::isIdle() const
{
    QMutexLocker lock(&m_mutex);
    return m_pictureQueue.empty() && m_thumbnailerQueue.empty() && m_inFlight.isEmpty();
}

void ThumbnailLoader::startWorkersLocked()
{
    while (m_runningPictureWorkers < m_pictureWorkerLimit
           && size_t(m_runningPictureWorkers) < m_pictureQueue.size()) {
        ++m_runningPictureWorkers;
        m_pool.start([this] { drainPictures(); });
    }
    if (!m_thumbnailerRunning && !m_thumbnailerQueue.empty() && !m_thumbnailers.isEmpty()) {
        m_thumbnailerRunning = true;
        m_pool.start([this] { drainThumbnailers(); });
    }
}

void ThumbnailLoader::drainPictures()
{
    yieldToWindow();
    for (;;) {
        Request request;
        {
            QMutexLocker lock(&m_mutex);
            if (m_stop || m_pictureQueue.empty()) {
                --m_runningPictureWorkers;
                return;
            }
            request = std::move(m_pictureQueue.front());
            m_pictureQueue.pop_front();
            m_inFlight.insert(keyOf(request.path, request.size));
        }
        ThumbnailJob::Result result =
            ThumbnailJob::lookUpOrMakePicture(m_cache, m_thumbnailers, request.path, request.size);
        const bool needsThumbnailer = result.outcome == ThumbnailJob::Outcome::NeedsThumbnailer;
        QMetaObject::invokeMethod(
            this,
            [this, request, image = std::move(result.image), needsThumbnailer]() mutable {
                onDone(request.path, request.size, std::move(image), needsThumbnailer);
            },
            Qt::QueuedConnection);
    }
}

void ThumbnailLoader::drainThumbnailers()
{
    yieldToWindow();
    for (;;) {
        Request request;
        {
            QMutexLocker lock(&m_mutex);
            if (m_stop || m_thumbnailerQueue.empty()) {
                m_thumbnailerRunning = false;
                return;
            }
            request = std::move(m_thumbnailerQueue.front());
            m_thumbnailerQueue.pop_front();
            m_inFlight.insert(keyOf(request.path, request.size));
        }
        ThumbnailJob::Result result = ThumbnailJob::makeWithThumbnailer(m_cache, m_thumbnailers, request.path,
                                                                        request.size, kThumbnailerTimeLimitMs, m_stop);
        QMetaObject::invokeMethod(
            this,
            [this, request, image = std::move(result.image)]() mutable {
                onDone(request.path, request.size, std::move(image), false);
            },
            Qt::QueuedConnection);
    }
}

void ThumbnailLoader::onDone(const QString &path, ThumbnailSize size, QImage image, bool needsThumbnailer)
{
    const QString key = keyOf(path, size);
    bool idleNow = false;
    {
        QMutexLocker lock(&m_mutex);
        m_inFlight.remove(key);
        if (needsThumbnailer) {
            // Served next; the next wish drops it again if it is no longer shown.
            m_needsThumbnailer.insert(key);
            if (!m_thumbnailers.isEmpty())
                m_thumbnailerQueue.push_front({path, size});
            startWorkersLocked();
        }
        idleNow = m_pictureQueue.empty() && m_thumbnailerQueue.empty() && m_inFlight.isEmpty();
    }
    if (!needsThumbnailer) {
        if (image.isNull()) {
            if (m_none.size() > 500000) // a bound, not a policy: forgetting costs a look at the cache
                m_none.clear();
            m_none.insert(key);
        } else {
            const qint64 kib = qMax<qint64>(1, image.sizeInBytes() / 1024);
            m_memory.insert(key, new QImage(std::move(image)), kib);
        }
        Q_EMIT thumbnailReady(path);
    }
    if (idleNow)
        Q_EMIT idle();
}
