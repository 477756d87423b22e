#pragma once

#include "DesktopThumbnailers.h"
#include "ThumbnailCacheDir.h"

#include <QImage>
#include <QString>

#include <atomic>

// The work for one file, on a worker thread: a fresh thumbnail from the cache, or
// one made and given back to the cache. Catalogued files are only read.
namespace ThumbnailJob {

enum class Outcome {
    Cached, // found in the cache
    Made, // made now and written to the cache
    NeedsThumbnailer, // not cached, and only a desktop thumbnailer can make it
    None, // no thumbnail: not a picture, failed before, or the file is not there
};

struct Result {
    Outcome outcome = Outcome::None;
    QImage image;
    QString mimeType;
};

// Looks in the cache, and makes the thumbnail of a picture Qt reads. A file that
// is not there (a drive not connected) gets its cached thumbnail if there is one,
// never a new one; files of the cache itself get none.
Result lookUpOrMakePicture(const ThumbnailCacheDir &cache, const DesktopThumbnailers &thumbnailers,
                           const QString &path, ThumbnailSize size);

// Runs the desktop thumbnailer for a file lookUpOrMakePicture() passed on, and
// writes its picture to the cache, or the failure.
Result makeWithThumbnailer(const ThumbnailCacheDir &cache, const DesktopThumbnailers &thumbnailers,
                           const QString &path, ThumbnailSize size, int timeLimitMs, const std::atomic_bool &stop);

} // namespace ThumbnailJob
