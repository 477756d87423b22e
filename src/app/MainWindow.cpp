#include "MainWindow.h"

#include "AdvancedSearchDialog.h"
#include "AppSettings.h"
#include "CatalogFileCommands.h"
#include "CategoryCommands.h"
#include "CategoryTreeModel.h"
#include "CategoryTreeView.h"
#include "DetailsPanel.h"
#include "FileInfoWindows.h"
#include "FileListCommands.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "Interaction.h"
#include "MissingFilesDialog.h"
#include "OfflineDrivesStatus.h"
#include "QuickSearchBar.h"
#include "ScanWindows.h"
#include "SplitterBar.h"
#include "Twips.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLocale>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <QStatusBar>
#include <QToolBar>

namespace {

constexpr double kTitleStripHeight = 400;
constexpr double kInitialSplitter = 2500;
constexpr double kDetailsGap = 60;
constexpr float kDefaultPlace = 1000;
constexpr float kDefaultSize = 6500;
constexpr int kReportMode = 3; // the list's only display mode, kept for old settings readers

} // namespace

MainWindow::MainWindow(Interaction::Interface &interaction, AppSettings &settings, QWidget *parent)
    : QMainWindow(parent)
    , m_interaction(interaction)
    , m_settings(settings)
    , m_icons(m_types)
    , m_fileListModel(new FileListModel(m_icons, m_types, this))
    , m_treeModel(new CategoryTreeModel(m_catalog.tree(), this))
    , m_fileCommands(new CatalogFileCommands(m_catalog, interaction, settings, this))
    , m_categoryCommands(new CategoryCommands(m_catalog, interaction, this))
    , m_fileListCommands(new FileListCommands(m_catalog, *m_fileListModel, interaction, this))
    , m_actions(*this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Corvanta"));
    setContextMenuPolicy(Qt::PreventContextMenu); // no toolbar-hiding menu besides View > Toolbar
    buildCentralArea();

    auto *status = new QLabel(QStringLiteral("Corvanta — a catalog of your media files"));
    status->setObjectName(QStringLiteral("sbStatusPanel"));
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(status, 1);
    m_offlineDrives = new OfflineDrivesStatus(statusBar());
    statusBar()->addWidget(m_offlineDrives, 2);
    statusBar()->setSizeGripEnabled(true);

    setMinimumWidth(toPixels(MainWindowLayout::kMinWindowWidth));
    m_layout.splitterX = kInitialSplitter;
    m_scanWindows = new ScanWindows(ScanContext{m_catalog, *m_fileListModel, interaction, settings, m_extensions,
                                                m_includeSubfolders, [this](int index) { selectCategory(index); }},
                                    this);
    m_fileInfoWindows = new FileInfoWindows(interaction, m_types, *m_fileList, this);
    m_quickSearch = new QuickSearchBar(m_catalog, *m_fileListModel, interaction, *m_searchText, *m_searchButton, this);
    connectCommands();
    connectBrowsing();
    connectEditing();
}

MainWindow::~MainWindow()
{
    // The views paint from the type and icon caches, which are members and would go
    // before the child widgets do: take the widgets down first, and stop watching the
    // keywords box before it goes.
    m_details->keywordsBox()->removeEventFilter(this);
    delete m_scanWindows;
    delete takeCentralWidget();
}

