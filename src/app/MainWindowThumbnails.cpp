// The file list's second view, a grid of thumbnails over the same rows and the same
// selection, and the View > Thumbnails switch between the two.
#include "MainWindow.h"

#include "AppSettings.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "FileThumbnailView.h"

#include <QAction>

namespace {

// The list view's own numbering of its display modes, as "ViewMode" stores it.
constexpr int kIconMode = 0;
constexpr int kReportMode = 3;

} // namespace

void MainWindow::buildThumbnailView()
{
    m_thumbnails = new FileThumbnailView(m_central);
    m_thumbnails->setModel(m_fileListModel);
    m_thumbnails->setSelectionModel(m_fileList->selectionModel());
    m_thumbnails->hide();

    connect(m_thumbnails, &FileThumbnailView::fillLabelsRequested, this, &MainWindow::fillLabels);
    connect(m_thumbnails, &FileThumbnailView::contextMenuRequested, this, &MainWindow::showListMenu);
    connect(m_thumbnails, &FileThumbnailView::removeRequested, m_fileList, &FileListView::removeRequested);
    connect(m_thumbnails, &FileThumbnailView::propertiesRequested, m_fileList, &FileListView::propertiesRequested);
    connect(m_thumbnails, &FileThumbnailView::rowDragStarted, m_fileList, &FileListView::rowDragStarted);
    connect(m_thumbnails, &FileThumbnailView::rowDragFinished, m_fileList, &FileListView::rowDragFinished);
    connect(m_thumbnails, &FileThumbnailView::dragPassedOver, m_fileList, &FileListView::dragPassedOver);
    connect(m_actions.action(QStringLiteral("mnuViewThumbnails")), &QAction::triggered, this,
            &MainWindow::showThumbnails);
    connect(m_actions.action(QStringLiteral("mnuViewArrangeIcons")), &QAction::triggered, m_thumbnails,
            &FileThumbnailView::arrangeIcons);
}

bool MainWindow::showsThumbnails() const
{
    return m_actions.action(QStringLiteral("mnuViewThumbnails"))->isChecked();
}

void MainWindow::showThumbnails(bool on)
{
    m_actions.action(QStringLiteral("mnuViewThumbnails"))->setChecked(on);
    QAbstractItemView *shown = on ? static_cast<QAbstractItemView *>(m_thumbnails) : m_fileList;
    QAbstractItemView *hidden = on ? static_cast<QAbstractItemView *>(m_fileList) : m_thumbnails;
    if (shown->isVisibleTo(this) && !hidden->isVisibleTo(this))
        return;
    // The grid shows the name column only: its current cell must be there.
    QItemSelectionModel *selection = m_fileList->selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && current.column() != NameColumn)
        selection->setCurrentIndex(current.siblingAtColumn(NameColumn), QItemSelectionModel::NoUpdate);
    const bool hadFocus = hidden->hasFocus() || shown->hasFocus();
    shown->show();
    hidden->hide();
    if (selection->currentIndex().isValid())
        shown->scrollTo(selection->currentIndex());
    if (hadFocus)
        shown->setFocus();
}

void MainWindow::restoreListView()
{
    const int size = int(m_settings.number(AppSettings::kThumbnailSize, float(ThumbnailSize::Normal)));
    m_thumbnails->setThumbnailSize(size >= int(ThumbnailSize::Large) ? ThumbnailSize::Large : ThumbnailSize::Normal);
    showThumbnails(m_settings.text(AppSettings::kViewMode).trimmed() == QString::number(kIconMode));
}

void MainWindow::storeListView()
{
    m_settings.setText(AppSettings::kViewMode, QString::number(showsThumbnails() ? kIconMode : kReportMode));
    m_settings.setNumber(AppSettings::kThumbnailSize, float(int(m_thumbnails->thumbnailSize())));
}
