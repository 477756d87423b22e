#include "FileListRow.h"

#include <algorithm>

namespace {

qsizetype fileNameStart(const QString &path)
{
    qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    slash = std::max(slash, path.lastIndexOf(QLatin1Char('\\')));
#endif
    return slash + 1;
}

} // namespace

QStringView fileNameOf(const QString &path)
{
    return QStringView(path).mid(fileNameStart(path));
}

FileNameParts splitFileName(QStringView fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {fileName, {}};
    return {fileName.left(dot), fileName.mid(dot + 1)};
}

QString fileExtensionOf(const QString &path)
{
    return splitFileName(fileNameOf(path)).extension.toString();
}