void MainWindow::buildCentralArea()
{
    m_central = new QWidget(this);
    setCentralWidget(m_central);

    m_titleStrip = new QWidget(m_central);
    m_titleStrip->setObjectName(QStringLiteral("picTitles"));
    m_folderTitle = new QLabel(QStringLiteral("Folders:"), m_titleStrip);
    m_folderTitle->setObjectName(QStringLiteral("lblTitle0"));
    m_filesTitle = new QLabel(QStringLiteral("Files:"), m_titleStrip);
    m_filesTitle->setObjectName(QStringLiteral("lblTitle1"));

    m_searchText = new QLineEdit(m_titleStrip);
    m_searchText->setObjectName(QStringLiteral("txtSearch"));
    m_searchButton = new QPushButton(QStringLiteral("Search"), m_titleStrip);
    m_searchButton->setObjectName(QStringLiteral("cmdSearch"));
    m_advancedSearchButton = new QPushButton(QStringLiteral("Advanced Search"), m_titleStrip);
    m_advancedSearchButton->setObjectName(QStringLiteral("cmdAdvancedSearch"));

    m_tree = new CategoryTreeView(m_central);
    m_tree->setModel(m_treeModel);
    m_tree->setListDragActiveCheck([this] { return m_listDragActive; });

    m_splitter = new SplitterBar(m_central);
    m_splitterIndicator = new QFrame(m_central);
    m_splitterIndicator->setObjectName(QStringLiteral("picSplitter"));
    m_splitterIndicator->setAutoFillBackground(true);
    m_splitterIndicator->setBackgroundRole(QPalette::Dark);
    m_splitterIndicator->hide();

    m_fileList = new FileListView(m_central);
    m_fileList->setModel(m_fileListModel);

    m_details = new DetailsPanel(m_types, m_central);

    connect(m_splitter, &SplitterBar::dragStarted, this, &MainWindow::startSplitterDrag);
    connect(m_splitter, &SplitterBar::dragMoved, this, &MainWindow::moveSplitterIndicator);
    connect(m_splitter, &SplitterBar::dragFinished, this, &MainWindow::finishSplitterDrag);
}

void MainWindow::connectCommands()
{
    auto on = [this](const char *name, auto slot) { connect(m_actions.action(QString::fromLatin1(name)), &QAction::triggered, this, slot); };
    on("mnuFileNew", [this] { m_fileCommands->newCatalog(); });
    on("mnuFileOpen", [this] { m_fileCommands->open(); });
    on("mnuSave", [this] { m_fileCommands->save(); });
    on("mnuFileClose", [this] { close(); });
    on("mnuImportFiles", [this] { m_scanWindows->showImportFilesWizard(); });
    on("mnuViewToolbar", [this] { toggleToolbar(); });
    on("mnuViewStatusBar", [this] { toggleStatusBar(); });
    on("mnuViewRefresh", [this] { m_fileList->viewport()->update(); });
    on("mnuFileProperties", [this] { m_fileInfoWindows->showPropertiesFromMenu(); });
    on("mnuShellExecute", [this] { m_fileInfoWindows->shellExecuteSelected(); });
    on("mnuHelpAbout", [this] { m_fileInfoWindows->showAbout(); });
    connect(m_advancedSearchButton, &QPushButton::clicked, this, [this] {
        m_advancedSearch = AdvancedSearchDialog::showOver(m_catalog, *m_fileListModel, m_interaction, this);
    });
    connect(m_fileList, &FileListView::propertiesRequested, this, [this] { m_fileInfoWindows->showProperties(); });
    connect(m_details, &DetailsPanel::executeClicked, this, [this] { m_fileInfoWindows->execute(m_details->shownPath()); });
    connect(m_fileCommands, &CatalogFileCommands::missingFilesFound, this, &MainWindow::showMissingFiles);
    connect(m_fileCommands, &CatalogFileCommands::offlineFilesFound, m_offlineDrives,
            &OfflineDrivesStatus::setOfflineVolumes);
    connect(m_fileCommands, &CatalogFileCommands::catalogReplaced, m_offlineDrives,
            [this] { m_offlineDrives->setOfflineVolumes({}); });
    connect(m_fileListModel, &FileListModel::listingFinished, m_offlineDrives, &OfflineDrivesStatus::recheck);
    connect(m_fileCommands, &CatalogFileCommands::loadProgress, this, &MainWindow::showLoadProgress);
    connect(m_fileCommands, &CatalogFileCommands::loadFinished, this, [this] { delete m_loadProgress; });
    // The Missing Files window stays while the user works (File > New included); only
    // the next load replaces its list, or closes it when that load found every file.
    connect(m_fileCommands, &CatalogFileCommands::catalogReplaced, m_fileListModel, &FileListModel::clear);
}

// File > Open of a large catalog: the window is shown and waits for the load, which
// says how far it is. At start-up the splash window says it instead.
void MainWindow::showLoadProgress(const QString &path, int filesRead)
{
    if (!isVisible())
        return;
    if (!m_loadProgress) {
        m_loadProgress = new QProgressDialog(this);
        m_loadProgress->setObjectName(QStringLiteral("frmLoadProgress"));
        m_loadProgress->setWindowTitle(Interaction::kProgramTitle);
        m_loadProgress->setWindowModality(Qt::WindowModal);
        m_loadProgress->setCancelButton(nullptr);
        m_loadProgress->setRange(0, 0);
        m_loadProgress->setMinimumDuration(0);
    }
    m_loadProgress->setLabelText(QStringLiteral("Loading %1\n%2 files read")
                                     .arg(QDir::toNativeSeparators(path), QLocale().toString(filesRead)));
    m_loadProgress->show();
}

