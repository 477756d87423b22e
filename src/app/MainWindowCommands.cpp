// The main window's handlers for browsing and editing the catalog. Each one reads
// what the user pointed at and hands over to the command that owns the behaviour.
#include "MainWindow.h"

#include "CatalogFileCommands.h"
#include "CategoryCommands.h"
#include "CategoryTreeModel.h"
#include "CategoryTreeView.h"
#include "DetailsPanel.h"
#include "FileListCommands.h"
#include "FileListModel.h"
#include "FileListView.h"

#include <QAction>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

int MainWindow::selectedCategory() const
{
    const QModelIndexList selected = m_tree->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? 0 : m_treeModel->categoryIndexAt(selected.first());
}

void MainWindow::selectCategory(int categoryIndex)
{
    const QModelIndex node = m_treeModel->indexForCategory(categoryIndex);
    if (!node.isValid())
        return;
    m_tree->scrollTo(node);
    m_tree->selectionModel()->setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
}

void MainWindow::ShowCategoryFiles()
{
    m_fileListModel->ShowCategoryFiles(m_catalog, selectedCategory());
    fillLabels();
}

QList<int> MainWindow::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList selected = m_fileList->selectionModel()->selectedRows();
    rows.reserve(selected.size());
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void MainWindow::fillLabels()
{
    m_details->FillLabels(m_fileList->currentIndex());
}

void MainWindow::showListMenu(const QPoint &globalPos)
{
    m_actions.popupMenu()->popup(globalPos);
}

void MainWindow::connectBrowsing()
{
    connect(m_tree, &CategoryTreeView::clickedAnywhere, this, &MainWindow::ShowCategoryFiles);
    connect(m_tree, &CategoryTreeView::emptyTreeDoubleClicked, this, [this] { m_categoryCommands->AddCategory(); });
    connect(m_tree, &CategoryTreeView::filesDropped, this, &MainWindow::onFilesDropped);
    connect(m_fileList, &FileListView::fillLabelsRequested, this, &MainWindow::fillLabels);
    connect(m_fileList, &FileListView::contextMenuRequested, this, &MainWindow::showListMenu);
    connect(m_fileList, &FileListView::removeRequested, m_actions.action(QStringLiteral("mnuRemoveItem")), &QAction::trigger);
    connect(m_fileList, &FileListView::rowDragStarted, this, &MainWindow::onRowDragStarted);
    connect(m_fileList, &FileListView::rowDragFinished, this, [this] { m_listDragActive = false; });
    connect(m_fileList, &FileListView::dragPassedOver, this, [this] {
        m_listDragActive = true;
        m_catalog.markChanged();
    });
    connect(m_actions.action(QStringLiteral("mnuClearList")), &QAction::triggered, m_fileListModel, &FileListModel::clear);
    connect(m_actions.action(QStringLiteral("mnuCopyItem")), &QAction::triggered, this, &MainWindow::copyItems);
}

void MainWindow::connectEditing()
{
    auto on = [this](const char *name, auto slot) {
        connect(m_actions.action(QString::fromLatin1(name)), &QAction::triggered, this, slot);
    };
    auto expandTo = [this](int categoryIndex) {
        if (categoryIndex > 0)
            m_tree->scrollTo(m_treeModel->indexForCategory(categoryIndex));
    };
    on("mnuAddDrive", [this, expandTo] { expandTo(m_categoryCommands->AddCategory()); });
    on("mnuFileAddCategory", [this, expandTo] { expandTo(m_categoryCommands->AddSubCategory(selectedCategory())); });
    on("mnuChangeCategoryName", [this] { m_categoryCommands->RenameCategory(selectedCategory()); });
    on("mnuFileDelete", [this] { m_categoryCommands->RemoveCategory(selectedCategory()); });
    on("mnuRemoveItem", [this] { m_fileListCommands->RemoveItem(selectedRows(), m_fileList->currentIndex().row()); });
    connect(m_details, &DetailsPanel::updateKeywordsClicked, this,
            [this] { m_fileListCommands->UpdateKeywords(selectedRows(), m_details->keywordsText()); });
    m_details->keywordsBox()->installEventFilter(this);
    on("mnuEditCut", [this] { cutKeywords(); });
    on("mnuEditCopy", [this] { copyKeywords(); });
    on("mnuEditPaste", [this] { pasteKeywords(); });
    on("mnuEditSelectAll", [this] { m_fileList->selectAll(); });
}

// The selected files as a drag of them carries them, and their paths as plain text,
// one a line, for whatever takes text only.
void MainWindow::copyItems()
{
    const QModelIndexList rows = m_fileList->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    QMimeData *data = m_fileListModel->mimeData(rows);
    QStringList paths;
    const QList<QUrl> urls = data->urls();
    paths.reserve(urls.size());
    for (const QUrl &url : urls)
        paths.append(url.toLocalFile());
    data->setText(paths.join(QLatin1Char('\n')));
    QGuiApplication::clipboard()->setMimeData(data);
}

void MainWindow::onRowDragStarted()
{
    m_listDragActive = true;
    m_catalog.markChanged();
}

void MainWindow::onFilesDropped(const QStringList &paths)
{
    m_fileListCommands->MoveDroppedFiles(paths, selectedCategory(), selectedRows());
}

// Cut, Copy and Paste work on the keywords box only, and only while it has the focus;
// there is no cutting or pasting of files.
bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_details->keywordsBox()) {
        if (event->type() == QEvent::FocusIn) {
            m_keywordsHaveFocus = true;
        } else if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
                m_keywordsHaveFocus = false;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::copyKeywords()
{
    QLineEdit *box = m_details->keywordsBox();
    if (m_keywordsHaveFocus && box->hasSelectedText())
        QGuiApplication::clipboard()->setText(box->selectedText());
}

void MainWindow::cutKeywords()
{
    QLineEdit *box = m_details->keywordsBox();
    if (!m_keywordsHaveFocus || !box->hasSelectedText())
        return;
    QGuiApplication::clipboard()->setText(box->selectedText());
    box->del();
}

void MainWindow::pasteKeywords()
{
    QLineEdit *box = m_details->keywordsBox();
    if (m_keywordsHaveFocus)
        box->insert(QGuiApplication::clipboard()->text());
}
