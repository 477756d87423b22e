#include "RelocationJob.h"

#include "ExtensionTable.h"
#include "FolderScanner.h"
#include "FolderWalker.h"
#include "PassMatcher.h"

#include <QThread>

#include <chrono>

namespace {

constexpr std::chrono::milliseconds kProgressInterval{100};

} // namespace

RelocationJob::RelocationJob(const QString &startFolder, MovedFileMatcher matcher, QObject *parent)
    : QObject(parent)
    , m_startFolder(FolderScanner::normalisedFolder(startFolder))
    , m_matcher(std::move(matcher))
{
}

RelocationJob::~RelocationJob()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
    }
}

void RelocationJob::start()
{
    if (m_started)
        return;
    m_started = true;
    m_thread.reset(QThread::create([this] { run(); }));
    m_thread->setObjectName(QStringLiteral("Locate moved files"));
    connect(m_thread.get(), &QThread::finished, this, [this] {
        m_finished = true;
        Q_EMIT finished();
    });
    m_thread->start();
}

void RelocationJob::cancel()
{
    m_cancelled.store(true, std::memory_order_relaxed);
}

void RelocationJob::run()
{
    // Every file, with an extension or without; the matcher's name test comes first.
    PassMatcher everyFile({ScanPass{ExtensionTable::kAllFiles, false}});
    int filesSeen = 0;
    FolderWalker walker(everyFile, m_cancelled, [this](FolderWalker::FolderMatches &&folder) {
        for (const FolderWalker::MatchedFile &file : folder.files)
            m_matcher.addFoundFile(folder.path, file.name);
    });
    walker.setNameFilter([this, &filesSeen](std::string_view name) {
        ++filesSeen;
        return m_matcher.isWanted(name);
    });
    walker.setProgressCallback(
        [this, &filesSeen](const ScanProgress &) {
            // Posted to the job's own thread; dropped if the job is gone by then.
            QMetaObject::invokeMethod(
                this, [this, seen = filesSeen] { Q_EMIT progressed(seen); }, Qt::QueuedConnection);
        },
        kProgressInterval);
    walker.walk(FolderWalker::walkPath(m_startFolder), true);

    RelocationResult result;
    if (!m_cancelled.load(std::memory_order_relaxed))
        result = m_matcher.finish();
    // A cancel that comes while the matches are settled still counts.
    if (m_cancelled.load(std::memory_order_relaxed))
        result = m_matcher.cancelledResult();
    result.filesSeen = filesSeen;
    result.foldersVisited = walker.foldersVisited();
    result.unreadableFolderCount = walker.unreadableFolderCount();
    m_result = std::move(result);
    // A million missing paths and their index are freed here rather than by the
    // window's thread when it deletes the job.
    m_matcher = MovedFileMatcher(std::vector<QByteArray>());
}
