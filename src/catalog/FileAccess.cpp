#include "FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace FileAccess {

CatalogFileError errorFromErrno(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return {kDiskFull, QStringLiteral("Disk full")};
    case EACCES:
    case EPERM:
    case EROFS:
        return {kPermissionDenied, QStringLiteral("Permission denied")};
    case ENOENT:
    case ENOTDIR:
        return {kPathNotFound, QStringLiteral("Path not found")};
    default:
        return accessError(QString::fromLocal8Bit(std::strerror(error)));
    }
}

CatalogFileError errorFromErrno(int error, const QString &path)
{
    if (error == ENOENT && QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return {kFileNotFound, QStringLiteral("File not found")};
    return errorFromErrno(error);
}

CatalogFileError accessError(const QString &detail)
{
    return {kPathFileAccessError, QStringLiteral("Path/File access error (%1)").arg(detail)};
}

namespace {

    QString kindOfNonFile(mode_t mode)
    {
        if (S_ISDIR(mode))
            return QStringLiteral("a folder is not a file");
        if (S_ISFIFO(mode))
            return QStringLiteral("a named pipe is not a file");
        if (S_ISSOCK(mode))
            return QStringLiteral("a socket is not a file");
        if (S_ISCHR(mode) || S_ISBLK(mode))
            return QStringLiteral("a device is not a file");
        return QStringLiteral("not a regular file");
    }

    // Opens without blocking (a named pipe would wait for a writer) and keeps the
    // descriptor only for a regular file.
    int openRegularFile(const QString &path, struct stat &status, std::optional<CatalogFileError> &error)
    {
        const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (descriptor < 0) {
            error = errorFromErrno(errno);
            return -1;
        }
        if (::fstat(descriptor, &status) != 0) {
            error = errorFromErrno(errno);
        } else if (!S_ISREG(status.st_mode)) {
            error = accessError(kindOfNonFile(status.st_mode));
        } else {
            return descriptor;
        }
        ::close(descriptor);
        return -1;
    }

    qint64 readSome(int descriptor, char *into, qint64 length)
    {
        qint64 got;
        do {
            got = ::read(descriptor, into, std::size_t(length));
        } while (got < 0 && errno == EINTR);
        return got;
    }

} // namespace

ReadResult readRegularFile(const QString &path, qint64 maxSize)
{
    ReadResult result;
    struct stat status;
    const int descriptor = openRegularFile(path, status, result.error);
    if (descriptor < 0)
        return result;
    result.opened = true;
    const qint64 size = status.st_size;
    if (size > maxSize) {
        ::close(descriptor);
        result.error = accessError(QStringLiteral("the file is larger than %1 MB").arg(maxSize >> 20));
        return result;
    }
    result.bytes.resize(size);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = readSome(descriptor, result.bytes.data() + done, size - done);
        if (got <= 0) {
            result.error = got < 0 ? errorFromErrno(errno) : accessError(QStringLiteral("the file became shorter while it was read"));
            break;
        }
        done += got;
    }
    result.bytes.truncate(done);
    char extra;
    if (!result.error && readSome(descriptor, &extra, 1) > 0)
        result.error = accessError(QStringLiteral("the file grew while it was read"));
    ::close(descriptor);
    return result;
}

void releaseReadBytes(const char *from, const char *to)
{
#ifdef Q_OS_LINUX
    static const auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = (std::uintptr_t(from) + page - 1) & ~(page - 1);
    const std::uintptr_t end = std::uintptr_t(to) & ~(page - 1);
    // Private anonymous memory, as a read buffer is: the pages come back as zeros if
    // touched again, so the allocation stays valid to free.
    if (end > start)
        ::madvise(reinterpret_cast<void *>(start), end - start, MADV_DONTNEED);
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
}

SaveTarget saveTarget(const QString &path)
{
    QByteArray current = QFile::encodeName(path);
    for (int links = 0;; ++links) {
        struct stat status;
        if (::lstat(current.constData(), &status) != 0) {
            if (links > 0 && errno == ENOENT)
                return {path, QStringLiteral("it is a link to a file that does not exist")};
            return {QFile::decodeName(current), std::nullopt}; // a new file, or the save's own error
        }
        if (S_ISREG(status.st_mode))
            return {QFile::decodeName(current), std::nullopt};
        if (!S_ISLNK(status.st_mode))
            return {path, kindOfNonFile(status.st_mode)};
        if (links == 40)
            return {path, QStringLiteral("it leads through too many links")};
        const qsizetype slash = current.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : current.left(slash);
        struct stat folderStatus;
        if (::stat(folder.constData(), &folderStatus) == 0 && (folderStatus.st_mode & S_ISVTX)
            && (folderStatus.st_mode & S_IWOTH) && status.st_uid != ::geteuid() && status.st_uid != folderStatus.st_uid)
            return {path, QStringLiteral("it is a link another user made in a folder every user can write to")};
        QByteArray link(4096, Qt::Uninitialized);
        const ssize_t length = ::readlink(current.constData(), link.data(), std::size_t(link.size()));
        if (length <= 0 || length == link.size())
            return {path, QStringLiteral("its link cannot be read")};
        link.truncate(length);
        current = link.startsWith('/') ? link : folder + '/' + link;
    }
}

