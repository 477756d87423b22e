#pragma once

#include <QPoint>
#include <QTreeView>

class FileListModel;

// The file list in report style: one line per file, several rows selectable, a
// header click sorts. Input that the window acts on is passed on as signals; the
// view itself only settles the selection of a right click.
class FileListView : public QTreeView
{
    Q_OBJECT

public:
    explicit FileListView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    // A new listing starts at its first row, wherever the last one was scrolled to.
    void reset() override;

Q_SIGNALS:
    // A click, a mouse button or a key released: the details panel should show
    // the current row.
    void fillLabelsRequested();
    // The Delete key: Remove Item.
    void removeRequested();
    // A right button press, after the row under the pointer has become the only
    // selected one and fillLabelsRequested() has gone out; or the Menu key or
    // Shift+F10, for the current row.
    void contextMenuRequested(const QPoint &globalPos);
    // A double click, over a row or not, or Enter.
    void propertiesRequested();
    // A drag of rows begins here, and ends (dropped or cancelled).
    void rowDragStarted();
    void rowDragFinished();
    // Some drag passed over the list, which takes no drops.
    void dragPassedOver();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;

private:
    void onHeaderClicked(int section);
    void showSortIndicator(int column);
    void applyColumnWidths();
};
