#pragma once

#include "ThumbnailCacheDir.h"

#include <QIcon>
#include <QStyledItemDelegate>

class ThumbnailLoader;

// Paints a file list row as a cell of the thumbnail grid: the thumbnail centred in a
// square above the row's name, or the file's type icon while there is none. It only
// shows what the loader holds in memory; the view tells the loader what to fetch.
class ThumbnailDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ThumbnailDelegate(ThumbnailLoader &loader, QObject *parent = nullptr);

    void setThumbnailSize(ThumbnailSize size) { m_size = size; }
    ThumbnailSize thumbnailSize() const { return m_size; }
    // Every cell has this size: the grid needs no measuring, however many rows.
    QSize cellSize(const QFontMetrics &metrics) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    ThumbnailLoader &m_loader;
    ThumbnailSize m_size = ThumbnailSize::Normal;
    mutable QIcon m_fileIcon; // for rows without a type icon, made once
};
