#pragma once

#include <QByteArray>
#include <QString>

// The sizes of the shared thumbnail cache, each a folder of its own. A thumbnail
// fits a square of its size and is never larger than its picture.
enum class ThumbnailSize {
    Normal = 128,
    Large = 256,
    XLarge = 512,
    XXLarge = 1024,
};

// The smallest size whose thumbnails cover a square of the given side.
ThumbnailSize thumbnailSizeFor(int pixels);
const char *thumbnailFolderName(ThumbnailSize size);

// The desktop's shared thumbnail cache ($XDG_CACHE_HOME/thumbnails): file managers,
// image viewers and Corvanta read and write the same files, named by the MD5 sum of
// the file's URI.
class ThumbnailCacheDir
{
public:
    // $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails when that is not set.
    static ThumbnailCacheDir standard();
    explicit ThumbnailCacheDir(QString root);

    const QString &root() const { return m_root; }

    // The file:// URI of an absolute path, as GLib writes it: bytes of the UTF-8
    // path other than letters, digits and !$&'()*+,-./:=@_~ become %XX.
    static QByteArray fileUri(const QString &absolutePath);
    // The cache's name of a thumbnail: MD5 of the URI in lower-case hex, ".png".
    static QString fileName(const QByteArray &uri);

    QString thumbnailPath(const QByteArray &uri, ThumbnailSize size) const;
    QString folder(ThumbnailSize size) const;
    // Where Corvanta notes that it could not make a thumbnail of a file.
    QString failurePath(const QByteArray &uri) const;
    QString failureFolder() const;
    // Thumbnails are never made of the cache's own files.
    bool contains(const QString &absolutePath) const;

private:
    QString m_root;
};
