#pragma once

#include "Catalog.h"
#include "MainWindowActions.h"
#include "MainWindowLayout.h"

#include <QMainWindow>
#include <QPointer>

class AppSettings;
class CatalogFileCommands;
class MissingFilesDialog;
class SplitterBar;
class QAbstractItemView;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
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

    // Lays out the panes with the splitter bar at x twips from the left edge.
    void SizeControls(double x);
    double dpi() const;
    double toTwips(int pixels) const;
    int toPixels(double twips) const;
    const MainWindowLayout::Result &lastLayout() const { return m_layout; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildCentralArea();
    void connectCommands();
    void placeFromSettings();
    void storeGeometry();
    void closeOtherWindows();
    void showMissingFiles(const QStringList &paths);
    void toggleToolbar();
    void toggleStatusBar();
    void startSplitterDrag();
    void moveSplitterIndicator(int xInBar);
    void finishSplitterDrag();
    MainWindowLayout::Input layoutInput(double x) const;

    Catalog m_catalog;
    Interaction::Interface &m_interaction;
    AppSettings &m_settings;
    CatalogFileCommands *m_fileCommands;
    MainWindowActions m_actions;

    QWidget *m_central = nullptr;
    QWidget *m_titleStrip = nullptr;
    QLabel *m_folderTitle = nullptr;
    QLabel *m_filesTitle = nullptr;
    QLineEdit *m_searchText = nullptr;
    QPushButton *m_searchButton = nullptr;
    QPushButton *m_advancedSearchButton = nullptr;
    QTreeView *m_tree = nullptr;
    SplitterBar *m_splitter = nullptr;
    QFrame *m_splitterIndicator = nullptr;
    QAbstractItemView *m_fileList = nullptr;
    QWidget *m_details = nullptr;
    QPointer<MissingFilesDialog> m_missingFiles;

    MainWindowLayout::Result m_layout;
    bool m_moving = false;
};
