#include "DirectoryReader.h"

#ifdef Q_OS_UNIX

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

DirectoryReader::DirectoryReader() = default;

DirectoryReader::~DirectoryReader()
{
    close();
}

bool DirectoryReader::open(const std::string &folderPath)
{
    close();
    m_folderPath = folderPath;
    m_failed = false;
    m_identity = {};
    m_directory = ::opendir(folderPath.c_str());
    if (!m_directory)
        return false;
    struct stat status;
    if (::fstat(::dirfd(m_directory), &status) == 0)
        m_identity
            = {static_cast<unsigned long long>(status.st_dev), static_cast<unsigned long long>(status.st_ino), true};
    return true;
}

bool DirectoryReader::next(Entry &entry)
{
    if (!m_directory)
        return false;
    for (;;) {
        errno = 0;
        const dirent *raw = ::readdir(m_directory);
        if (!raw) {
            m_failed = errno != 0;
            return false;
        }
        const std::string_view name(raw->d_name);
        if (name == "." || name == "..")
            continue;
        entry.name = name;
        entry.kind = kindOf(*raw);
        return true;
    }
}

DirectoryReader::EntryKind DirectoryReader::kindOf(const dirent &entry) const
{
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN) {
        // Some file systems leave the type out of the listing; ask for this entry alone.
        struct stat status;
        if (::fstatat(::dirfd(m_directory), entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            return EntryKind::Other;
        type = S_ISREG(status.st_mode) ? DT_REG
            : S_ISDIR(status.st_mode)  ? DT_DIR
            : S_ISLNK(status.st_mode)  ? DT_LNK
                                       : DT_UNKNOWN;
    }
    switch (type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        return EntryKind::SymbolicLink;
    default:
        return EntryKind::Other;
    }
}

bool DirectoryReader::linkLeadsToFile(std::string_view name) const
{
    if (!m_directory)
        return false;
    const std::string linkName(name);
    struct stat status;
    return ::fstatat(::dirfd(m_directory), linkName.c_str(), &status, 0) == 0 && S_ISREG(status.st_mode);
}

void DirectoryReader::close()
{
    if (m_directory)
        ::closedir(m_directory);
    m_directory = nullptr;
}

#else // Q_OS_UNIX

#include <QDirIterator>
#include <QFileInfo>

DirectoryReader::DirectoryReader() = default;

DirectoryReader::~DirectoryReader() = default;

bool DirectoryReader::open(const std::string &folderPath)
{
    close();
    m_folderPath = folderPath;
    m_failed = false;
    m_identity = {};
    const QString path = QString::fromStdString(folderPath);
    if (!QFileInfo(path).isDir())
        return false;
    m_iterator = std::make_unique<QDirIterator>(
        path, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    return true;
}

bool DirectoryReader::next(Entry &entry)
{
    if (!m_iterator || !m_iterator->hasNext())
        return false;
    m_iterator->next();
    const QFileInfo info = m_iterator->fileInfo();
    m_nameBuffer = info.fileName().toStdString();
    entry.name = m_nameBuffer;
    if (info.isSymLink() || info.isJunction())
        entry.kind = EntryKind::SymbolicLink;
    else if (info.isDir())
        entry.kind = EntryKind::Folder;
    else if (info.isFile())
        entry.kind = EntryKind::File;
    else
        entry.kind = EntryKind::Other;
    return true;
}

bool DirectoryReader::linkLeadsToFile(std::string_view name) const
{
    const std::string separator = !m_folderPath.empty() && m_folderPath.back() == '/' ? "" : "/";
    return QFileInfo(QString::fromStdString(m_folderPath + separator + std::string(name))).isFile();
}

void DirectoryReader::close()
{
    m_iterator.reset();
}

#endif // Q_OS_UNIX
