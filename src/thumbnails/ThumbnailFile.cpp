#include "ThumbnailFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>

#include <cstdio>

namespace {

const QString kUriKey = QStringLiteral("Thumb::URI");
const QString kModifiedKey = QStringLiteral("Thumb::MTime");
const QString kSizeKey = QStringLiteral("Thumb::Size");
const QString kMimeKey = QStringLiteral("Thumb::Mime");
const QString kSoftwareKey = QStringLiteral("Software");

constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser
    | QFileDevice::WriteUser | QFileDevice::ExeUser;
constexpr QFileDevice::Permissions kPrivateFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;

QString softwareName()
{
    return QStringLiteral("Corvanta %1.%2.%3")
        .arg(CORVANTA_VERSION_MAJOR)
        .arg(CORVANTA_VERSION_MINOR)
        .arg(CORVANTA_VERSION_PATCH);
}

// Makes the folder and every missing one above it, each private to the user.
bool makePrivateFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).path();
    if (parent != folder && !makePrivateFolder(parent))
        return false;
    return QDir().mkdir(folder) && QFile::setPermissions(folder, kPrivateFolder);
}

QImage readImage(const QString &path)
{
    QImageReader reader(path, "png");
    return reader.read();
}

} // namespace

namespace ThumbnailFile {

ThumbnailKeys keysOf(const QImage &thumbnail)
{
    ThumbnailKeys keys;
    keys.uri = thumbnail.text(kUriKey).toUtf8();
    bool ok = false;
    const qint64 modified = thumbnail.text(kModifiedKey).trimmed().toLongLong(&ok);
    keys.modified = ok ? modified : -1;
    const qint64 size = thumbnail.text(kSizeKey).trimmed().toLongLong(&ok);
    keys.size = ok ? size : -1;
    keys.mime = thumbnail.text(kMimeKey);
    return keys;
}

bool isFresh(const QImage &thumbnail, const QByteArray &uri, qint64 modified)
{
    if (thumbnail.isNull())
        return false;
    const ThumbnailKeys keys = keysOf(thumbnail);
    if (keys.uri != uri)
        return false;
    return modified < 0 || keys.modified == modified;
}

QImage readFresh(const ThumbnailCacheDir &cache, const QByteArray &uri, qint64 modified, ThumbnailSize wanted)
{
    for (ThumbnailSize size :
         {ThumbnailSize::Normal, ThumbnailSize::Large, ThumbnailSize::XLarge, ThumbnailSize::XXLarge}) {
        if (int(size) < int(wanted))
            continue;
        QImage thumbnail = readImage(cache.thumbnailPath(uri, size));
        if (!isFresh(thumbnail, uri, modified))
            continue;
        const int side = int(wanted);
        if (thumbnail.width() > side || thumbnail.height() > side)
            thumbnail = thumbnail.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return thumbnail;
    }
    return {};
}

bool write(const QString &path, QImage thumbnail, const ThumbnailKeys &keys)
{
    if (thumbnail.isNull() || !makePrivateFolder(QFileInfo(path).path()))
        return false;
    thumbnail.setText(kUriKey, QString::fromUtf8(keys.uri));
    thumbnail.setText(kModifiedKey, QString::number(keys.modified));
    if (keys.size >= 0)
        thumbnail.setText(kSizeKey, QString::number(keys.size));
    if (!keys.mime.isEmpty())
        thumbnail.setText(kMimeKey, keys.mime);
    thumbnail.setText(kSoftwareKey, softwareName());

    // A temporary file of the same folder, renamed over the final name. Not synced
    // to disk: a thumbnail lost in a crash is made again, and a sync per file would
    // keep the workers waiting on the disk.
    QTemporaryFile file(QFileInfo(path).path() + QStringLiteral("/.corvanta-XXXXXX.png"));
    if (!file.open())
        return false;
    file.setPermissions(kPrivateFile);
    QImageWriter writer(&file, "png");
    const bool written = writer.write(thumbnail) && file.flush();
    file.close();
    if (written && ::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) == 0) {
        file.setAutoRemove(false);
        return true;
    }
    return false;
}

bool writeFailure(const ThumbnailCacheDir &cache, const ThumbnailKeys &keys)
{
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    return write(cache.failurePath(keys.uri), mark, keys);
}

bool hasFreshFailure(const ThumbnailCacheDir &cache, const QByteArray &uri, qint64 modified)
{
    const QString path = cache.failurePath(uri);
    return QFileInfo::exists(path) && isFresh(readImage(path), uri, modified);
}

} // namespace ThumbnailFile