std::optional<CatalogFileError> refusalToRead(const QString &path)
{
    struct stat status;
    std::optional<CatalogFileError> error;
    const int descriptor = openRegularFile(path, status, error);
    if (descriptor >= 0)
        ::close(descriptor);
    return error;
}

} // namespace FileAccess

ReplacingFile::ReplacingFile(const QString &path)
{
    // Saving through a link replaces the file it points to, not the link.
    FileAccess::SaveTarget target = FileAccess::saveTarget(path);
    m_target = target.path;
    m_refusal = std::move(target.refusal);
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

void ReplacingFile::discard()
{
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        m_descriptor = -1;
        ::unlink(m_newName.constData());
    }
    if (isOpen())
        QIODevice::close();
}

namespace {

// Saves beside the target write ".NAME.RANDOM.new" and hold it locked until it has
// its final name.
bool isLeftoverName(const char *name, const QByteArray &prefix)
{
    const QByteArrayView view(name);
    if (!view.startsWith(prefix) || !view.endsWith(".new") || view.size() <= prefix.size() + 4)
        return false;
    const QByteArrayView random = view.sliced(prefix.size(), view.size() - prefix.size() - 4);
    return std::all_of(random.begin(), random.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); });
}

} // namespace

void ReplacingFile::removeLeftovers(const QByteArray &folder, const QByteArray &prefix) const
{
    DIR *listing = ::opendir(folder.constData());
    if (!listing)
        return;
    while (const dirent *entry = ::readdir(listing)) {
        if (!isLeftoverName(entry->d_name, prefix))
            continue;
        const int leftover =
            ::openat(::dirfd(listing), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (leftover < 0)
            continue;
        struct stat status;
        // A save under way holds its lock; one that was killed let it go.
        if (::fstat(leftover, &status) == 0 && S_ISREG(status.st_mode) && ::flock(leftover, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
        ::close(leftover);
    }
    ::closedir(listing);
}

// The lock comes right after the file: should another save take it for a leftover
// in between and remove it, the name no longer leads to it, and another name is tried.
int ReplacingFile::createLocked(const QByteArray &name)
{
    // A new file gets the usual 0666 less the umask; a replacing one the old mode below.
    const int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return -1;
    struct stat opened;
    struct stat named;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && ::fstat(descriptor, &opened) == 0
        && ::stat(name.constData(), &named) == 0 && opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
        return descriptor;
    ::close(descriptor);
    errno = EEXIST;
    return -1;
}

std::optional<CatalogFileError> ReplacingFile::begin()
{
    if (m_refusal)
        return FileAccess::accessError(*m_refusal);
    struct stat replaced;
    if (::stat(QFile::encodeName(m_target).constData(), &replaced) == 0 && S_ISREG(replaced.st_mode))
        m_replaced = replaced;
    const QFileInfo target(m_target);
    const QByteArray prefix = QFile::encodeName(QStringLiteral(".") + target.fileName()) + '.';
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    removeLeftovers(folder, prefix);
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_newName = folder + '/' + prefix + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
        m_descriptor = createLocked(m_newName);
        if (m_descriptor >= 0)
            break;
        if (errno != EEXIST)
            return FileAccess::errorFromErrno(errno);
    }
    if (m_descriptor < 0)
        return FileAccess::errorFromErrno(EEXIST);
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return std::nullopt;
}

qint64 ReplacingFile::writeData(const char *data, qint64 length)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t written = ::write(m_descriptor, data + done, std::size_t(length - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_writeError = FileAccess::errorFromErrno(written < 0 ? errno : ENOSPC);
            setErrorString(m_writeError->description);
            return -1;
        }
        done += written;
    }
    return done;
}

std::optional<CatalogFileError> ReplacingFile::commit()
{
    if (m_descriptor < 0)
        return FileAccess::accessError(QStringLiteral("the file was not created"));
    if (m_writeError) {
        const CatalogFileError error = *m_writeError;
        discard();
        return error;
    }
    if (m_replaced) {
        // The owner first: changing it may clear the set-user-ID bits that the mode
        // then puts back. Only a privileged process may give a file to another user.
        // An ordinary user may still keep the group when they belong to it; failing
        // that, the new file is simply the saving user's.
        const bool ownerKept = ::fchown(m_descriptor, m_replaced->st_uid, m_replaced->st_gid) == 0
            || ::fchown(m_descriptor, uid_t(-1), m_replaced->st_gid) == 0;
        Q_UNUSED(ownerKept)
        ::fchmod(m_descriptor, m_replaced->st_mode & 07777);
    }
    // Some file systems report a full disk only when the data reach it.
    if (::fsync(m_descriptor) != 0 && errno != EINVAL && errno != EROFS) {
        const CatalogFileError error = FileAccess::errorFromErrno(errno);
        discard();
        return error;
    }
    // The lock stays with a copy of the descriptor until the file has its final name,
    // so that no other save takes it for a leftover meanwhile.
    const int lockHolder = ::dup(m_descriptor);
    const int closed = ::close(m_descriptor);
    const int closeError = errno;
    m_descriptor = -1;
    QIODevice::close();
    const bool renamed = closed == 0 && ::rename(m_newName.constData(), QFile::encodeName(m_target).constData()) == 0;
    const int renameError = errno;
    if (!renamed)
        ::unlink(m_newName.constData());
    if (lockHolder >= 0)
        ::close(lockHolder);
    if (!renamed)
        return FileAccess::errorFromErrno(closed != 0 ? closeError : renameError);
    return std::nullopt;
}
