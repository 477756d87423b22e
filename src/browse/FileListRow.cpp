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

QString fileExtensionOf(const QString &path)
{
    const QStringView name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    return name.mid(dot + 1).toString();
}

FileListRow makeFileListRow(const QString &path, const QString &keywords)
{
    FileListRow row;
    const QStringView name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        row.name = name.toString();
    } else {
        row.name = name.left(dot).toString();
        row.extension = name.mid(dot + 1).toString().toLower();
    }
    row.path = path;
    row.keywords = keywords;
    return row;
}
