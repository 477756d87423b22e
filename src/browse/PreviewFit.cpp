#include "PreviewFit.h"

#include <algorithm>

QRect fitPreviewRect(const QSize &picture, const QSize &box)
{
    if (picture.isEmpty() || box.isEmpty())
        return {};
    QSize fitted = picture;
    if (picture.width() > box.width() || picture.height() > box.height())
        fitted = picture.scaled(box, Qt::KeepAspectRatio);
    // A very thin picture must not vanish to nothing.
    fitted = fitted.expandedTo(QSize(1, 1));
    const int x = (box.width() - fitted.width()) / 2;
    const int y = (box.height() - fitted.height()) / 2;
    return QRect(QPoint(x, y), fitted);
}
