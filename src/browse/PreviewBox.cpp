#include "PreviewBox.h"

#include "PreviewFit.h"
#include "ThumbnailFile.h"

#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QPainter>

namespace {

// The box as designed: 1575 by 1335 twips.
constexpr int kWidthTwips = 1575;
constexpr int kHeightTwips = 1335;
constexpr int kTwipsPerInch = 1440;

bool swapsSides(QImageIOHandler::Transformations transformation)
{
    return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

// Pictures stored with a colour table (a two-colour PNG, a 256-colour GIF or BMP).
// Some decoders scale them while reading as if their pixels were plain
// black-and-white bits, so they are read whole and scaled here.
bool hasColourTable(QImage::Format format)
{
    return format == QImage::Format_Mono || format == QImage::Format_MonoLSB || format == QImage::Format_Indexed8;
}

// Scales a picture read whole down to the size shown. A huge one first shrinks by
// dropping pixels, in its own compact format, so that only a copy near the shown size
// is ever held at full colour depth.
QImage scaledDown(QImage picture, const QSize &shown)
{
    if (picture.width() > 2 * shown.width() && picture.height() > 2 * shown.height())
        picture = picture.scaled(shown * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QImage::Format full = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    return picture.convertToFormat(full).scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A fresh thumbnail from the desktop's cache that covers the shown size: a small
// PNG instead of the whole picture.
QImage cachedThumbnail(const QString &path, const QSize &shown)
{
    const QFileInfo file(path);
    const QByteArray uri = ThumbnailCacheDir::fileUri(file.absoluteFilePath());
    const ThumbnailSize size = thumbnailSizeFor(qMax(shown.width(), shown.height()));
    QImage thumbnail =
        ThumbnailFile::readFresh(ThumbnailCacheDir::standard(), uri, file.lastModified().toSecsSinceEpoch(), size);
    if (thumbnail.width() < shown.width() && thumbnail.height() < shown.height())
        return {};
    return thumbnail.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

PreviewBox::PreviewBox(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("picPreview"));
    setFixedSize(sizeHint());
}

QSize PreviewBox::sizeHint() const
{
    const int dpiX = logicalDpiX() > 0 ? logicalDpiX() : 96;
    const int dpiY = logicalDpiY() > 0 ? logicalDpiY() : 96;
    return {kWidthTwips * dpiX / kTwipsPerInch, kHeightTwips * dpiY / kTwipsPerInch};
}

bool PreviewBox::loadPicture(const QString &path)
{
    clear();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty())
        return false;
    const bool swapped = swapsSides(reader.transformation());
    const QSize natural = swapped ? stored.transposed() : stored;

    // Decode at the size the box shows, in device pixels; the reader scales the
    // picture before it turns it, so the request is in stored orientation.
    const qreal ratio = devicePixelRatioF();
    const QSize shown = fitPreviewRect(natural, size() * ratio).size();
    const bool larger = shown.width() < natural.width();
    if (larger) {
        QImage thumbnail = cachedThumbnail(path, shown);
        if (!thumbnail.isNull()) {
            m_picture = std::move(thumbnail);
            m_naturalSize = natural;
            update();
            return true;
        }
    }
    const bool scaleWhileReading = larger && !hasColourTable(reader.imageFormat());
    if (scaleWhileReading)
        reader.setScaledSize(swapped ? shown.transposed() : shown);
    QImage picture = reader.read();
    if (picture.isNull())
        return false;
    if (larger && !scaleWhileReading)
        picture = scaledDown(std::move(picture), shown);
    m_picture = std::move(picture);
    m_naturalSize = natural;
    update();
    return true;
}

void PreviewBox::clear()
{
    m_picture = QImage();
    m_naturalSize = QSize();
    update();
}

QRect PreviewBox::pictureRect() const
{
    if (m_picture.isNull())
        return {};
    // Placed by its natural size: the decoded copy may hold more pixels than the
    // rectangle on a high-density screen.
    return fitPreviewRect(m_naturalSize, size());
}

void PreviewBox::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), m_picture);
}
