#include "DirectoryReader.h"

#ifdef Q_OS_UNIX

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif

DirectoryReader::DirectoryReader() = default;

DirectoryReader::~DirectoryReader()
{
    close();
}

namespace {

DirectoryReader::FolderIdentity identityOf(const struct stat &status)
{
    return {static_cast<unsigned long long>(status.st_dev), static_cast<unsigned long long>(status.st_ino), true};
}

// The folder's parent as the file system sees it now, without opening it.
DirectoryReader::FolderIdentity parentIdentityOf(int fd)
{
    struct stat status;
    if (::fstatat(fd, "..", &status, 0) != 0)
        return {};
    return identityOf(status);
}

struct FolderStatus {
    DirectoryReader::FolderIdentity identity;
    bool mountRoot = false;
    // A folder that may be listed but not entered names files nobody can open or check.
    bool enterable = false;
};

// Where the system cannot say whether a folder is a mount point, a change of device
// from its parent is the sign.
FolderStatus statusByStat(int fd, const DirectoryReader::FolderIdentity *parent)
{
    struct stat status;
    if (::fstat(fd, &status) != 0)
        return {};
    FolderStatus folder{identityOf(status), false, ::faccessat(fd, ".", X_OK, AT_EACCESS) == 0};
    folder.mountRoot = parent && folder.identity.device != parent->device;
    return folder;
}

#ifdef Q_OS_LINUX
bool isPseudoOrNetworkFileSystem(int fd)
{
    struct statfs fileSystem;
    if (::fstatfs(fd, &fileSystem) != 0)
        return false;
    // The kernel's own views (processes, devices, control groups, tracing) hold no
    // media and some of them never end; a network share may be huge and slow. RAM disks
    // are not among them: a folder the user picks there is theirs to scan.
    static const unsigned long kExcluded[] = {
        0x9fa0,     // proc
        0x62656572, // sysfs
        0x1cd1,     // devpts
        0x27e0eb,   // cgroup
        0x63677270, // cgroup2
        0x64626720, // debugfs
        0x74726163, // tracefs
        0x73636673, // securityfs
        0xcafe4a11, // bpf
        0x6165676c, // pstore
        0x62656570, // configfs
        0xde5e81e4, // efivarfs
        0x42494e4d, // binfmt_misc
        0x19800202, // mqueue
        0x65735543, // fusectl
        0xf97cff8c, // selinuxfs
        0x0187,     // autofs
        0x6969,     // nfs
        0x517b,     // smb
        0xff534d42, // cifs
        0xfe534d42, // smb2
        0x73757245, // coda
        0x5346414f, // afs
        0x564c,     // ncp
        0x00c36400, // ceph
        0x01021997, // 9p
    };
    const auto type = static_cast<unsigned long>(fileSystem.f_type) & 0xffffffffUL;
    return std::find(std::begin(kExcluded), std::end(kExcluded), type) != std::end(kExcluded);
}

// One call for what a folder is, whether a file system is mounted on it and whether it
// may be entered: looking "." up inside the folder needs the same right to search it
// that faccessat(X_OK) asks about, so the call fails where that would.
FolderStatus statusOf(int fd, const DirectoryReader::FolderIdentity *parent)
{
    struct statx status;
    // An older kernel does not say whether the folder is a mount point. Where the call
    // fails (as it does for a folder that may not be entered), the folder is asked
    // about one question at a time.
    if (::statx(fd, ".", AT_SYMLINK_NOFOLLOW, STATX_INO, &status) != 0
        || !(status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
        return statusByStat(fd, parent);
    FolderStatus folder;
    folder.identity = {static_cast<unsigned long long>(makedev(status.stx_dev_major, status.stx_dev_minor)),
                       static_cast<unsigned long long>(status.stx_ino), true};
    folder.mountRoot = (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    folder.enterable = true;
    return folder;
}
#else
bool isPseudoOrNetworkFileSystem(int)
{
    return false;
}

FolderStatus statusOf(int fd, const DirectoryReader::FolderIdentity *parent)
{
    return statusByStat(fd, parent);
}
#endif

} // namespace

std::size_t DirectoryReader::maximumPathLength()
{
    // PATH_MAX counts the terminating NUL.
    return PATH_MAX - 1;
}

DirectoryReader::OpenResult DirectoryReader::open(const std::string &folderPath, const FolderIdentity *parent)
{
    close();
    if (folderPath.size() > maximumPathLength())
        return OpenResult::TooDeep;
    // The start folder is what the user chose, however its path is spelt; a folder met
    // on the walk must be a real folder.
    const int fd = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (parent ? O_NOFOLLOW : 0));
    if (fd < 0) {
        if (errno == ENAMETOOLONG)
            return OpenResult::TooDeep;
        return parent && (errno == ELOOP || errno == ENOTDIR) ? OpenResult::NotTheExpectedFolder
                                                               : OpenResult::Unreadable;
    }
    return finishOpen(fd, parent, true);
}

DirectoryReader::OpenResult DirectoryReader::openInside(const Handle &parentFolder, const FolderIdentity &parent,
                                                        std::string_view name, const std::string &folderPath)
{
    close();
    if (folderPath.size() > maximumPathLength())
        return OpenResult::TooDeep;
    const std::string ownName(name);
    const int fd = ::openat(parentFolder.descriptor(), ownName.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENAMETOOLONG)
            return OpenResult::TooDeep;
        return errno == ELOOP || errno == ENOTDIR ? OpenResult::NotTheExpectedFolder : OpenResult::Unreadable;
    }
    return finishOpen(fd, &parent, false);
}

DirectoryReader::OpenResult DirectoryReader::finishOpen(int fd, const FolderIdentity *parent, bool checkParent)
{
    m_failed = false;
    m_identity = {};
    m_mountRoot = false;
    m_pseudoOrNetwork = false;
    const auto fail = [fd](OpenResult result) {
        ::close(fd);
        return result;
    };
    const FolderStatus status = statusOf(fd, parent);
    m_identity = status.identity;
    if (!m_identity.known || !status.enterable)
        return fail(OpenResult::Unreadable);
    if (parent && checkParent) {
        const FolderIdentity actualParent = parentIdentityOf(fd);
        if (!actualParent.known)
            return fail(OpenResult::Unreadable);
        if (!(actualParent == *parent))
            return fail(OpenResult::NotTheExpectedFolder);
    }
    m_mountRoot = status.mountRoot;
    // A folder on its parent's device lies on the parent's file system, whose kind was
    // asked when the parent was opened.
    const bool onParentsFileSystem = parent && m_identity.device == parent->device;
    m_pseudoOrNetwork = !onParentsFileSystem && isPseudoOrNetworkFileSystem(fd);
#ifdef Q_OS_LINUX
    m_fd = fd;
    m_bufferFilled = 0;
    m_bufferRead = 0;
#else
    m_directory = ::fdopendir(fd);
    if (!m_directory)
        return fail(OpenResult::Unreadable);
    m_fd = fd;
#endif
    return OpenResult::Opened;
}

DirectoryReader::Handle DirectoryReader::keepOpen()
{
#ifdef Q_OS_LINUX
    // The descriptor was opened for this and is handed over as it is.
    Handle kept(m_fd);
    m_fd = -1;
    return kept;
#else
    Handle kept(m_fd >= 0 ? ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0) : -1);
    close();
    return kept;
#endif
}

