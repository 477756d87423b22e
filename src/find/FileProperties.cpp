#include "FileProperties.h"

#include "CreatedText.h"
#include "DisplayText.h"
#include "FileAccess.h"

#include <QFileInfo>

#include <cerrno>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Why the file cannot be looked at, numbered as the catalog's own file errors are.
FileProperties failure(int error, const QString &path)
{
    const CatalogFileError mapped = FileAccess::errorFromErrno(error, path);
    FileProperties result;
    result.errorNumber = mapped.number;
    result.errorDescription = mapped.description;
    return result;
}

} // namespace

FileProperties ReadFileProperties(const QString &path, const std::function<QString(const QString &)> &typeOf)
{
    if (path.isEmpty())
        return failure(ENOENT, path);
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return failure(errno, path);
#endif
    const QFileInfo info(path);
    if (!info.exists())
        return failure(ENOENT, path);
    if (info.isDir())
        return failure(EISDIR, path);

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
