#pragma once

#include "ThumbnailCacheDir.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// What a thumbnail says about the file it was made of, in its PNG text chunks.
struct ThumbnailKeys {
    QByteArray uri; // Thumb::URI
    qint64 modified = -1; // Thumb::MTime: whole seconds since the epoch
    qint64 size = -1; // Thumb::Size: the file's size in bytes
    QString mime; // Thumb::Mime
};

namespace ThumbnailFile {

ThumbnailKeys keysOf(const QImage &thumbnail);

// A thumbnail is fresh when it names the file's URI and its modification time to
// the second. A file that cannot be reached (modified < 0) has no time to compare:
// its thumbnail counts as fresh when the URI matches.
bool isFresh(const QImage &thumbnail, const QByteArray &uri, qint64 modified);

// A fresh cached thumbnail of at least the wanted size, else a null image. Bigger
// sizes are looked at when the wanted one has none, and scaled down to fit.
QImage readFresh(const ThumbnailCacheDir &cache, const QByteArray &uri, qint64 modified, ThumbnailSize wanted);

// Writes a thumbnail with its keys and "Software", as a file of its own in the
// cache: a temporary file in the same folder is renamed over the final name, so a
// reader never sees half a picture. Folders are made private (0700), the file too
// (0600).
bool write(const QString &path, QImage thumbnail, const ThumbnailKeys &keys);

// Failures are noted in Corvanta's own folder below "fail": a file that cannot be
// thumbnailed is not tried again until it changes.
bool writeFailure(const ThumbnailCacheDir &cache, const ThumbnailKeys &keys);
bool hasFreshFailure(const ThumbnailCacheDir &cache, const QByteArray &uri, qint64 modified);

} // namespace ThumbnailFile
