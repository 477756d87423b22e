#include "ScanDialog.h"

#include "AdditionalExtensionsDialog.h"
#include "Catalog.h"
#include "ExtensionBoxes.h"
#include "ExtensionTable.h"
#include "FileListModel.h"
#include "Interaction.h"
#include "OwnedWindow.h"
#include "ScanProgressWindow.h"
#include "ScanSession.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

ScanDialog::ScanDialog(const ScanContext &context, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("Search"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *extensionsFrame = new QGroupBox(QStringLiteral("Extensions"), this);
    m_boxes = new ExtensionBoxes(extensionsFrame);
    m_additionalButton
        = makeButton(QStringLiteral("Add Additional Extensions"), QStringLiteral("cmdAdditionalExtensions"), this);
    m_allFilesButton = makeButton(QStringLiteral("Search All Files"), QStringLiteral("cmdAllExtensions"), this);
    auto *frameButtons = new QHBoxLayout;
    frameButtons->addWidget(m_additionalButton);
    frameButtons->addWidget(m_allFilesButton);
    auto *frameLayout = new QVBoxLayout(extensionsFrame);
    frameLayout->addWidget(m_boxes);
    frameLayout->addLayout(frameButtons);

    m_cancelButton = makeButton(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"), this);
    m_searchButton = makeButton(QStringLiteral("Search"), QStringLiteral("cmdSearch"), this);
    m_searchButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_searchButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(extensionsFrame);
    layout->addLayout(buttons);

    connect(m_additionalButton, &QPushButton::clicked, this, &ScanDialog::showAdditionalExtensions);
    connect(m_allFilesButton, &QPushButton::clicked, this, &ScanDialog::RunAllFilesScan);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_searchButton, &QPushButton::clicked, this, &ScanDialog::RunMediaScan);
}

ScanDialog::~ScanDialog() = default;

bool ScanDialog::isScanning() const
{
    return m_session && m_session->isRunning();
}

AdditionalExtensionsDialog *ScanDialog::additionalExtensionsDialog() const
{
    return m_additionalExtensions;
}

ScanProgressWindow *ScanDialog::progressWindow() const
{
    return m_session ? m_session->progressWindow() : nullptr;
}

void ScanDialog::RunMediaScan()
{
    if (isScanning())
        return;
    if (!prepareTemporary(ScanKind::Media)) {
        close();
        return;
    }
    std::vector<ScanPass> passes = ScanPasses::forMediaScan(m_boxes->checkedExtensions(), m_context.extensions);
    // The additional extensions serve one scan only; the passes hold them from here on.
    m_context.extensions.clearUsedEntries();
    startScan(std::move(passes), ScanKind::Media);
}

void ScanDialog::RunAllFilesScan()
{
    if (isScanning())
        return;
    // Any additional extensions set up before are not scanned, and are gone afterwards.
    m_context.extensions.setEntry(0, QStringLiteral("1"));
    m_context.extensions.setEntry(1, ExtensionTable::kAllFiles);
    prepareTemporary(ScanKind::AllFiles);
    m_context.extensions.clearUsedEntries();
    startScan(ScanPasses::forAllFilesScan(), ScanKind::AllFiles);
}

bool ScanDialog::prepareTemporary(ScanKind kind)
{
    using Interaction::Buttons;
    using Interaction::Icon;
    const QString &title = kind == ScanKind::Media ? Interaction::kMarlowindTitle : Interaction::kProgramTitle;
    Catalog &catalog = m_context.catalog;
    // The questions show over this dialog, which keeps the focus once they are answered.
    if (catalog.tree().isEmpty()) {
        m_context.interaction.message(
            {QStringLiteral("No drives avaliable, creating temporary drive."), title, Icon::None, Buttons::Ok, this});
        catalog.tree().addRoot(Catalog::kTemporaryName);
    }
    if (catalog.findTemporary() < 0) {
        m_context.interaction.message(
            {QStringLiteral("There is no temporary drive, creating one."), title, Icon::Information, Buttons::Ok, this});
        catalog.tree().addRoot(Catalog::kTemporaryName);
        return true;
    }
    // Search All Files adds to what "Temporary" holds.
    if (kind == ScanKind::AllFiles)
        return true;
    const Interaction::Answer answer = m_context.interaction.message(
        {QStringLiteral(
             "If you continue all files in your temporary category will be removed. Do you wish to continue?"),
         Interaction::kProgramTitle, Icon::None, Buttons::YesNo, this});
    if (answer != Interaction::Answer::Yes)
        return false;
    // Out of the way until the progress window's button closes it.
    hide();
    emptyTemporary();
    return true;
}

void ScanDialog::emptyTemporary()
{
    RecordList &records = m_context.catalog.records();
    const int temporaryIndex = m_context.catalog.TemporaryIndex();
    records.clearMarks();
    for (int position = 0; position < records.size(); ++position) {
        if (records.categoryAt(position) == temporaryIndex)
            records.setMarked(position, true);
    }
    records.removeMarked();
}

void ScanDialog::startScan(std::vector<ScanPass> passes, ScanKind kind)
{
    m_context.catalog.findTemporary();
    m_context.fileList.clear();
    // A finished scan's progress window goes with it; the new scan gets a fresh one.
    m_session.reset();
    ScanSession::Options options;
    options.messageTitle = kind == ScanKind::Media ? Interaction::kMarlowindTitle : Interaction::kProgramTitle;
    // Search All Files leaves this dialog in view; its progress window must not cover it.
    options.progressStaysOnTop = kind == ScanKind::Media;
    m_session = std::make_unique<ScanSession>(
        m_context, ScanRequest{m_folder, m_context.includeSubfolders, std::move(passes)}, options, parentWidget());
    connect(m_session.get(), &ScanSession::progressed, this, &ScanDialog::scanProgressed);
    connect(m_session.get(), &ScanSession::ended, this, &ScanDialog::sessionEnded);
    connect(m_session.get(), &ScanSession::closeRequested, this, &ScanDialog::closeWithProgressWindow);
    setScanButtonsEnabled(false);
    m_session->start();
}

void ScanDialog::sessionEnded()
{
    setScanButtonsEnabled(true);
    Q_EMIT scanEnded();
    if (m_closeWhenScanEnds)
        close();
}

void ScanDialog::closeWithProgressWindow()
{
    m_session->closeProgressWindow();
    if (isScanning()) {
        // The walk has been told to stop; what it found so far is filed once it has.
        hide();
        m_closeWhenScanEnds = true;
        return;
    }
    close();
}

void ScanDialog::setScanButtonsEnabled(bool enabled)
{
    m_searchButton->setEnabled(enabled);
    m_allFilesButton->setEnabled(enabled);
}

void ScanDialog::showAdditionalExtensions()
{
    if (!m_additionalExtensions) {
        // A window of its own beside this one: it lives until its own Continue or Cancel
        // even when this dialog closes first, and Continue still stores its list.
        QPointer<ExtensionBoxes> boxes = m_boxes;
        m_additionalExtensions = new AdditionalExtensionsDialog(
            m_context.extensions, m_context.settings, m_context.interaction,
            [boxes] {
                if (boxes)
                    boxes->enableUntickedGroups();
            },
            parentWidget());
    }
    OwnedWindow::showOver(m_additionalExtensions);
}

void ScanDialog::closeEvent(QCloseEvent *event)
{
    // Closing during a scan only puts the dialog away: the scan still needs it to file
    // its result, and the progress window's button closes it for good.
    if (isScanning()) {
        event->ignore();
        hide();
        return;
    }
    QWidget::closeEvent(event);
}
