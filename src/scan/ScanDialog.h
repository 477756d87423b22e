#pragma once

#include "ScanContext.h"
#include "ScanPasses.h"
#include "ScanResult.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class AdditionalExtensionsDialog;
class ExtensionBoxes;
class QPushButton;
class ScanProgressWindow;
class ScanSession;

// The scan dialog (frmSearch): which kinds of media to look for in the folder the Import
// Files wizard chose. Search looks for the checked extensions and the additional ones
// set up for it; Search All Files for every file with an extension. Either files what
// it finds under "Temporary".
class ScanDialog : public QWidget {
    Q_OBJECT

public:
    explicit ScanDialog(const ScanContext &context, QWidget *parent = nullptr);
    ~ScanDialog() override;

    // The folder to scan; the wizard sets it.
    void setFolder(const QString &folder) { m_folder = folder; }
    QString folder() const { return m_folder; }

    // The Search button.
    void RunMediaScan();
    // The Search All Files button.
    void RunAllFilesScan();
    // The Add Additional Extensions button.
    void showAdditionalExtensions();

    bool isScanning() const;
    // Its scan was cancelled and it closes as soon as the scan has filed its result.
    bool isClosingAfterScan() const { return m_closeWhenScanEnds; }
    ExtensionBoxes *extensionBoxes() const { return m_boxes; }
    ScanProgressWindow *progressWindow() const;
    AdditionalExtensionsDialog *additionalExtensionsDialog() const;

Q_SIGNALS:
    void scanProgressed(const ScanProgress &progress);
    // A scan has filed its result and its messages have been answered.
    void scanEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class ScanKind { Media, AllFiles };

    // Creates "Temporary" when it is missing and, for Search, empties it after asking.
    // False when the user said No.
    bool prepareTemporary(ScanKind kind);
    void emptyTemporary();
    void startScan(std::vector<ScanPass> passes, ScanKind kind);
    void sessionEnded();
    void closeWithProgressWindow();
    void setScanButtonsEnabled(bool enabled);

    ScanContext m_context;
    QString m_folder;
    std::unique_ptr<ScanSession> m_session;
    // The progress window's button closed this dialog while the walk still ran.
    bool m_closeWhenScanEnds = false;

    ExtensionBoxes *m_boxes = nullptr;
    QPushButton *m_additionalButton = nullptr;
    QPushButton *m_allFilesButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_searchButton = nullptr;
    QPointer<AdditionalExtensionsDialog> m_additionalExtensions;
};
