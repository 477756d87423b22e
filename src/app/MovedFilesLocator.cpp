#include "MovedFilesLocator.h"

#include "Catalog.h"
#include "Interaction.h"
#include "LocatedRecords.h"
#include "MissingFilesModel.h"
#include "RelocationJob.h"
#include "ScanProgressWindow.h"

#include <QDir>
#include <QFileInfo>

MovedFilesLocator::MovedFilesLocator(Catalog &catalog, MissingFilesModel &missing, Interaction::Interface &interaction,
                                     QWidget *window)
    : QObject(window)
    , m_catalog(catalog)
    , m_missing(missing)
    , m_interaction(interaction)
    , m_window(window)
{
}

MovedFilesLocator::~MovedFilesLocator()
{
    if (m_progress)
        m_progress->dismiss();
}

namespace {

QByteArrayView parentOf(QByteArrayView path)
{
    return path.first(std::max<qsizetype>(0, path.lastIndexOf('/')));
}

bool isAtOrBelow(QByteArrayView path, QByteArrayView folder)
{
    return path.startsWith(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

} // namespace

QString MovedFilesLocator::startFolderFor(const MissingRecords &missing)
{
    // The folder all the missing files share, then up to the first one that exists.
    QByteArrayView shared;
    for (int i = 0; i < missing.size(); ++i) {
        const QByteArrayView folder = parentOf(missing.pathUtf8(i));
        if (i == 0)
            shared = folder;
        while (!shared.isEmpty() && !isAtOrBelow(folder, shared))
            shared = parentOf(shared);
    }
    for (; shared.startsWith('/'); shared = parentOf(shared)) {
        const QString folder = QString::fromUtf8(shared);
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

bool MovedFilesLocator::missingStillBelongToCatalog() const
{
    return m_catalog.missingRecords() == m_missing.records();
}

void MovedFilesLocator::locate()
{
    if (m_job)
        return;
    if (!missingStillBelongToCatalog()) {
        m_interaction.message(QStringLiteral("These files were missing from a catalog that is no longer open. Open "
                                             "that catalog again to locate them."),
                              Interaction::kProgramTitle, Interaction::Icon::Information);
        return;
    }
    const MissingRecords &missing = *m_missing.records();
    const QString folder = m_interaction.existingFolder(
        {QStringLiteral("Locate Missing Files"), startFolderFor(missing), QString(), QString()});
    if (folder.isEmpty())
        return;

    // Records whose category was deleted meanwhile went with it: they are not looked for.
    std::vector<QByteArray> wanted;
    m_searched.clear();
    for (int i = 0; i < missing.size(); ++i) {
        if (missing.category(i) == MissingRecords::kCategoryDeleted)
            continue;
        m_searched.push_back(i);
        wanted.push_back(missing.pathUtf8(i).toByteArray());
    }
    m_job = std::make_unique<RelocationJob>(folder, MovedFileMatcher(std::move(wanted)));
    m_progress = new ScanProgressWindow(true, m_window);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_progress, &ScanProgressWindow::buttonPressed, m_job.get(), &RelocationJob::cancel);
    connect(m_job.get(), &RelocationJob::progressed, m_progress,
            [this](int filesSeen) { m_progress->showFilesLookedAt(filesSeen); });
    connect(m_job.get(), &RelocationJob::finished, this, &MovedFilesLocator::putBackWhatWasFound);
    m_progress->show();
    m_progress->raise();
    m_job->start();
}

void MovedFilesLocator::putBackWhatWasFound()
{
    const std::unique_ptr<RelocationJob> job = std::move(m_job);
    if (m_progress)
        m_progress->dismiss();
    const RelocationResult result = job->takeResult();
    if (result.cancelled || !missingStillBelongToCatalog()) {
        Q_EMIT finished();
        return;
    }
    std::vector<LocatedFile> located;
    for (std::size_t i = 0; i < result.newPaths.size() && i < m_searched.size(); ++i) {
        if (result.newPaths[i])
            located.push_back({m_searched[i], *result.newPaths[i]});
    }
    const std::vector<int> putBack = putBackLocatedRecords(m_catalog, std::move(located));
    m_missing.removeRecords(putBack);

    QString text = QStringLiteral("%1 of %2 missing files were found again under %3.")
                       .arg(putBack.size())
                       .arg(m_searched.size())
                       .arg(QDir::toNativeSeparators(job->startFolder()));
    if (result.ambiguousCount > 0)
        text += QStringLiteral("\n%1 names matched more than one file and were left as they were.")
                    .arg(result.ambiguousCount);
    m_interaction.message(text, Interaction::kProgramTitle, Interaction::Icon::Information);
    Q_EMIT finished();
}
