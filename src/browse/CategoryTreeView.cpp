#include "CategoryTreeView.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

CategoryTreeView::CategoryTreeView(QWidget *parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("tvTreeView"));
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false); // a drop files into the selected node, never between nodes
}

QStringList CategoryTreeView::droppedPaths(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

void CategoryTreeView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    // Every button counts: a right or middle click lists the category again too.
    Q_EMIT clickedAnywhere();
}

QItemSelectionModel::SelectionFlags CategoryTreeView::selectionCommand(const QModelIndex &index,
                                                                      const QEvent *event) const
{
    // A click beside the nodes keeps the selected node (Qt would clear it when the
    // button comes up over empty space), so that the click lists that category
    // again instead of emptying the file list.
    if (!index.isValid() && event
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease))
        return QItemSelectionModel::NoUpdate;
    return QTreeView::selectionCommand(index, event);
}

void CategoryTreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && model() && model()->rowCount() == 0)
        Q_EMIT emptyTreeDoubleClicked();
}

void CategoryTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CategoryTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    if (m_listDragActive && m_listDragActive()) {
        const QModelIndex under = indexAt(event->position().toPoint());
        if (under.isValid())
            selectionModel()->setCurrentIndex(under, QItemSelectionModel::ClearAndSelect);
        else
            selectionModel()->clear();
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CategoryTreeView::dropEvent(QDropEvent *event)
{
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore(); // no file list in it: the drop ends silently
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    Q_EMIT filesDropped(paths);
}
