#pragma once

#include "AdvancedSearchDialog.h"
#include "Catalog.h"
#include "ExtensionTable.h"
#include "FileIconCache.h"
#include "FileTypeCache.h"
#include "MainWindowActions.h"
#include "MainWindowLayout.h"

#include <QMainWindow>
#include <QPointer>
#include <QProgressDialog>

class AppSettings;
class CatalogFileCommands;
class CategoryCommands;
class CategoryTreeModel;
class CategoryTreeView;
class DetailsPanel;
class FileInfoWindows;
class FileListCommands;
class FileListModel;
class FileListView;
class MissingFilesDialog;
class OfflineDrivesStatus;
class QuickSearchBar;
class ScanWindows;
class SplitterBar;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
namespace Interaction {
class Interface;
}

// The explorer-style main window: it owns the catalog and lays out the category
// tree, the file list and the details panel. Its handlers delegate to the commands
// that own each behaviour.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(Interaction::Interface &interaction, AppSettings &settings, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Places the window from the settings and loads the start-up catalog.
    void load(const QString &commandLine);

    Catalog &catalog() { return m_catalog; }
    CatalogFileCommands &fileCommands() { return *m_fileCommands; }
    const MainWindowActions &actions() const { return m_actions; }
    FileListModel &fileListModel() { return *m_fileListModel; }
    CategoryTreeModel &categoryTreeModel() { return *m_treeModel; }
    CategoryTreeView &categoryTree() { return *m_tree; }
    FileListView &fileList() { return *m_fileList; }
    DetailsPanel &detailsPanel() { return *m_details; }
    bool listDragActive() const { return m_listDragActive; }
    bool keywordsHaveFocus() const { return m_keywordsHaveFocus; }
    ScanWindows &scanWindows() { return *m_scanWindows; }
    FileInfoWindows &fileInfoWindows() { return *m_fileInfoWindows; }
    QuickSearchBar &quickSearch() { return *m_quickSearch; }
    // The open Advanced Search dialog, if any.
    AdvancedSearchDialog *advancedSearchDialog() const { return m_advancedSearch; }
    ExtensionTable &extensionTable() { return m_extensions; }
    bool includeSubfolders() const { return m_includeSubfolders; }

    // The category of the tree's selected node, 0 when none is selected.
    int selectedCategory() const;
    void selectCategory(int categoryIndex);
    // Lists the files of the selected category.
    void ShowCategoryFiles();

    // Lays out the panes with the splitter bar at x twips from the left edge.
    void SizeControls(double x);
    double dpi() const;
    double toTwips(int pixels) const;
    int toPixels(double twips) const;
    const MainWindowLayout::Result &lastLayout() const { return m_layout; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showLoadProgress(const QString &path, int filesRead);
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildCentralArea();
    void connectCommands();
    void connectBrowsing();
    void connectEditing();
    QList<int> selectedRows() const;
    void fillLabels();
    void showListMenu(const QPoint &globalPos);
    void onRowDragStarted();
    void onFilesDropped(const QStringList &paths);
    void cutKeywords();
    void copyKeywords();
    void pasteKeywords();
    void placeFromSettings();
    void storeGeometry();
    void closeOtherWindows();
    void showMissingFiles(const std::shared_ptr<MissingRecords> &missing);
    void toggleToolbar();
    void toggleStatusBar();
    void startSplitterDrag();
    void moveSplitterIndicator(int xInBar);
    void finishSplitterDrag();
    MainWindowLayout::Input layoutInput(double x) const;

    Catalog m_catalog;
    Interaction::Interface &m_interaction;
    AppSettings &m_settings;
    FileTypeCache m_types;
    FileIconCache m_icons;
    FileListModel *m_fileListModel;
    CategoryTreeModel *m_treeModel;
    CatalogFileCommands *m_fileCommands;
    CategoryCommands *m_categoryCommands;
    FileListCommands *m_fileListCommands;
    MainWindowActions m_actions;
    // Shared with the windows of finding media, for the whole run of the program.
    ExtensionTable m_extensions;
    bool m_includeSubfolders = false;
    ScanWindows *m_scanWindows = nullptr;
    FileInfoWindows *m_fileInfoWindows = nullptr;
    QuickSearchBar *m_quickSearch = nullptr;
    QPointer<AdvancedSearchDialog> m_advancedSearch;

    QWidget *m_central = nullptr;
    QWidget *m_titleStrip = nullptr;
    QLabel *m_folderTitle = nullptr;
    QLabel *m_filesTitle = nullptr;
    QLineEdit *m_searchText = nullptr;
    QPushButton *m_searchButton = nullptr;
    QPushButton *m_advancedSearchButton = nullptr;
    CategoryTreeView *m_tree = nullptr;
    SplitterBar *m_splitter = nullptr;
    QFrame *m_splitterIndicator = nullptr;
    FileListView *m_fileList = nullptr;
    DetailsPanel *m_details = nullptr;
    QPointer<MissingFilesDialog> m_missingFiles;
    OfflineDrivesStatus *m_offlineDrives = nullptr;
    QPointer<QProgressDialog> m_loadProgress;

    MainWindowLayout::Result m_layout;
    bool m_moving = false;
    // True while rows of the file list are dragged (or any drag passed over the list).
    bool m_listDragActive = false;
    // True while the keywords box has the focus; opening a menu does not take it away.
    bool m_keywordsHaveFocus = false;
};