void MainWindow::load(const QString &commandLine)
{
    placeFromSettings();
    m_fileCommands->loadAtStartup(commandLine);
}

void MainWindow::placeFromSettings()
{
    const double left = m_settings.number(AppSettings::kMainLeft, kDefaultPlace);
    const double top = m_settings.number(AppSettings::kMainTop, kDefaultPlace);
    const double width = m_settings.number(AppSettings::kMainWidth, kDefaultSize);
    const double height = m_settings.number(AppSettings::kMainHeight, kDefaultSize);
    // In pixels, but not yet rounded: a stored 1e30 must not overflow on its way.
    const double perTwip = dpi() / Twips::kPerInch;
    const QPointF place(left * perTwip, top * perTwip);
    const QScreen *screen = nullptr;
    if (std::abs(place.x()) < 1e6 && std::abs(place.y()) < 1e6)
        screen = QGuiApplication::screenAt(place.toPoint());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
    const QRect fitted = WindowPlacement::fitted(place, QSizeF(width * perTwip, height * perTwip),
                                                 QPointF(kDefaultPlace * perTwip, kDefaultPlace * perTwip),
                                                 QSizeF(kDefaultSize * perTwip, kDefaultSize * perTwip), available);
    move(fitted.topLeft());
    resize(fitted.size());
}

void MainWindow::storeGeometry()
{
    if (isMinimized())
        return;
    // A maximized window stores the bounds it has now.
    m_settings.setNumber(AppSettings::kMainLeft, float(toTwips(x())));
    m_settings.setNumber(AppSettings::kMainTop, float(toTwips(y())));
    m_settings.setNumber(AppSettings::kMainWidth, float(toTwips(width())));
    m_settings.setNumber(AppSettings::kMainHeight, float(toTwips(height())));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_fileCommands->confirmClose()) {
        event->ignore();
        return;
    }
    closeOtherWindows();
    storeGeometry();
    m_settings.setText(AppSettings::kViewMode, QString::number(kReportMode));
    if (m_settings.syncFailedForTheFirstTime())
        m_interaction.message(QStringLiteral("The settings could not be saved to %1. The window's place and size, the "
                                             "last catalog and the last extension list will not be remembered.")
                                  .arg(QDir::toNativeSeparators(m_settings.fileName())),
                              Interaction::kProgramTitle, Interaction::Icon::Critical);
    event->accept();
}

void MainWindow::closeOtherWindows()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window != this && window->isVisible())
            window->close();
    }
}

void MainWindow::showMissingFiles(const std::shared_ptr<MissingRecords> &missing)
{
    if (m_missingFiles)
        m_missingFiles->close();
    if (missing->isEmpty())
        return;
    m_missingFiles = new MissingFilesDialog(missing, m_catalog, m_interaction, this);
    m_missingFiles->show();
    m_missingFiles->raise();
}

double MainWindow::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96;
}

double MainWindow::toTwips(int pixels) const
{
    return Twips::fromPixels(pixels, dpi());
}

int MainWindow::toPixels(double twips) const
{
    return Twips::toPixels(twips, dpi());
}

MainWindowLayout::Input MainWindow::layoutInput(double x) const
{
    MainWindowLayout::Input in;
    in.splitterX = x;
    in.windowWidth = toTwips(width());
    in.toolbarVisible = m_actions.toolBar()->isVisibleTo(this);
    in.toolbarHeight = toTwips(m_actions.toolBar()->sizeHint().height());
    in.statusBarVisible = statusBar()->isVisibleTo(this);
    in.statusBarHeight = toTwips(statusBar()->sizeHint().height());
    in.titleStripTop = in.toolbarVisible ? in.toolbarHeight : 0;
    in.titleStripHeight = kTitleStripHeight;
    const int menuHeight = menuBar()->isVisibleTo(this) ? menuBar()->sizeHint().height() : 0;
    in.scaleHeight = toTwips(height() - menuHeight);
    return in;
}

