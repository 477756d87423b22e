#include "ScanSession.h"

#include "ApplyScanResult.h"
#include "Catalog.h"
#include "FileListModel.h"
#include "FileListSorting.h"
#include "FileRecord.h"
#include "Interaction.h"
#include "OwnedWindow.h"
#include "ScanJob.h"
#include "ScanProgressWindow.h"

#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <thread>

ScanSession::ScanSession(const ScanContext &context, ScanRequest request, Options options, QWidget *windowParent)
    : m_context(context)
    , m_request(std::move(request))
    , m_options(std::move(options))
    , m_window(new ScanProgressWindow(m_options.progressStaysOnTop, windowParent))
{
    connect(m_window, &ScanProgressWindow::buttonPressed, this, &ScanSession::buttonPressed);
}

ScanSession::~ScanSession()
{
    // The job goes first: destroying it stops the walk and waits for its thread.
    m_job.reset();
    delete m_window.data();
}

void ScanSession::start()
{
    if (m_job)
        return;
    m_running = true;
    OwnedWindow::showOver(m_window);
    m_job = std::make_unique<ScanJob>(m_request);
    const int temporaryIndex = m_context.catalog.TemporaryIndex();
    const int sortColumn = m_context.fileList.sortColumn();
    m_job->setAfterWalk([this, temporaryIndex, sortColumn](const ScanResult &result,
                                                           const std::function<bool()> &cancelled) {
        prepareFiling(result, cancelled, temporaryIndex, sortColumn);
    });
    connect(m_job.get(), &ScanJob::progressed, m_window, &ScanProgressWindow::showProgress);
    connect(m_job.get(), &ScanJob::progressed, this, &ScanSession::progressed);
    connect(m_job.get(), &ScanJob::finished, this, &ScanSession::fileResult);
    m_rowTimer.setInterval(0);
    connect(&m_rowTimer, &QTimer::timeout, this, &ScanSession::appendSomeRows);
    m_job->start();
}

void ScanSession::closeProgressWindow()
{
    if (m_window)
        m_window->dismiss();
}

void ScanSession::buttonPressed()
{
    if (m_running) {
        // The walk stops at the next directory entry it reads, and the rows still to
        // come are dropped; every file found before the press is still filed.
        m_cancelledByUser = true;
        m_job->cancel();
        m_context.fileList.clear();
    }
    Q_EMIT closeRequested();
}

void ScanSession::prepareFiling(const ScanResult &result, const std::function<bool()> &cancelled, int temporaryIndex,
                                int sortColumn)
{
    // On the scanning thread: everything that costs per file is built here, so that
    // the window only has to take it over. The records are made on a second thread
    // meanwhile; they stand newest first, as they go into the record list.
    m_preparedIndex = temporaryIndex;
    std::thread records(
        [this, &result, temporaryIndex] { m_preparedRecords = foundRecordsNewestFirst(result.files, temporaryIndex); });
    prepareRows(result, cancelled, sortColumn);
    records.join();
}

void ScanSession::prepareRows(const ScanResult &result, const std::function<bool()> &cancelled, int sortColumn)
{
    // A cancelled scan lists nothing; a cancel from here on drops the rows at once.
    if (cancelled())
        return;
    const FoundFiles &files = result.files;
    m_rows.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i % 4096 == 0 && cancelled()) {
            m_rows = FileListRows();
            return;
        }
        const std::string_view folder = files.folderUtf8(i);
        const std::string_view name = files.nameUtf8(i);
        m_rows.addInFolderUtf8(QByteArrayView(folder.data(), qsizetype(folder.size())),
                               QByteArrayView(name.data(), qsizetype(name.size())), RowNaming::LowerCaseWithoutExtension);
    }
    // The list shows them sorted in the end; sorted now, they go in batch by batch at
    // the end of the list without the list sorting itself again.
    if (isSortColumn(sortColumn) && sortColumn != LastModifiedColumn && !cancelled())
        applyOrder(m_rows.rows, sortedOrder(m_rows.rows, FileListColumn(sortColumn)));
}

void ScanSession::fileResult()
{
    m_result = m_job->takeResult();
    Catalog &catalog = m_context.catalog;
    // The main window stays usable during a scan, so "Temporary" may have moved to
    // another index, or gone, since the scan started.
    if (catalog.findTemporary() < 0) {
        catalog.tree().addRoot(Catalog::kTemporaryName);
        catalog.findTemporary();
    }
    if (catalog.TemporaryIndex() != m_preparedIndex)
        m_preparedRecords = foundRecordsNewestFirst(m_result.files, catalog.TemporaryIndex());
    insertFoundRecordsNewestFirst(catalog.records(), std::move(m_preparedRecords));
    // Every scan leaves the catalog unsaved, even one that found nothing.
    catalog.markChanged();
    if (m_cancelledByUser || m_rows.empty()) {
        finish();
        return;
    }
    // Sorted once, while the list is still empty of this scan's rows.
    if (!m_context.fileList.isSorted())
        m_context.fileList.sort(m_context.fileList.sortColumn());
    m_nextRow = 0;
    m_rowTimer.start();
}

