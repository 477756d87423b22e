#pragma once

#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#ifdef Q_OS_UNIX
#include <dirent.h>
#else
class QDirIterator;
#endif

// Lists the entries directly inside one folder, cheaply: on Unix straight from
// readdir, asking the file system about an entry only when readdir does not say what
// it is. Names are UTF-8 (on Unix, the bytes the file system stores).
class DirectoryReader
{
public:
    enum class EntryKind { File, Folder, SymbolicLink, Other };
    struct Entry {
        // Valid until the next call of next().
        std::string_view name;
        EntryKind kind = EntryKind::Other;
    };
    // Tells two paths to the same folder apart from two different folders.
    struct FolderIdentity {
        unsigned long long device = 0;
        unsigned long long inode = 0;
        bool known = false;
        bool operator==(const FolderIdentity &other) const
        {
            return known && other.known && device == other.device && inode == other.inode;
        }
    };

    enum class OpenResult {
        Opened,
        // Missing, not a folder, or access refused (also a folder that can be listed but
        // not entered: nothing in it could be opened or checked later).
        Unreadable,
        // Its path is longer than the system lets a program name a file by.
        TooDeep,
        // Not the folder the walk expected: a symbolic link, or moved or replaced since
        // its parent was listed.
        NotTheExpectedFolder,
    };

    DirectoryReader();
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader &) = delete;
    DirectoryReader &operator=(const DirectoryReader &) = delete;

    // A folder kept open by a walk so that the folders below it are opened through it,
    // without looking their whole paths up again. Closed when destroyed.
    class Handle
    {
    public:
        Handle() = default;
        explicit Handle(int descriptor)
            : m_descriptor(descriptor)
        {
        }
        ~Handle() { reset(); }
        Handle(Handle &&other) noexcept
            : m_descriptor(other.m_descriptor)
        {
            other.m_descriptor = -1;
        }
        Handle &operator=(Handle &&other) noexcept;
        bool isOpen() const { return m_descriptor >= 0; }
        int descriptor() const { return m_descriptor; }
        void reset();

    private:
        int m_descriptor = -1;
    };

    // A symbolic link is never opened. With a parent given, the folder opened must still
    // stand inside that parent, so that a folder swapped for a link (or a link put in
    // place of one of its ancestors) during a walk is never entered.
    OpenResult open(const std::string &folderPath, const FolderIdentity *parent = nullptr);
    // Opens the folder name inside a folder held open: it stands inside that folder by
    // construction, and a symbolic link (or anything else put in the folder's place
    // since the parent was listed) is never entered. folderPath is its whole path.
    // Where folders cannot be held open, the same as open(folderPath, &parent).
    OpenResult openInside(const Handle &parentFolder, const FolderIdentity &parent, std::string_view name,
                          const std::string &folderPath);
    // Ends the listing and hands the folder over, still open, for opening the folders
    // below it through it.
    Handle keepOpen();
    // Ends the listing; the folder is closed unless it was kept open. Opening another
    // folder does the same.
    void close();
    // False at the end of the listing, or when reading failed (see failed()).
    bool next(Entry &entry);
    // True when the listing stopped early because of a read error.
    bool failed() const { return m_failed; }
    FolderIdentity identity() const { return m_identity; }
    // Another file system is mounted on this folder.
    bool isMountRoot() const { return m_mountRoot; }
    // The folder lies on a kernel pseudo file system (proc, sysfs, ...) or a network share.
    bool isOnPseudoOrNetworkFileSystem() const { return m_pseudoOrNetwork; }

    // The longest path, in bytes, that the system opens or checks.
    static std::size_t maximumPathLength();
    // Whether a symbolic link of this folder leads to a regular file.
    bool linkLeadsToFile(std::string_view name) const;

private:
    OpenResult finishOpen(int fd, const FolderIdentity *parent, bool checkParent);

    FolderIdentity m_identity;
    bool m_failed = false;
    bool m_mountRoot = false;
    bool m_pseudoOrNetwork = false;
#ifdef Q_OS_UNIX
    EntryKind kindOf(unsigned char type, const char *name) const;
    // The folder being listed, -1 when none is.
    int m_fd = -1;
#ifdef Q_OS_LINUX
    // The listing straight from the kernel, a buffer at a time, into one buffer kept for
    // every folder the reader lists.
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_bufferFilled = 0;
    std::size_t m_bufferRead = 0;
#else
    DIR *m_directory = nullptr;
#endif
#else
    std::string m_folderPath;
    std::unique_ptr<QDirIterator> m_iterator;
    std::string m_nameBuffer;
#endif
};
