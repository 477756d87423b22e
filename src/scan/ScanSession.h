#pragma once

#include "ScanContext.h"
#include "ScanResult.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QWidget;
class ScanJob;
class ScanProgressWindow;

// One scan from the moment its progress window shows: the walk runs on a worker thread
// while every window stays usable, and when it ends the found files are filed under
// "Temporary", listed and counted. The progress window's button cancels the walk or,
// once it has ended, asks for both windows to close.
class ScanSession : public QObject {
    Q_OBJECT

public:
    struct Options {
        // The title of the closing messages.
        QString messageTitle;
        bool progressStaysOnTop = true;
    };

    ScanSession(const ScanContext &context, ScanRequest request, Options options, QWidget *windowParent);
    ~ScanSession() override;

    void start();
    // From start() until the result is filed and reported.
    bool isRunning() const { return m_running; }
    bool wasCancelled() const { return m_cancelledByUser; }
    ScanProgressWindow *progressWindow() const { return m_window; }
    void closeProgressWindow();

Q_SIGNALS:
    // How far the walk has got; at most a few times a second.
    void progressed(const ScanProgress &progress);
    // The result is filed and every message has been answered.
    void ended();
    // The progress window's button: the scan dialog closes, and so does this window.
    void closeRequested();

private:
    void buttonPressed();
    void fileResult();
    void reportLeftOut(const ScanResult &result);
    static QString leftOutText(const ScanResult &result);

    ScanContext m_context;
    ScanRequest m_request;
    Options m_options;
    std::unique_ptr<ScanJob> m_job;
    QPointer<ScanProgressWindow> m_window;
    bool m_running = false;
    bool m_cancelledByUser = false;
};
