#include "FolderScanner.h"

#include "FileNameRules.h"
#include "FolderWalker.h"
#include "PassMatcher.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Pass by pass, each pass in folder order: the positions of the distinct files, found
// in folder order, as walking the tree once per pass lists them.
std::vector<std::size_t> inPassOrder(const std::vector<const std::vector<int> *> &passesOfFile, std::size_t passCount)
{
    std::vector<std::vector<std::size_t>> filesOfPass(passCount);
    std::size_t rowCount = 0;
    for (std::size_t i = 0; i < passesOfFile.size(); ++i) {
        for (const int pass : *passesOfFile[i])
            filesOfPass[std::size_t(pass)].push_back(i);
        rowCount += passesOfFile[i]->size();
    }
    std::vector<std::size_t> ordered;
    ordered.reserve(rowCount);
    for (const std::vector<std::size_t> &files : filesOfPass)
        ordered.insert(ordered.end(), files.begin(), files.end());
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
        // One pass, as Search All Files makes, finds the files in its order already.
        const bool onePass = m_request.passes.size() == 1;
        std::vector<const std::vector<int> *> passesOfFile;
        FoundFiles &found = m_result.files;
        FolderWalker walker(matcher, m_scanCancelled, [&](FolderWalker::FolderMatches &&folder) {
            found.addFolder(folder.path);
            for (const FolderWalker::MatchedFile &file : folder.files) {
                found.addFile(file.name);
                if (!onePass)
                    passesOfFile.push_back(file.passes);
            }
        });
        walker.setProgressCallback(m_progressCallback, m_progressInterval);
        walker.walk(FolderWalker::walkPath(normalisedFolder(m_request.startFolder)), m_request.includeSubfolders);

        if (!onePass)
            found.arrange(inPassOrder(passesOfFile, m_request.passes.size()));
        m_result.foldersVisited = walker.foldersVisited();
        m_result.unreadableFolderCount = walker.unreadableFolderCount();
        m_result.unreadableFolders = walker.unreadableFolders();
        m_result.tooDeepFolderCount = walker.tooDeepFolderCount();
        m_result.leftOutCount = walker.leftOutCount();
        m_result.leftOutExamples = walker.leftOutExamples();
    }
    m_result.cancelled = isCancelled();
}
