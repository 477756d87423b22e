#pragma once

#include <QStringList>
#include <QTreeView>

#include <functional>

class QMimeData;

// The category tree. Files dropped on it are handed to the window, which refiles
// them; while rows of the file list are dragged, the node under the pointer becomes
// the selected one, so the selection always shows where a drop would go.
class CategoryTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit CategoryTreeView(QWidget *parent = nullptr);

    // Whether the drag now under way carries rows of the file list.
    void setListDragActiveCheck(std::function<bool()> check) { m_listDragActive = std::move(check); }

    // The file paths a drop carries; empty when it carries no file list.
    static QStringList droppedPaths(const QMimeData *data);

Q_SIGNALS:
    // Any mouse click in the tree, on a node or beside the nodes.
    void clickedAnywhere();
    // A double click while the tree has no category at all.
    void emptyTreeDoubleClicked();
    void filesDropped(const QStringList &paths);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    std::function<bool()> m_listDragActive;
};
