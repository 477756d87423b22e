#pragma once

#include <QImage>
#include <QString>

// Thumbnails of pictures made in this process: only as many pixels as the
// thumbnail needs are decoded.
namespace ThumbnailMaker {

// Whether Qt's image plugins read files of this MIME type.
bool readsPictures(const QString &mimeType);

// The picture scaled to fit a square of the given side (never enlarged), turned
// as its EXIF orientation says; a null image when it cannot be read.
QImage fromPicture(const QString &path, int side);

// A picture some other program wrote, brought to the same rule.
QImage fitted(QImage picture, int side);

} // namespace ThumbnailMaker