void ScanSession::appendSomeRows()
{
    if (m_cancelledByUser) {
        finish();
        return;
    }
    // Batches sized so that each keeps the window answering; one insertion each.
    QElapsedTimer timer;
    timer.start();
    const std::size_t end = std::min(m_rows.size(), m_nextRow + m_batchSize);
    FileListRows batch = m_rows.slice(m_nextRow, end);
    m_nextRow = end;
    m_context.fileList.appendRows(std::move(batch));
    const qint64 spent = timer.elapsed();
    if (spent < kBatchBudgetMs / 2)
        m_batchSize = std::min<std::size_t>(m_batchSize * 2, kLargestBatch);
    else if (spent > kBatchBudgetMs && m_batchSize > kSmallestBatch)
        m_batchSize /= 2;
    if (m_nextRow == m_rows.size())
        finish();
}

void ScanSession::finish()
{
    m_rowTimer.stop();
    m_rows = FileListRows();
    m_running = false;
    if (m_window)
        m_window->setCompleted();
    Catalog &catalog = m_context.catalog;
    if (m_context.selectCategory)
        m_context.selectCategory(catalog.TemporaryIndex());
    // Once sorting is on, the rows just added already went to their places.
    if (!m_context.fileList.isSorted())
        m_context.fileList.sort(m_context.fileList.sortColumn());
    if (!m_cancelledByUser) {
        // Over the progress window, which has the focus back once it is answered.
        m_context.interaction.message({QStringLiteral("A total of ") + QString::number(m_context.fileList.rowCount())
                                           + QStringLiteral(" files were found"),
                                       m_options.messageTitle, Interaction::Icon::Information,
                                       Interaction::Buttons::Ok, m_window});
        reportLeftOut(m_result);
    }
    m_result = {};
    Q_EMIT ended();
}

void ScanSession::reportLeftOut(const ScanResult &result)
{
    if (result.leftOutCount <= 0 && result.tooDeepFolderCount <= 0 && result.unreadableFolderCount <= 0)
        return;
    QString text = leftOutText(result);
    auto addParagraph = [&text](const QString &paragraph) {
        if (!text.isEmpty())
            text += QStringLiteral("\n\n");
        text += paragraph;
    };
    if (result.tooDeepFolderCount > 0) {
        addParagraph(result.tooDeepFolderCount == 1
                ? QStringLiteral("1 folder was too deep to search: its path is longer than the system allows.")
                : QString::number(result.tooDeepFolderCount)
                    + QStringLiteral(" folders were too deep to search: their paths are longer than the system allows."));
    }
    // Folders without the right to read them, or gone while the search went on.
    if (result.unreadableFolderCount > 0) {
        addParagraph(result.unreadableFolderCount == 1
                ? QStringLiteral("1 folder could not be read, so files in it may be missing from the list.")
                : QString::number(result.unreadableFolderCount)
                    + QStringLiteral(" folders could not be read, so files in them may be missing from the list."));
        text += QLatin1Char('\n') + result.unreadableFolders.join(QLatin1Char('\n'));
    }
    m_context.interaction.message(text, m_options.messageTitle, Interaction::Icon::Information);
}

QString ScanSession::leftOutText(const ScanResult &result)
{
    if (result.leftOutCount <= 0)
        return {};
    // A catalog file stores each path between double quotes on a line of its own, so
    // such a path would corrupt the catalog when it is saved; the user should know why
    // files they can see on disk are missing from the list.
    const bool one = result.leftOutCount == 1;
    QString text = one
        ? QStringLiteral("1 file was left out because its path contains")
        : QString::number(result.leftOutCount) + QStringLiteral(" files were left out because their paths contain");
    text += QStringLiteral(" a double quote, a line break or characters that are not valid text, which a catalog file "
                           "cannot hold, or is longer than the system can check.");
    text += one ? QStringLiteral(" Rename it to catalog it.") : QStringLiteral(" Rename them to catalog them.");
    if (!result.leftOutExamples.isEmpty())
        text += QStringLiteral("\n\nFor example:\n") + result.leftOutExamples.join(QLatin1Char('\n'));
    return text;
}
