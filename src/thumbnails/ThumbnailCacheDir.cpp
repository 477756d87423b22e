#include "ThumbnailCacheDir.h"

#include <QCryptographicHash>
#include <QDir>

ThumbnailSize thumbnailSizeFor(int pixels)
{
    for (ThumbnailSize size : {ThumbnailSize::Normal, ThumbnailSize::Large, ThumbnailSize::XLarge})
        if (pixels <= int(size))
            return size;
    return ThumbnailSize::XXLarge;
}

const char *thumbnailFolderName(ThumbnailSize size)
{
    switch (size) {
    case ThumbnailSize::Normal:
        return "normal";
    case ThumbnailSize::Large:
        return "large";
    case ThumbnailSize::XLarge:
        return "x-large";
    case ThumbnailSize::XXLarge:
        return "xx-large";
    }
    return "normal";
}

ThumbnailCacheDir ThumbnailCacheDir::standard()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return ThumbnailCacheDir(base + QStringLiteral("/thumbnails"));
}

ThumbnailCacheDir::ThumbnailCacheDir(QString root)
    : m_root(QDir::cleanPath(std::move(root)))
{
}

QByteArray ThumbnailCacheDir::fileUri(const QString &absolutePath)
{
    // GLib's set for paths: the URI, and so the MD5 name, must be byte for byte the
    // one a GNOME file manager computes, or neither finds the other's thumbnails.
    static const QByteArray kKept = QByteArrayLiteral("!$&'()*+,-./:=@_~");
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray path = absolutePath.toUtf8();
    QByteArray uri = QByteArrayLiteral("file://");
    uri.reserve(uri.size() + path.size() * 3);
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
            || kKept.contains(c);
        if (plain) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri;
}

QString ThumbnailCacheDir::fileName(const QByteArray &uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex())
        + QStringLiteral(".png");
}

QString ThumbnailCacheDir::folder(ThumbnailSize size) const
{
    return m_root + QLatin1Char('/') + QLatin1String(thumbnailFolderName(size));
}

QString ThumbnailCacheDir::thumbnailPath(const QByteArray &uri, ThumbnailSize size) const
{
    return folder(size) + QLatin1Char('/') + fileName(uri);
}

QString ThumbnailCacheDir::failureFolder() const
{
    return m_root + QStringLiteral("/fail/corvanta-%1.%2.%3")
                        .arg(CORVANTA_VERSION_MAJOR)
                        .arg(CORVANTA_VERSION_MINOR)
                        .arg(CORVANTA_VERSION_PATCH);
}

QString ThumbnailCacheDir::failurePath(const QByteArray &uri) const
{
    return failureFolder() + QLatin1Char('/') + fileName(uri);
}

bool ThumbnailCacheDir::contains(const QString &absolutePath) const
{
    const QString clean = QDir::cleanPath(absolutePath);
    return clean == m_root || clean.startsWith(m_root + QLatin1Char('/'));
}
