#include "FolderScanner.h"

#include "FileNameRules.h"
#include "FolderWalker.h"
#include "FoundFileCollector.h"
#include "PassMatcher.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Pass by pass, each pass in folder order: what walking the tree once per pass gives.
std::vector<FoundFile> inPassOrder(FoundFileCollector::Collected distinct, std::size_t passCount)
{
    // One pass, as Search All Files makes: the files stand in its order already.
    if (passCount == 1)
        return std::move(distinct.files);
    std::vector<std::vector<std::size_t>> filesOfPass(passCount);
    for (std::size_t i = 0; i < distinct.files.size(); ++i) {
        for (const int pass : *distinct.passes[i])
            filesOfPass[std::size_t(pass)].push_back(i);
    }
    std::vector<FoundFile> ordered;
    ordered.reserve(distinct.rowCount);
    for (std::size_t pass = 0; pass < passCount; ++pass) {
        for (const std::size_t i : filesOfPass[pass]) {
            // A file found by one pass only, as every file of Search All Files, moves.
            if (int(pass) == distinct.passes[i]->back())
                ordered.push_back(std::move(distinct.files[i]));
            else
                ordered.push_back(distinct.files[i]);
        }
    }
    return ordered;
}

} // namespace

FolderScanner::FolderScanner(ScanRequest request)
    : m_request(std::move(request))
{
}

void FolderScanner::setProgressCallback(ProgressCallback callback, std::chrono::milliseconds interval)
{
    m_progressCallback = std::move(callback);
    m_progressInterval = interval;
}

QString FolderScanner::normalisedFolder(const QString &folder)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
}

void FolderScanner::run()
{
    m_result = {};
    // An empty folder path is no scan at all; any other path is, even one that cannot
    // be opened.
    m_result.marksCatalogChanged = !m_request.startFolder.isEmpty() && !m_request.passes.empty();
    if (m_result.marksCatalogChanged) {
        PassMatcher matcher(m_request.passes);
        FoundFileCollector collector;
        FolderWalker walker(matcher, m_scanCancelled,
                            [&collector](FolderWalker::FolderMatches &&folder) { collector.add(std::move(folder)); });
        walker.setProgressCallback(m_progressCallback, m_progressInterval);
        walker.walk(FolderWalker::walkPath(normalisedFolder(m_request.startFolder)), m_request.includeSubfolders);

        m_result.files = inPassOrder(collector.finish(), m_request.passes.size());
        m_result.foldersVisited = walker.foldersVisited();
        m_result.unreadableFolderCount = walker.unreadableFolderCount();
        m_result.unreadableFolders = walker.unreadableFolders();
        m_result.tooDeepFolderCount = walker.tooDeepFolderCount();
        m_result.leftOutCount = walker.leftOutCount();
        m_result.leftOutExamples = walker.leftOutExamples();
    }
    m_result.cancelled = isCancelled();
}
