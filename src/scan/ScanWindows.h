#pragma once

#include "ImportFilesWizard.h"
#include "ScanContext.h"
#include "ScanDialog.h"

#include <QObject>
#include <QPointer>

// The main window's door to finding media: it opens the Import Files wizard (File >
// Import Files and the toolbar's ImportFiles button) and, on the wizard's Continue, the
// scan dialog. Each window exists at most once; asking again brings it forward.
class ScanWindows : public QObject {
    Q_OBJECT

public:
    // The windows are made windows of their own with mainWindow as their parent, so
    // they close with it. volumes gives the drives the wizard offers.
    ScanWindows(const ScanContext &context, QWidget *mainWindow,
                ImportFilesWizard::VolumeSource volumes = ImportFilesWizard::VolumeSource());

    ImportFilesWizard *showImportFilesWizard();
    // What the wizard's Continue does: the scan dialog on that folder.
    ScanDialog *showScanDialog(const QString &folder);

    ImportFilesWizard *wizard() const { return m_wizard; }
    ScanDialog *scanDialog() const { return m_scanDialog; }

private:
    ScanContext m_context;
    QWidget *m_mainWindow;
    ImportFilesWizard::VolumeSource m_volumes;
    QPointer<ImportFilesWizard> m_wizard;
    QPointer<ScanDialog> m_scanDialog;
};
