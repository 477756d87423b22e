#include "FileTypeCache.h"

#include "FileListRow.h"

const FileTypeCache::Entry &FileTypeCache::entry(const QString &extension)
{
    const auto found = m_types.constFind(extension);
    if (found != m_types.constEnd())
        return found.value();
    // A made-up name, not the first file's: its own name could match a whole-name
    // glob ("CMakeLists.txt") that must not speak for every file of the extension.
    const QMimeType type = extension.isEmpty()
        ? m_database.mimeTypeForName(QStringLiteral("application/octet-stream"))
        : m_database.mimeTypeForFile(QStringLiteral("file.") + extension, QMimeDatabase::MatchExtension);
    return m_types.insert(extension, Entry{type, type.comment()}).value();
}

QMimeType FileTypeCache::mimeTypeForExtension(const QString &extension)
{
    return entry(extension).type;
}

QString FileTypeCache::description(const QString &extension)
{
    return entry(extension).description;
}

QString FileTypeCache::descriptionForPath(const QString &path)
{
    return description(fileExtensionOf(path));
}
