#include "FileProperties.h"

#include "CreatedText.h"
#include "DisplayText.h"

#include <QFileInfo>

#include <cerrno>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// The system's own number and words for why the file cannot be looked at.
// TODO: the catalog's error numbers ("Path not found", "Permission denied", ...) in
// place of errno values, once src/catalog maps them.
FileProperties failure(int number)
{
    FileProperties result;
    result.errorNumber = number;
    result.errorDescription = qt_error_string(number);
    return result;
}

} // namespace

FileProperties ReadFileProperties(const QString &path, const std::function<QString(const QString &)> &typeOf)
{
    if (path.isEmpty())
        return failure(ENOENT);
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return failure(errno);
#endif
    const QFileInfo info(path);
    if (!info.exists())
        return failure(ENOENT);
    if (info.isDir())
        return failure(EISDIR);

    const QString fullPath = info.absoluteFilePath();
    FileProperties result;
    result.captions = {
        QStringLiteral("Date Created: ") + CreatedText(info.birthTime()),
        QStringLiteral("Name: ") + info.fileName(),
        QStringLiteral("Path: ") + fullPath,
        QStringLiteral("Type: ") + typeOf(fullPath),
        QStringLiteral("Date Last Modified: ") + GeneralDate(info.lastModified()),
        QStringLiteral("Date Last Accessed: ") + GeneralDate(info.lastRead()),
    };
    return result;
}
