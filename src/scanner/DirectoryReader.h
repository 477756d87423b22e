#pragma once

#include <QtGlobal>

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

    DirectoryReader();
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader &) = delete;
    DirectoryReader &operator=(const DirectoryReader &) = delete;

    // False when the folder cannot be opened (missing, not a folder, access refused).
    bool open(const std::string &folderPath);
    // False at the end of the listing, or when reading failed (see failed()).
    bool next(Entry &entry);
    // True when the listing stopped early because of a read error.
    bool failed() const { return m_failed; }
    FolderIdentity identity() const { return m_identity; }
    // Whether a symbolic link of this folder leads to a regular file.
    bool linkLeadsToFile(std::string_view name) const;

private:
    void close();

    std::string m_folderPath;
    FolderIdentity m_identity;
    bool m_failed = false;
#ifdef Q_OS_UNIX
    DIR *m_directory = nullptr;
    EntryKind kindOf(const dirent &entry) const;
#else
    std::unique_ptr<QDirIterator> m_iterator;
    std::string m_nameBuffer;
#endif
};
