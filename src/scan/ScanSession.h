#pragma once

#include "ScanContext.h"
#include "FileListSorting.h"
#include "RecordList.h"
#include "ScanResult.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

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
    void prepareFiling(const ScanResult &result, const std::function<bool()> &cancelled, int temporaryIndex,
                       int sortColumn);
    void prepareRows(const ScanResult &result, const std::function<bool()> &cancelled, int sortColumn);
    void fileResult();
    void appendSomeRows();
    void finish();
    void reportLeftOut(const ScanResult &result);
    static QString leftOutText(const ScanResult &result);

    ScanContext m_context;
    ScanRequest m_request;
    Options m_options;
    std::unique_ptr<ScanJob> m_job;
    QPointer<ScanProgressWindow> m_window;
    bool m_running = false;
    bool m_cancelledByUser = false;

    // Built on the scanning thread once the walk has ended; taken over by fileResult().
    // The records stand newest first.
    RecordList m_preparedRecords;
    int m_preparedIndex = -1;
    FileListRows m_rows;
    ScanResult m_result;
    // The rows go into the list a batch per turn of the event loop.
    static constexpr qint64 kBatchBudgetMs = 20;
    static constexpr std::size_t kSmallestBatch = 256;
    static constexpr std::size_t kLargestBatch = 16384;
    QTimer m_rowTimer;
    std::size_t m_nextRow = 0;
    std::size_t m_batchSize = 2048;
};
