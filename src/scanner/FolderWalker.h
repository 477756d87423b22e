#pragma once

#include "DirectoryReader.h"
#include "PassMatcher.h"
#include "ScanResult.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Walks a folder (and, if asked, every folder below it on the same file system) once,
// noting in each folder the files that any pass of the scan finds. Folders come out in
// the order one pass visits them: the start folder first, then the folders below it
// depth first, each folder's subfolders before its own files (for M holding A, with A1
// and A2, and B: M, A1, A2, A, B). Subfolders and files are taken in the order of
// FileNameRules::listsBefore.
class FolderWalker
{
public:
    struct MatchedFile {
        std::string name;
        // Into the matcher; never empty.
        const std::vector<int> *passes = nullptr;
    };
    struct FolderMatches {
        std::string path;
        std::vector<MatchedFile> files;
    };
    using ProgressCallback = std::function<void(const ScanProgress &)>;
    // Takes each folder with at least one storable match, in pass order, as soon as the
    // walk is done with it. After a cancel, every file read before it is among them,
    // also those of folders left half-read.
    using FolderSink = std::function<void(FolderMatches &&)>;
    // Asked first about every file the walk meets (a regular file or a link), by name
    // alone: a file it refuses costs nothing more, neither a copy nor a look at a link.
    using NameFilter = std::function<bool(std::string_view nameUtf8)>;

    FolderWalker(PassMatcher &matcher, const std::atomic<bool> &scanCancelled, FolderSink sink);

    void setProgressCallback(ProgressCallback callback, std::chrono::milliseconds interval);
    void setNameFilter(NameFilter filter) { m_nameFilter = std::move(filter); }

    // A folder as walk() takes it.
    static std::string walkPath(const QString &folder);

    // Folder paths are UTF-8 with "/" between the steps (on Unix, the bytes on disk).
    void walk(const std::string &startFolder, bool includeSubfolders);

    int foldersVisited() const { return m_foldersVisited; }
    int unreadableFolderCount() const { return m_unreadableFolderCount; }
    int tooDeepFolderCount() const { return m_tooDeepFolderCount; }
    int leftOutCount() const { return m_leftOutCount; }
    const QStringList &leftOutExamples() const { return m_leftOutExamples; }
    // The first few folders that could not be read, for telling the user.
    const QStringList &unreadableFolders() const { return m_unreadableFolders; }

private:
    struct OpenFolder {
        std::string path;
        // False when the path already holds something a catalog cannot store.
        bool storable = true;
        std::vector<MatchedFile> files;
        std::vector<std::string> subfolders;
        std::size_t nextSubfolder = 0;
        DirectoryReader::FolderIdentity identity;
        // Held while subfolders are left to open through it, on the deepest folders only.
        DirectoryReader::Handle handle;
    };

    bool isCancelled() const { return m_scanCancelled.load(std::memory_order_relaxed); }
    // False when the folder could not be opened or is already being walked higher up.
    // With a parent, name is the folder's name in it.
    bool readFolder(OpenFolder &folder, bool withSubfolders, const OpenFolder *parent, std::string_view name);
    void noteFile(OpenFolder &folder, DirectoryReader &reader, const DirectoryReader::Entry &entry);
    void noteLeftOut(const OpenFolder &folder, std::string_view name);
    void noteUnreadable(const std::string &folderPath);
    void finish(OpenFolder &folder);
    bool isOnCurrentBranch(const DirectoryReader::FolderIdentity &identity) const;
    void reportProgress(const std::string &currentFolder, bool force);

    // One for every folder, one at a time: its buffer is kept from folder to folder.
    DirectoryReader m_reader;
    PassMatcher &m_matcher;
    const std::atomic<bool> &m_scanCancelled;
    FolderSink m_sink;
    NameFilter m_nameFilter;
    ProgressCallback m_progressCallback;
    std::chrono::milliseconds m_progressInterval{50};
    std::chrono::steady_clock::time_point m_lastReport;

    std::vector<OpenFolder> m_branch;
    int m_foldersVisited = 0;
    int m_filesFound = 0;
    int m_unreadableFolderCount = 0;
    int m_tooDeepFolderCount = 0;
    int m_leftOutCount = 0;
    QStringList m_leftOutExamples;
    QStringList m_unreadableFolders;
};
