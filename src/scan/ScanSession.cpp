#include "ScanSession.h"

#include "ApplyScanResult.h"
#include "Catalog.h"
#include "FileListModel.h"
#include "Interaction.h"
#include "ScanJob.h"
#include "ScanProgressWindow.h"

#include <QWidget>

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
    m_window->show();
    m_window->raise();
    m_job = std::make_unique<ScanJob>(m_request);
    connect(m_job.get(), &ScanJob::progressed, m_window, &ScanProgressWindow::showProgress);
    connect(m_job.get(), &ScanJob::progressed, this, &ScanSession::progressed);
    connect(m_job.get(), &ScanJob::finished, this, &ScanSession::fileResult);
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
        // The walk stops at the next directory entry it reads; what it finished before
        // is still filed when the job reports back, but nothing more is listed.
        m_cancelledByUser = true;
        m_job->cancel();
        m_context.fileList.clear();
    }
    Q_EMIT closeRequested();
}

void ScanSession::fileResult()
{
    const ScanResult result = m_job->takeResult();
    Catalog &catalog = m_context.catalog;
    // The main window stays usable during a scan, so "Temporary" may have moved to
    // another index, or gone, since the scan started.
    if (catalog.findTemporary() < 0) {
        catalog.tree().addRoot(Catalog::kTemporaryName);
        catalog.findTemporary();
    }
    applyScanResult(result, catalog);
    if (!m_cancelledByUser) {
        std::vector<FileListRow> rows;
        rows.reserve(result.files.size());
        for (const FoundFile &file : result.files) {
            FileListRow row;
            row.path = file.path;
            row.name = file.name;
            row.extension = file.extension;
            rows.push_back(std::move(row));
        }
        m_context.fileList.appendRows(std::move(rows));
    }
    // Every scan leaves the catalog unsaved, even one that found nothing.
    catalog.markChanged();
    m_running = false;
    if (m_window)
        m_window->setCompleted();
    if (m_context.selectCategory)
        m_context.selectCategory(catalog.TemporaryIndex());
    // Once sorting is on, the rows just added already went to their places.
    if (!m_context.fileList.isSorted())
        m_context.fileList.sort(m_context.fileList.sortColumn());
    if (!m_cancelledByUser) {
        m_context.interaction.message(QStringLiteral("A total of ") + QString::number(m_context.fileList.rowCount())
                                          + QStringLiteral(" files were found"),
                                      m_options.messageTitle, Interaction::Icon::Information);
        reportLeftOut(result);
    }
    Q_EMIT ended();
}

void ScanSession::reportLeftOut(const ScanResult &result)
{
    if (result.leftOutCount <= 0 && result.tooDeepFolderCount <= 0)
        return;
    QString text = leftOutText(result);
    if (result.tooDeepFolderCount > 0) {
        if (!text.isEmpty())
            text += QStringLiteral("\n\n");
        text += result.tooDeepFolderCount == 1
            ? QStringLiteral("1 folder was too deep to search: its path is longer than the system allows.")
            : QString::number(result.tooDeepFolderCount)
                + QStringLiteral(" folders were too deep to search: their paths are longer than the system allows.");
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
