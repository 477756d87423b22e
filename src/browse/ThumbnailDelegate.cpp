#include "ThumbnailDelegate.h"

#include "FileListModel.h"
#include "ThumbnailLoader.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int kPadding = 6;
// Type icons stand in for thumbnails at a size that reads as "no picture".
constexpr int kTypeIconSide = 48;

} // namespace

ThumbnailDelegate::ThumbnailDelegate(ThumbnailLoader &loader, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_loader(loader)
{
}

QSize ThumbnailDelegate::cellSize(const QFontMetrics &metrics) const
{
    const int side = int(m_size);
    return {side + 2 * kPadding, side + 3 * kPadding + metrics.height()};
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return cellSize(option.fontMetrics);
}

void ThumbnailDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget *widget = cell.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // The item's own panel: selection and hover as the style draws them.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);

    const int side = int(m_size);
    const QRect square(cell.rect.left() + (cell.rect.width() - side) / 2, cell.rect.top() + kPadding, side, side);
    const QImage thumbnail = m_loader.thumbnail(index.data(FileListModel::PathRole).toString(), m_size);
    painter->save();
    if (!thumbnail.isNull()) {
        QSize shown = thumbnail.size();
        if (shown.width() > side || shown.height() > side)
            shown.scale(side, side, Qt::KeepAspectRatio);
        // Pictures hang from the top of their square: in the low list of a small
        // window the picture is what shows.
        const QRect place(square.left() + (side - shown.width()) / 2, square.top(), shown.width(), shown.height());
        painter->setRenderHint(QPainter::SmoothPixmapTransform, shown != thumbnail.size());
        painter->drawImage(place, thumbnail);
    } else {
        if (cell.icon.isNull() && m_fileIcon.isNull())
            m_fileIcon = style->standardIcon(QStyle::SP_FileIcon, nullptr, widget);
        const QIcon &icon = cell.icon.isNull() ? m_fileIcon : cell.icon;
        const QRect place(square.center().x() - kTypeIconSide / 2, square.center().y() - kTypeIconSide / 2,
                          kTypeIconSide, kTypeIconSide);
        icon.paint(painter, place, Qt::AlignCenter,
                   cell.state.testFlag(QStyle::State_Enabled) ? QIcon::Normal : QIcon::Disabled);
    }

    const QRect textRect(cell.rect.left() + kPadding / 2, square.bottom() + kPadding,
                         cell.rect.width() - kPadding, cell.fontMetrics.height());
    const bool selected = cell.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        cell.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(cell.font);
    painter->drawText(textRect, Qt::AlignHCenter | Qt::AlignTop,
                      cell.fontMetrics.elidedText(cell.text, Qt::ElideMiddle, textRect.width()));
    painter->restore();

    if (cell.state.testFlag(QStyle::State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(cell);
        focus.rect = cell.rect.adjusted(1, 1, -1, -1);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}
