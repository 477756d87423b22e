#include "ThumbnailJob.h"

#include "ThumbnailFile.h"
#include "ThumbnailMaker.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace {

struct FileState {
    QByteArray uri;
    bool exists = false;
    qint64 modified = -1;
    qint64 size = -1;
};

FileState stateOf(const QString &path)
{
    FileState state;
    state.uri = ThumbnailCacheDir::fileUri(path);
    const QFileInfo info(path);
    state.exists = info.isFile();
    if (state.exists) {
        state.modified = info.lastModified().toSecsSinceEpoch();
        state.size = info.size();
    }
    return state;
}

QString mimeTypeOf(const QString &path)
{
    static const QMimeDatabase database;
    return database.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
}

const DesktopThumbnailer *thumbnailerFor(const DesktopThumbnailers &thumbnailers, const QString &mimeType)
{
    if (const DesktopThumbnailer *found = thumbnailers.forMimeType(mimeType))
        return found;
    static const QMimeDatabase database;
    const QStringList aliases = database.mimeTypeForName(mimeType).aliases();
    for (const QString &alias : aliases) {
        if (const DesktopThumbnailer *found = thumbnailers.forMimeType(alias))
            return found;
    }
    return nullptr;
}

ThumbnailJob::Result store(const ThumbnailCacheDir &cache, const FileState &state,
                           const QString &mimeType, ThumbnailSize size, QImage thumbnail)
{
    const ThumbnailKeys keys{state.uri, state.modified, state.size, mimeType};
    if (thumbnail.isNull()) {
        ThumbnailFile::writeFailure(cache, keys);
        return {ThumbnailJob::Outcome::None, {}, mimeType};
    }
    // The cache may be read-only or full: the thumbnail is shown all the same.
    ThumbnailFile::write(cache.thumbnailPath(state.uri, size), thumbnail, keys);
    return {ThumbnailJob::Outcome::Made, std::move(thumbnail), mimeType};
}

} // namespace

namespace ThumbnailJob {

Result lookUpOrMakePicture(const ThumbnailCacheDir &cache, const DesktopThumbnailers &thumbnailers,
                           const QString &path, ThumbnailSize size)
{
    const FileState state = stateOf(path);
    QImage cached = ThumbnailFile::readFresh(cache, state.uri, state.exists ? state.modified : -1, size);
    if (!cached.isNull())
        return {Outcome::Cached, std::move(cached), {}};
    if (!state.exists || cache.contains(path))
        return {};
    if (ThumbnailFile::hasFreshFailure(cache, state.uri, state.modified))
        return {};
    const QString mimeType = mimeTypeOf(path);
    if (ThumbnailMaker::readsPictures(mimeType))
        return store(cache, state, mimeType, size, ThumbnailMaker::fromPicture(path, int(size)));
    if (thumbnailerFor(thumbnailers, mimeType))
        return {Outcome::NeedsThumbnailer, {}, mimeType};
    return {Outcome::None, {}, mimeType};
}

Result makeWithThumbnailer(const ThumbnailCacheDir &cache, const DesktopThumbnailers &thumbnailers,
                           const QString &path, ThumbnailSize size, int timeLimitMs, const std::atomic_bool &stop)
{
    const FileState state = stateOf(path);
    if (!state.exists || cache.contains(path))
        return {};
    const QString mimeType = mimeTypeOf(path);
    const DesktopThumbnailer *thumbnailer = thumbnailerFor(thumbnailers, mimeType);
    if (!thumbnailer)
        return {};
    QImage picture = DesktopThumbnailers::run(*thumbnailer, path, state.uri, int(size), timeLimitMs, stop);
    if (stop)
        return {}; // cut short: no failure to note
    return store(cache, state, mimeType, size, ThumbnailMaker::fitted(std::move(picture), int(size)));
}

} // namespace ThumbnailJob
