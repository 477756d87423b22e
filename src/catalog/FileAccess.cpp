#include "FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
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
    const QFileInfo info(path);
    m_target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
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

std::optional<CatalogFileError> ReplacingFile::begin()
{
    struct stat replaced;
    if (::stat(QFile::encodeName(m_target).constData(), &replaced) == 0 && S_ISREG(replaced.st_mode))
        m_replaced = replaced;
    const QFileInfo target(m_target);
    const QByteArray stem = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName());
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_newName = stem + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
        // A new file gets the usual 0666 less the umask; a replacing one the old mode below.
        m_descriptor = ::open(m_newName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
    const int closed = ::close(m_descriptor);
    const int closeError = errno;
    m_descriptor = -1;
    QIODevice::close();
    if (closed != 0 || ::rename(m_newName.constData(), QFile::encodeName(m_target).constData()) != 0) {
        const CatalogFileError error = FileAccess::errorFromErrno(closed != 0 ? closeError : errno);
        ::unlink(m_newName.constData());
        return error;
    }
    return std::nullopt;
}
