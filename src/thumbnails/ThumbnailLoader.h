#pragma once

#include "DesktopThumbnailers.h"
#include "ThumbnailCacheDir.h"

#include <QCache>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <deque>

// Serves thumbnails to a view. The view says which files it shows, in the order it
// wants them (setWanted); a small pool of worker threads takes them from the cache or
// makes them, and thumbnailReady() announces each. Work for files that are no longer
// wanted is dropped before it starts. Desktop thumbnailers (video, documents) run one
// at a time on a thread of their own, so they never hold up the pictures.
//
// Decoded thumbnails are kept in memory up to a limit in bytes (memoryLimit()); the
// least recently used go first.
class ThumbnailLoader : public QObject
{
    Q_OBJECT

public:
    // Some 1,300 normal or 340 large thumbnails: many screenfuls of either.
    static constexpr qint64 kDefaultMemoryLimit = 64LL * 1024 * 1024;
    static constexpr int kThumbnailerTimeLimitMs = 20000;

    ThumbnailLoader(ThumbnailCacheDir cache, DesktopThumbnailers thumbnailers, QObject *parent = nullptr);
    ~ThumbnailLoader() override;

    // The thumbnail held in memory; null when it is not (yet) known or there is none.
    QImage thumbnail(const QString &path, ThumbnailSize size) const;
    // The file has no thumbnail at this size (not a picture, failed, not there).
    bool hasNone(const QString &path, ThumbnailSize size) const;

    // The files shown now, most wanted first. Replaces the previous wish: work not
    // begun for other files is dropped.
    void setWanted(const QStringList &paths, ThumbnailSize size);
    // Nothing is queued and nothing is being worked on.
    bool isIdle() const;

    void setMemoryLimit(qint64 bytes);
    qint64 memoryLimit() const { return m_memory.maxCost() * 1024; }
    qint64 memoryUsed() const { return m_memory.totalCost() * 1024; }
    void setPictureWorkers(int count);
    const ThumbnailCacheDir &cache() const { return m_cache; }

Q_SIGNALS:
    void thumbnailReady(const QString &path);
    // The last wanted file has been served.
    void idle();

private:
    struct Request {
        QString path;
        ThumbnailSize size;
    };
    static QString keyOf(const QString &path, ThumbnailSize size);

    void startWorkersLocked();
    void drainPictures();
    void drainThumbnailers();
    void onDone(const QString &path, ThumbnailSize size, QImage image, bool needsThumbnailer);

    const ThumbnailCacheDir m_cache;
    const DesktopThumbnailers m_thumbnailers;
    QCache<QString, QImage> m_memory; // cost in KiB
    QSet<QString> m_none;

    mutable QMutex m_mutex; // guards everything below
    std::deque<Request> m_pictureQueue;
    std::deque<Request> m_thumbnailerQueue;
    QSet<QString> m_inFlight; // taken by a worker, result not yet handled
    QSet<QString> m_needsThumbnailer;
    int m_runningPictureWorkers = 0;
    bool m_thumbnailerRunning = false;
    int m_pictureWorkerLimit = 2;

    std::atomic_bool m_stop{false};
    QThreadPool m_pool;
};
