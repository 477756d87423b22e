#include "FileThumbnailView.h"

#include "FileListInput.h"
#include "FileListModel.h"
#include "ThumbnailDelegate.h"
#include "ThumbnailLoader.h"

#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Repaints for thumbnails that arrive are gathered: a screenful comes in a burst.
constexpr int kRepaintDelayMs = 30;

} // namespace

FileThumbnailView::FileThumbnailView(QWidget *parent, ThumbnailLoader *loader)
    : QListView(parent)
    , m_loader(loader ? loader
                      : new ThumbnailLoader(ThumbnailCacheDir::standard(), DesktopThumbnailers::installed(), this))
    , m_delegate(new ThumbnailDelegate(*m_loader, this))
{
    setObjectName(QStringLiteral("lvThumbnails"));
    // A wrapping list rather than the free icon mode: its layout is a flat table of
    // positions, which stays quick at a million rows.
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSpacing(0);
    setModelColumn(NameColumn);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::PreventContextMenu); // the right button press opens the menu
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setAcceptDrops(true); // only to notice drags passing over: none is taken
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    applyGrid();

    m_wantedTimer.setSingleShot(true);
    m_wantedTimer.setInterval(0);
    connect(&m_wantedTimer, &QTimer::timeout, this, &FileThumbnailView::askForVisible);
    m_repaintTimer.setSingleShot(true);
    m_repaintTimer.setInterval(kRepaintDelayMs);
    connect(&m_repaintTimer, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
    connect(m_loader, &ThumbnailLoader::thumbnailReady, this, &FileThumbnailView::scheduleRepaint);

    auto addZoom = [this](const QKeySequence &keys, ThumbnailSize size) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, size] { setThumbnailSize(size); });
    };
    addZoom(QKeySequence(Qt::CTRL | Qt::Key_Plus), ThumbnailSize::Large);
    addZoom(QKeySequence(Qt::CTRL | Qt::Key_Equal), ThumbnailSize::Large); // "+" without Shift
    addZoom(QKeySequence(Qt::CTRL | Qt::Key_Minus), ThumbnailSize::Normal);
}

void FileThumbnailView::reset()
{
    QListView::reset();
    scrollToTop();
}

void FileThumbnailView::setModel(QAbstractItemModel *model)
{
    if (QAbstractItemModel *old = this->model())
        disconnect(old, nullptr, this, nullptr);
    QListView::setModel(model);
    if (!model)
        return;
    connect(model, &QAbstractItemModel::modelReset, this, &FileThumbnailView::scheduleWanted);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FileThumbnailView::scheduleWanted);
    connect(model, &QAbstractItemModel::rowsInserted, this, &FileThumbnailView::scheduleWanted);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &FileThumbnailView::scheduleWanted);
    scheduleWanted();
}

ThumbnailSize FileThumbnailView::thumbnailSize() const
{
    return m_delegate->thumbnailSize();
}

void FileThumbnailView::setThumbnailSize(ThumbnailSize size)
{
    if (size == thumbnailSize())
        return;
    const QModelIndex current = currentIndex();
    m_delegate->setThumbnailSize(size);
    applyGrid();
    if (current.isValid())
        scrollTo(current);
    scheduleWanted();
    Q_EMIT thumbnailSizeChanged(size);
}

void FileThumbnailView::applyGrid()
{
    setGridSize(m_delegate->cellSize(fontMetrics()));
    const int side = int(thumbnailSize());
    setIconSize(QSize(side, side));
    // A wheel step moves about a third of a row.
    verticalScrollBar()->setSingleStep(qMax(1, gridSize().height() / 3));
    doItemsLayout();
}

void FileThumbnailView::arrangeIcons()
{
    doItemsLayout();
    if (currentIndex().isValid())
        scrollTo(currentIndex());
    scheduleWanted();
}

QStringList FileThumbnailView::visiblePaths() const
{
    QStringList paths;
    if (!model())
        return paths;
    const QSize cell = gridSize();
    const QRect area = viewport()->rect();
    // Cells sit in rows order, left to right and wrapping: the rows on screen are a
    // range, found by probing the viewport at half-cell steps.
    int first = -1;
    int last = -1;
    for (int y = 1; y < area.height() + cell.height() / 2; y += qMax(1, cell.height() / 2)) {
        for (int x = 1; x < area.width(); x += qMax(1, cell.width() / 2)) {
            const QModelIndex index = indexAt(QPoint(x, qMin(y, area.height() - 1)));
            if (!index.isValid())
                continue;
            first = first < 0 ? index.row() : qMin(first, index.row());
            last = qMax(last, index.row());
        }
    }
    if (first < 0)
        return paths;
    // The next screenful follows, so that scrolling on finds it ready.
    const int shown = last - first + 1;
    const int end = qMin(model()->rowCount(), last + 1 + shown);
    paths.reserve(end - first);
    for (int row = first; row < end; ++row)
        paths.append(model()->index(row, NameColumn).data(FileListModel::PathRole).toString());
    return paths;
}

void FileThumbnailView::askForVisible()
{
    if (!isVisible())
        return;
    m_loader->setWanted(visiblePaths(), thumbnailSize());
}

void FileThumbnailView::scheduleWanted()
{
    if (isVisible())
        m_wantedTimer.start();
}

void FileThumbnailView::scheduleRepaint()
{
    if (isVisible() && !m_repaintTimer.isActive())
        m_repaintTimer.start();
}

void FileThumbnailView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    scheduleWanted();
}

void FileThumbnailView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    scheduleWanted();
}

void FileThumbnailView::showEvent(QShowEvent *event)
{
    QListView::showEvent(event);
    scheduleWanted();
}

QRegion FileThumbnailView::visualRegionForSelection(const QItemSelection &selection) const
{
    return selection.isEmpty() ? QRegion() : QRegion(viewport()->rect());
}

void FileThumbnailView::hideEvent(QHideEvent *event)
{
    QListView::hideEvent(event);
    // The report view needs no thumbnails: work not begun is dropped.
    m_loader->setWanted({}, thumbnailSize());
}

void FileThumbnailView::mousePressEvent(QMouseEvent *event)
{
    if (!FileListInput::takeRightClick(*this, *event))
        QListView::mousePressEvent(event);
}

void FileThumbnailView::mouseReleaseEvent(QMouseEvent *event)
{
    QListView::mouseReleaseEvent(event);
    Q_EMIT fillLabelsRequested();
}

void FileThumbnailView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT propertiesRequested();
}

void FileThumbnailView::keyPressEvent(QKeyEvent *event)
{
    if (!FileListInput::takeKey(*this, *event))
        QListView::keyPressEvent(event);
}

void FileThumbnailView::keyReleaseEvent(QKeyEvent *event)
{
    QListView::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        Q_EMIT fillLabelsRequested();
}

void FileThumbnailView::wheelEvent(QWheelEvent *event)
{
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        QListView::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y();
    if (steps != 0)
        setThumbnailSize(steps > 0 ? ThumbnailSize::Large : ThumbnailSize::Normal);
    event->accept();
}

void FileThumbnailView::startDrag(Qt::DropActions)
{
    Q_EMIT rowDragStarted();
    // Copy only: rows dropped on a file manager become copies of the files there.
    QListView::startDrag(Qt::CopyAction);
    Q_EMIT rowDragFinished();
}

void FileThumbnailView::dragEnterEvent(QDragEnterEvent *event)
{
    Q_EMIT dragPassedOver();
    event->ignore();
}

