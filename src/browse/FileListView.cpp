#include "FileListView.h"

#include "FileListInput.h"
#include "FileListModel.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// Column widths as designed, in twips: Name, Extension, Type, Last Modified, Keywords.
constexpr int kColumnTwips[FileListColumnCount] = {3000, 1600, 1440, 1600, 5400};
constexpr int kTwipsPerInch = 1440;

} // namespace

FileListView::FileListView(QWidget *parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("lvListView"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // 100,000 rows must not be measured one by one
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::PreventContextMenu); // the right button press opens the menu
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setAcceptDrops(true); // only to notice drags passing over: none is taken
    setSortingEnabled(false); // the header's own toggling would sort descending
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(true);
    connect(header(), &QHeaderView::sectionClicked, this, &FileListView::onHeaderClicked);
}

void FileListView::setModel(QAbstractItemModel *model)
{
    if (auto *old = qobject_cast<FileListModel *>(this->model()))
        disconnect(old, &FileListModel::sortingChanged, this, nullptr);
    QTreeView::setModel(model);
    applyColumnWidths();
    auto *files = qobject_cast<FileListModel *>(model);
    if (!files)
        return;
    connect(files, &FileListModel::sortingChanged, this, &FileListView::showSortIndicator);
    if (files->isSorted())
        showSortIndicator(files->sortColumn());
}

void FileListView::reset()
{
    QTreeView::reset();
    scrollToTop();
}

void FileListView::mousePressEvent(QMouseEvent *event)
{
    if (!FileListInput::takeRightClick(*this, *event))
        QTreeView::mousePressEvent(event);
}

void FileListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    // Covers the click too: a click ends in this release.
    Q_EMIT fillLabelsRequested();
}

void FileListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT propertiesRequested();
}

void FileListView::keyPressEvent(QKeyEvent *event)
{
    if (!FileListInput::takeKey(*this, *event))
        QTreeView::keyPressEvent(event);
}

void FileListView::keyReleaseEvent(QKeyEvent *event)
{
    QTreeView::keyReleaseEvent(event);
    // Holding an arrow key sends a release per repeat; the panel (and its picture
    // decoding) need only follow the last one.
    if (!event->isAutoRepeat())
        Q_EMIT fillLabelsRequested();
}

void FileListView::startDrag(Qt::DropActions)
{
    Q_EMIT rowDragStarted();
    // Copy only: rows dropped on a file manager become copies of the files there.
    QTreeView::startDrag(Qt::CopyAction);
    Q_EMIT rowDragFinished();
}

void FileListView::dragEnterEvent(QDragEnterEvent *event)
{
    Q_EMIT dragPassedOver();
    event->ignore();
}

void FileListView::onHeaderClicked(int section)
{
    QAbstractItemModel *files = model();
    if (!files)
        return;
    files->sort(section, Qt::AscendingOrder);
    // The header has flipped its indicator on its own by now; it must show the
    // model's order, which never descends and ignores "Type".
    if (auto *list = qobject_cast<FileListModel *>(files); list && list->isSorted())
        showSortIndicator(list->sortColumn());
    else
        header()->setSortIndicatorShown(false);
}

void FileListView::showSortIndicator(int column)
{
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, Qt::AscendingOrder);
}

void FileListView::applyColumnWidths()
{
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    for (int column = 0; column < FileListColumnCount; ++column)
        setColumnWidth(column, kColumnTwips[column] * dpi / kTwipsPerInch);
}