DirectoryReader::Handle &DirectoryReader::Handle::operator=(Handle &&other) noexcept
{
    if (this != &other) {
        reset();
        m_descriptor = other.m_descriptor;
        other.m_descriptor = -1;
    }
    return *this;
}

void DirectoryReader::Handle::reset()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

bool DirectoryReader::next(Entry &entry)
{
    if (m_fd < 0)
        return false;
    for (;;) {
#ifdef Q_OS_LINUX
        if (m_bufferRead == m_bufferFilled) {
            // What readdir does, without a DIR stream, which would allocate a buffer for
            // every folder and check with two more calls a descriptor that this
            // reader opened itself.
            constexpr std::size_t kBufferBytes = 32768;
            if (!m_buffer)
                m_buffer.reset(new char[kBufferBytes]);
            const ssize_t filled = ::getdents64(m_fd, m_buffer.get(), kBufferBytes);
            if (filled <= 0) {
                // A folder removed while it is listed ends its listing with ENOENT, as
                // it ends for readdir: no error.
                m_failed = filled < 0 && errno != ENOENT;
                m_bufferFilled = m_bufferRead = 0;
                return false;
            }
            m_bufferFilled = std::size_t(filled);
            m_bufferRead = 0;
        }
        const auto *raw = reinterpret_cast<const dirent64 *>(m_buffer.get() + m_bufferRead);
        m_bufferRead += raw->d_reclen;
#else
        errno = 0;
        const dirent *raw = ::readdir(m_directory);
        if (!raw) {
            m_failed = errno != 0;
            return false;
        }
#endif
        const std::string_view name(raw->d_name);
        if (name == "." || name == "..")
            continue;
        entry.name = name;
        entry.kind = kindOf(raw->d_type, raw->d_name);
        return true;
    }
}

DirectoryReader::EntryKind DirectoryReader::kindOf(unsigned char type, const char *name) const
{
    if (type == DT_UNKNOWN) {
        // Some file systems leave the type out of the listing; ask for this entry alone.
        struct stat status;
        if (::fstatat(m_fd, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
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
    if (m_fd < 0)
        return false;
    const std::string linkName(name);
    struct stat status;
    return ::fstatat(m_fd, linkName.c_str(), &status, 0) == 0 && S_ISREG(status.st_mode);
}

void DirectoryReader::close()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0)
        ::close(m_fd);
#else
    if (m_directory)
        ::closedir(m_directory);
    m_directory = nullptr;
#endif
    m_fd = -1;
}

#else // Q_OS_UNIX

#include <QDirIterator>
#include <QFileInfo>

DirectoryReader::DirectoryReader() = default;

DirectoryReader::~DirectoryReader() = default;

std::size_t DirectoryReader::maximumPathLength()
{
    return 32767;
}

DirectoryReader::OpenResult DirectoryReader::open(const std::string &folderPath, const FolderIdentity *)
{
    close();
    m_folderPath = folderPath;
    m_failed = false;
    m_identity = {};
    const QString path = QString::fromStdString(folderPath);
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return OpenResult::NotTheExpectedFolder;
    if (!info.isDir())
        return OpenResult::Unreadable;
    m_iterator = std::make_unique<QDirIterator>(
        path, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    return OpenResult::Opened;
}

DirectoryReader::OpenResult DirectoryReader::openInside(const Handle &, const FolderIdentity &parent, std::string_view,
                                                        const std::string &folderPath)
{
    return open(folderPath, &parent);
}

DirectoryReader::Handle DirectoryReader::keepOpen()
{
    close();
    return {};
}

DirectoryReader::Handle &DirectoryReader::Handle::operator=(Handle &&other) noexcept
{
    m_descriptor = other.m_descriptor;
    other.m_descriptor = -1;
    return *this;
}

void DirectoryReader::Handle::reset()
{
    m_descriptor = -1;
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
