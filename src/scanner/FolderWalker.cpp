#include "FolderWalker.h"

#include "FileNameRules.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

constexpr int kEntriesBetweenProgressChecks = 256;
// Folders of the branch held open at most: a tree thousands of folders deep must not
// run the process out of descriptors. Folders higher up open their subfolders by path.
constexpr std::size_t kHeldFolders = 32;
constexpr int kLeftOutExampleLimit = 20;
constexpr qsizetype kLeftOutExampleLength = 160;

std::string joinPath(const std::string &folder, std::string_view name)
{
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

} // namespace

FolderWalker::FolderWalker(PassMatcher &matcher, const std::atomic<bool> &scanCancelled, FolderSink sink)
    : m_matcher(matcher)
    , m_scanCancelled(scanCancelled)
    , m_sink(std::move(sink))
{
}

std::string FolderWalker::walkPath(const QString &folder)
{
#ifdef Q_OS_UNIX
    return QFile::encodeName(QDir::fromNativeSeparators(folder)).toStdString();
#else
    return QDir::fromNativeSeparators(folder).toStdString();
#endif
}

void FolderWalker::setProgressCallback(ProgressCallback callback, std::chrono::milliseconds interval)
{
    m_progressCallback = std::move(callback);
    m_progressInterval = interval;
}

void FolderWalker::walk(const std::string &startFolder, bool includeSubfolders)
{
    OpenFolder start;
    start.path = startFolder;
    start.storable = FileNameRules::isStorableName(startFolder);
    if (!readFolder(start, includeSubfolders, nullptr, {})) {
        reportProgress({}, true);
        return;
    }
    // A pass takes the start folder's own files first, then the folders below it.
    finish(start);
    if (includeSubfolders)
        m_branch.push_back(std::move(start));

    while (!m_branch.empty() && !isCancelled()) {
        OpenFolder &parent = m_branch.back();
        if (parent.nextSubfolder == parent.subfolders.size()) {
            OpenFolder done = std::move(parent);
            m_branch.pop_back();
            if (!m_branch.empty())
                finish(done);
            continue;
        }
        const std::string &name = parent.subfolders[parent.nextSubfolder++];
        OpenFolder child;
        child.path = joinPath(parent.path, name);
        child.storable = parent.storable && FileNameRules::isStorableName(name);
        // A folder that cannot be listed is passed over; its siblings are still walked.
        if (!readFolder(child, true, &parent, name))
            continue;
        m_branch.push_back(std::move(child));
        if (m_branch.size() > kHeldFolders)
            m_branch[m_branch.size() - 1 - kHeldFolders].handle.reset();
    }
    // A cancel leaves folders on the branch whose files were read (the last one maybe
    // only in part): they were found, so they are kept, each where a pass would have
    // come to it, the deepest first.
    while (!m_branch.empty()) {
        OpenFolder done = std::move(m_branch.back());
        m_branch.pop_back();
        if (!m_branch.empty())
            finish(done);
    }
    reportProgress({}, true);
}

