#include "FolderScanner.h"

#include "FileNameRules.h"
#include "FolderWalker.h"
#include "PassMatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::string toWalkPath(const QString &folder)
{
#ifdef Q_OS_UNIX
    return QFile::encodeName(QDir::fromNativeSeparators(folder)).toStdString();
#else
    return QDir::fromNativeSeparators(folder).toStdString();
#endif
}

QString fromWalkPath(const std::string &path)
{
    return QDir::toNativeSeparators(QString::fromStdString(path));
}

// Each found file once, in folder order, with the passes that found it.
struct DistinctFiles {
    std::vector<FoundFile> files;
    std::vector<const std::vector<int> *> passes;
    std::size_t rowCount = 0;
};

DistinctFiles collectDistinctFiles(const std::vector<FolderWalker::FolderMatches> &folders)
{
    DistinctFiles distinct;
    for (const FolderWalker::FolderMatches &folder : folders) {
        QString folderPrefix = fromWalkPath(folder.path);
        if (!folderPrefix.endsWith(QDir::separator()))
            folderPrefix += QDir::separator();
        for (const FolderWalker::MatchedFile &file : folder.files) {
            const QString name = QString::fromStdString(file.name);
            distinct.files.push_back(
                {folderPrefix + name, FileNameRules::rowName(name), FileNameRules::rowExtension(name)});
            distinct.passes.push_back(file.passes);
            distinct.rowCount += file.passes->size();
        }
    }
    return distinct;
}

// Pass by pass, each pass in folder order: what walking the tree once per pass gives.
std::vector<FoundFile> inPassOrder(const DistinctFiles &distinct, std::size_t passCount)
{
    std::vector<std::vector<std::size_t>> filesOfPass(passCount);
    for (std::size_t i = 0; i < distinct.files.size(); ++i) {
        for (const int pass : *distinct.passes[i])
            filesOfPass[std::size_t(pass)].push_back(i);
    }
    std::vector<FoundFile> ordered;
    ordered.reserve(distinct.rowCount);
    for (const std::vector<std::size_t> &files : filesOfPass) {
        for (const std::size_t i : files)
            ordered.push_back(distinct.files[i]);
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
        FolderWalker walker(matcher, m_scanCancelled);
        walker.setProgressCallback(m_progressCallback, m_progressInterval);
        walker.walk(toWalkPath(normalisedFolder(m_request.startFolder)), m_request.includeSubfolders);

        m_result.files = inPassOrder(collectDistinctFiles(walker.takeFolders()), m_request.passes.size());
        m_result.foldersVisited = walker.foldersVisited();
        m_result.unreadableFolderCount = walker.unreadableFolderCount();
        m_result.tooDeepFolderCount = walker.tooDeepFolderCount();
        m_result.leftOutCount = walker.leftOutCount();
        m_result.leftOutExamples = walker.leftOutExamples();
    }
    m_result.cancelled = isCancelled();
}
