#pragma once

#include "ThumbnailCacheDir.h"

#include <QListView>
#include <QPoint>
#include <QTimer>

class ThumbnailDelegate;
class ThumbnailLoader;

// The file list as a grid of thumbnails, each above its row's name. It shows the
// file list's own model and shares its selection, so both views always agree; its
// input goes out through the same signals as the report view's.
//
// The grid asks its loader for the thumbnails of the cells on screen, top left
// first, then for the next screenful; scrolling replaces the wish, so work for rows
// scrolled away is dropped. Ctrl+wheel, Ctrl++ and Ctrl+- switch between the normal
// (128) and the large (256) size.
class FileThumbnailView : public QListView
{
    Q_OBJECT

public:
    // Without a loader of its own, the view makes one on the desktop's shared cache
    // and its installed thumbnailers.
    explicit FileThumbnailView(QWidget *parent = nullptr, ThumbnailLoader *loader = nullptr);

    void setModel(QAbstractItemModel *model) override;
    // A new listing starts at its first row, wherever the last one was scrolled to.
    void reset() override;

    ThumbnailSize thumbnailSize() const;
    void setThumbnailSize(ThumbnailSize size);
    ThumbnailLoader &loader() const { return *m_loader; }
    // Lays the grid out again, in the rows' order, and shows the current row.
    void arrangeIcons();
    // The files of the cells on screen, top left first.
    QStringList visiblePaths() const;

Q_SIGNALS:
    void fillLabelsRequested();
    void removeRequested();
    void contextMenuRequested(const QPoint &globalPos);
    void propertiesRequested();
    void rowDragStarted();
    void rowDragFinished();
    void dragPassedOver();
    void thumbnailSizeChanged(ThumbnailSize size);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // The whole viewport: the list's own answer visits every selected row, which
    // after Select All in a big category are a million.
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;

private:
    void applyGrid();
    void askForVisible();
    void scheduleWanted();
    void scheduleRepaint();

    ThumbnailLoader *m_loader;
    ThumbnailDelegate *m_delegate;
    QTimer m_wantedTimer;
    QTimer m_repaintTimer;
};