bool FolderWalker::readFolder(OpenFolder &folder, bool withSubfolders, const OpenFolder *parent, std::string_view name)
{
    reportProgress(folder.path, false);
    DirectoryReader &reader = m_reader;
    // Through the parent when it is held open: no lookup of the whole path, and the
    // folder is inside the parent by construction.
    const DirectoryReader::OpenResult opened = !parent ? reader.open(folder.path)
        : parent->handle.isOpen() ? reader.openInside(parent->handle, parent->identity, name, folder.path)
                                  : reader.open(folder.path, &parent->identity);
    switch (opened) {
    case DirectoryReader::OpenResult::Opened:
        break;
    case DirectoryReader::OpenResult::Unreadable:
        noteUnreadable(folder.path);
        return false;
    case DirectoryReader::OpenResult::TooDeep:
        ++m_tooDeepFolderCount;
        return false;
    case DirectoryReader::OpenResult::NotTheExpectedFolder:
        // A link, or something put in the folder's place: never entered.
        return false;
    }
    // Another file system below the start folder is another drive, with its own node
    // in the Import Files wizard; the kernel's pseudo file systems and network shares
    // are never walked at all.
    if ((parent && reader.isMountRoot()) || reader.isOnPseudoOrNetworkFileSystem()) {
        reader.close();
        return false;
    }
    folder.identity = reader.identity();
    // Symbolic links are never followed, but a bind mount can still lead back up.
    if (isOnCurrentBranch(folder.identity)) {
        reader.close();
        return false;
    }
    ++m_foldersVisited;

    DirectoryReader::Entry entry;
    int entriesSinceCheck = 0;
    // Checked per entry so that a cancel takes effect at once even in a huge folder.
    while (!isCancelled() && reader.next(entry)) {
        switch (entry.kind) {
        case DirectoryReader::EntryKind::Folder:
            if (withSubfolders)
                folder.subfolders.emplace_back(entry.name);
            break;
        case DirectoryReader::EntryKind::File:
        case DirectoryReader::EntryKind::SymbolicLink:
            noteFile(folder, reader, entry);
            break;
        case DirectoryReader::EntryKind::Other:
            break;
        }
        if (++entriesSinceCheck == kEntriesBetweenProgressChecks) {
            entriesSinceCheck = 0;
            reportProgress(folder.path, false);
        }
    }
    if (reader.failed())
        noteUnreadable(folder.path);

    if (withSubfolders && !folder.subfolders.empty())
        folder.handle = reader.keepOpen();
    else
        reader.close();

    const auto byName
        = [](const MatchedFile &a, const MatchedFile &b) { return FileNameRules::listsBefore(a.name, b.name); };
    std::sort(folder.files.begin(), folder.files.end(), byName);
    std::sort(folder.subfolders.begin(), folder.subfolders.end(),
              [](const std::string &a, const std::string &b) { return FileNameRules::listsBefore(a, b); });
    return true;
}

void FolderWalker::noteFile(OpenFolder &folder, DirectoryReader &reader, const DirectoryReader::Entry &entry)
{
    if (m_nameFilter && !m_nameFilter(entry.name))
        return;
    const std::vector<int> &passes = m_matcher.passesFor(FileNameRules::extensionOf(entry.name));
    if (passes.empty())
        return;
    // A link counts as the file it leads to; links to folders are never followed.
    if (entry.kind == DirectoryReader::EntryKind::SymbolicLink && !reader.linkLeadsToFile(entry.name))
        return;
    // A path the system cannot name could never be found again by the catalog.
    const bool tooLong = folder.path.size() + 1 + entry.name.size() > DirectoryReader::maximumPathLength();
    if (tooLong || !folder.storable || !FileNameRules::isStorableName(entry.name)) {
        noteLeftOut(folder, entry.name);
        return;
    }
    folder.files.push_back({std::string(entry.name), &passes});
    m_filesFound += int(passes.size());
}

namespace {

// A path for a message: a path too long for the system would fill the whole of it.
void appendExample(QStringList &examples, const std::string &path)
{
    if (examples.size() >= kLeftOutExampleLimit)
        return;
    QString example = QString::fromStdString(path);
    if (example.size() > kLeftOutExampleLength)
        example = example.left(kLeftOutExampleLength / 2) + QChar(0x2026) + example.right(kLeftOutExampleLength / 2);
    examples.append(example);
}

} // namespace

void FolderWalker::noteLeftOut(const OpenFolder &folder, std::string_view name)
{
    ++m_leftOutCount;
    appendExample(m_leftOutExamples, joinPath(folder.path, name));
}

void FolderWalker::noteUnreadable(const std::string &folderPath)
{
    ++m_unreadableFolderCount;
    appendExample(m_unreadableFolders, folderPath);
}

void FolderWalker::finish(OpenFolder &folder)
{
    if (folder.files.empty())
        return;
    m_sink({folder.path, std::move(folder.files)});
    folder.files = {};
}

bool FolderWalker::isOnCurrentBranch(const DirectoryReader::FolderIdentity &identity) const
{
    return std::any_of(m_branch.begin(), m_branch.end(),
                       [&](const OpenFolder &ancestor) { return ancestor.identity == identity; });
}

void FolderWalker::reportProgress(const std::string &currentFolder, bool force)
{
    if (!m_progressCallback)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - m_lastReport < m_progressInterval)
        return;
    m_lastReport = now;
    m_progressCallback({m_foldersVisited, m_filesFound, QString::fromStdString(currentFolder)});
}
