#include "ThumbnailMaker.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <QSet>

namespace ThumbnailMaker {

bool readsPictures(const QString &mimeType)
{
    static const QSet<QByteArray> supported = [] {
        const QList<QByteArray> types = QImageReader::supportedMimeTypes();
        return QSet<QByteArray>(types.begin(), types.end());
    }();
    return supported.contains(mimeType.toLatin1());
}

QImage fromPicture(const QString &path, int side)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    // Colour-table pictures are read whole: some decoders scale their indexes as if
    // they were plain pixels.
    const QImage::Format format = reader.imageFormat();
    const bool indexed = format == QImage::Format_Mono || format == QImage::Format_MonoLSB
        || format == QImage::Format_Indexed8;
    if (stored.isValid() && !indexed && (stored.width() > side || stored.height() > side)) {
        // The decoder scales before it turns the picture: the request keeps the
        // stored sides, and fits the square either way round.
        reader.setScaledSize(stored.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    QImage picture = reader.read();
    if (picture.isNull())
        return {};
    return fitted(std::move(picture), side);
}

QImage fitted(QImage picture, int side)
{
    if (picture.isNull())
        return {};
    // Full colour first: scaling keeps a colour-table picture's format, and a one-bit
    // picture of any colours comes out black.
    const QImage::Format kept = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (picture.format() != kept)
        picture = picture.convertToFormat(kept);
    if (picture.width() > side || picture.height() > side) {
        if (picture.width() > 4 * side && picture.height() > 4 * side)
            picture = picture.scaled(side * 2, side * 2, Qt::KeepAspectRatio, Qt::FastTransformation);
        picture = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return picture.format() == kept ? picture : picture.convertToFormat(kept);
}

} // namespace ThumbnailMaker
