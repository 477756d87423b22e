#include "FolderListing.h"

#include <QDir>
#include <QDirIterator>

#include <algorithm>

namespace FolderListing {

namespace {

constexpr QDir::Filters kSubfolders
    = QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System | QDir::NoSymLinks;

} // namespace

QStringList subfolderNames(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, kSubfolders);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    std::sort(names.begin(), names.end(), sortsBefore);
    return names;
}

bool hasSubfolder(const QString &folder)
{
    return QDirIterator(folder, kSubfolders).hasNext();
}

QString childPath(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name);
}

bool sortsBefore(const QString &left, const QString &right)
{
    const int ignoringCase = left.compare(right, Qt::CaseInsensitive);
    return ignoringCase != 0 ? ignoringCase < 0 : left < right;
}

} // namespace FolderListing