void MainWindow::SizeControls(double x)
{
    using namespace MainWindowLayout;
    Input in = layoutInput(x);
    const double controlHeight =
        toTwips(qMax(m_searchText->sizeHint().height(), m_advancedSearchButton->sizeHint().height()));
    const double controlRow = qMax(kTitleStripHeight, controlHeight);
    in.titleStripHeight = controlRow;
    m_layout = MainWindowLayout::SizeControls(in, m_layout);
    const double freeFrom = m_layout.title1Left + toTwips(m_filesTitle->sizeHint().width()) + kSearchGap;
    const double searchWidth = toTwips(m_searchButton->sizeHint().width());
    const double advancedWidth = toTwips(m_advancedSearchButton->sizeHint().width());
    const SearchPlaces search = placeSearchControls(in.windowWidth, freeFrom, searchWidth, advancedWidth);
    if (search.ownRow) {
        // Too narrow to share the titles' row: the strip grows by a row for the search.
        in.titleStripHeight = controlRow + kTitleStripHeight;
        m_layout = MainWindowLayout::SizeControls(in, m_layout);
    }

    // The central area starts below the toolbar; the layout counts from the menu bar.
    const double originY = in.titleStripTop;
    auto place = [&](QWidget *w, double left, double top, double width, double height) {
        w->setGeometry(toPixels(left), toPixels(top - originY), qMax(0, toPixels(width)), qMax(0, toPixels(height)));
    };
    place(m_titleStrip, 0, originY, in.windowWidth, in.titleStripHeight);
    // With a search row of its own the titles go below it, right above their panes.
    const double titlesTop = search.ownRow ? originY + controlRow : originY;
    const double titlesHeight = search.ownRow ? kTitleStripHeight : controlRow;
    const double controlsTop = originY;
    place(m_folderTitle, 0, titlesTop, m_layout.title0Width, titlesHeight);
    place(m_filesTitle, m_layout.title1Left, titlesTop, m_layout.title1Width, titlesHeight);
    place(m_searchText, search.textLeft, controlsTop, search.textWidth, controlRow);
    place(m_searchButton, search.searchLeft, controlsTop, searchWidth, controlRow);
    place(m_advancedSearchButton, search.advancedLeft, controlsTop, advancedWidth, controlRow);

    place(m_tree, 0, m_layout.treeTop, m_layout.treeWidth, m_layout.treeHeight);
    place(m_splitter, m_layout.splitterX, m_layout.splitterTop, kSplitterWidth, m_layout.splitterHeight);
    place(m_fileList, m_layout.listLeft, m_layout.listTop, m_layout.listWidth, m_layout.listHeight);
    // The details panel fills the band below the list.
    const double detailsTop = m_layout.listTop + m_layout.listHeight + kDetailsGap;
    place(m_details, m_layout.listLeft, detailsTop, m_layout.listWidth, kDetailsBandHeight - kDetailsGap);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (toTwips(width()) < MainWindowLayout::kMinWindowWidth - 0.5) {
        resize(toPixels(MainWindowLayout::kMinWindowWidth), height());
        return;
    }
    SizeControls(m_layout.splitterX);
}

void MainWindow::toggleToolbar()
{
    m_actions.toolBar()->setVisible(m_actions.action(QStringLiteral("mnuViewToolbar"))->isChecked());
    SizeControls(m_layout.splitterX);
}

void MainWindow::toggleStatusBar()
{
    statusBar()->setVisible(m_actions.action(QStringLiteral("mnuViewStatusBar"))->isChecked());
    SizeControls(m_layout.splitterX);
}

void MainWindow::startSplitterDrag()
{
    const QRect bar = m_splitter->geometry();
    m_splitterIndicator->setGeometry(bar.x(), bar.y(), bar.width() / 2, qMax(0, bar.height() - toPixels(20)));
    m_splitterIndicator->show();
    m_splitterIndicator->raise();
    m_moving = true;
}

void MainWindow::moveSplitterIndicator(int xInBar)
{
    if (!m_moving)
        return;
    const double candidate = m_layout.splitterX + toTwips(xInBar);
    m_splitterIndicator->move(toPixels(MainWindowLayout::indicatorLeft(candidate, toTwips(width()))),
                              m_splitterIndicator->y());
}

void MainWindow::finishSplitterDrag()
{
    SizeControls(toTwips(m_splitterIndicator->x()));
    m_splitterIndicator->hide();
    m_moving = false;
}
