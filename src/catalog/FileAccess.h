#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>
#include <sys/stat.h>

// A failure of the file system, with the number and description the catalog's error
// messages have always shown ("61 - Disk full").
struct CatalogFileError {
    int number = 0;
    QString description;

    QString text() const { return QString::number(number) + QStringLiteral(" - ") + description; }
    bool operator==(const CatalogFileError &other) const
    {
        return number == other.number && description == other.description;
    }
};

namespace FileAccess {

constexpr int kFileNotFound = 53;
constexpr int kDiskFull = 61;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccessError = 75;
constexpr int kPathNotFound = 76;

// The message for a system error number (errno): a full disk, a refused permission and
// a missing folder by their own numbers, anything else as an access error that carries
// the system's own description.
CatalogFileError errorFromErrno(int error);
// The same for a failure on one file: a file missing from a folder that exists is "File
// not found", a missing folder on its way "Path not found".
CatalogFileError errorFromErrno(int error, const QString &path);
// An access error that is no system error, such as a file that changed while read.
CatalogFileError accessError(const QString &detail);

struct ReadResult {
    // False when the file could not be opened or is not a regular file.
    bool opened = false;
    // What was read; when reading stopped part-way, the part before the stop.
    QByteArray bytes;
    std::optional<CatalogFileError> error;
};

// Reads a regular file whole, with plain reads bounded by the size it had when opened.
// Anything else (a folder, a named pipe, a device, a socket) is refused before a byte
// is read, so that no read can block or run without end. A file larger than maxSize is
// refused; one whose length changes while it is read gives an error, never a crash.
ReadResult readRegularFile(const QString &path, qint64 maxSize);
// Gives the memory of read bytes that are done with back to the system; reading
// them afterwards gives zeros. Only whole pages inside the range go.
void releaseReadBytes(const char *from, const char *to);
// Why readRegularFile could not even start on the file, or nothing. Never blocks.
std::optional<CatalogFileError> refusalToRead(const QString &path);

// Where a save to a path writes: the path itself, or the regular file its symbolic
// links lead to. Anything else is refused: a named pipe, a device or a folder would
// be replaced by a regular file; a link whose target does not exist could create a
// file anywhere; and in a folder every user may write to (with the sticky bit, as
// /tmp), a link another user made is not followed, as the kernel's protected links
// do, for it could lead to a file of the user's own.
struct SaveTarget {
    QString path;
    std::optional<QString> refusal; // why nothing is written, in a few words
};
SaveTarget saveTarget(const QString &path);

} // namespace FileAccess

// Writes a new file beside the target and puts it in the target's place only once it
// is complete, so that a failure at any point leaves the old file as it was. The new
// file keeps the permissions of the file it replaces, and its owner where the process
// may set it. Writes go straight to the system (open it unbuffered), so that every
// failure is known with its system error.
class ReplacingFile : public QIODevice
{
public:
    explicit ReplacingFile(const QString &path);
    ~ReplacingFile() override;

    // Creates the new file; on failure the device stays closed.
    std::optional<CatalogFileError> begin();
    // Makes the written data durable and renames the new file over the target.
    std::optional<CatalogFileError> commit();
    // The failure of the last write, if one failed.
    const std::optional<CatalogFileError> &writeError() const { return m_writeError; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override;

private:
    void discard();
    // Takes away the new files of earlier saves of this file that were killed before
    // they finished: those no writer holds locked any more.
    void removeLeftovers(const QByteArray &folder, const QByteArray &prefix) const;
    int createLocked(const QByteArray &name);

    QString m_target;
    std::optional<QString> m_refusal;
    QByteArray m_newName;
    int m_descriptor = -1;
    std::optional<struct stat> m_replaced;
    std::optional<CatalogFileError> m_writeError;
};
