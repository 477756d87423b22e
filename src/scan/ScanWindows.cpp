#include "ScanWindows.h"

#include "MountedVolumes.h"
#include "OwnedWindow.h"
#include "ScanDialog.h"

ScanWindows::ScanWindows(const ScanContext &context, QWidget *mainWindow, ImportFilesWizard::VolumeSource volumes)
    : QObject(mainWindow)
    , m_context(context)
    , m_mainWindow(mainWindow)
    , m_volumes(volumes ? std::move(volumes) : ImportFilesWizard::VolumeSource(&MountedVolumes::currentRoots))
{
}

ImportFilesWizard *ScanWindows::showImportFilesWizard()
{
    if (!m_wizard) {
        m_wizard = new ImportFilesWizard(m_context.interaction, m_context.includeSubfolders, m_volumes, m_mainWindow);
        connect(m_wizard, &ImportFilesWizard::folderChosen, this, &ScanWindows::showScanDialog);
    }
    OwnedWindow::showOver(m_wizard);
    return m_wizard;
}

ScanDialog *ScanWindows::showScanDialog(const QString &folder)
{
    // A dialog still open (even one put away during its scan) is the one shown again,
    // with the new folder for its next scan; one that is only waiting for its cancelled
    // scan to end before it closes is left to close.
    if (!m_scanDialog || m_scanDialog->isClosingAfterScan())
        m_scanDialog = new ScanDialog(m_context, m_mainWindow);
    m_scanDialog->setFolder(folder);
    OwnedWindow::showOver(m_scanDialog);
    return m_scanDialog;
}
