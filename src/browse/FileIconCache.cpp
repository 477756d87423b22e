#include "FileIconCache.h"

#include "FileListRow.h"
#include "FileTypeCache.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeType>

namespace {

const QString kProgramExtension = QStringLiteral("exe");

QIcon genericFileIcon()
{
    static const QIcon icon = QFileIconProvider().icon(QAbstractFileIconProvider::File);
    return icon;
}

} // namespace

FileIconCache::FileIconCache(FileTypeCache &types)
    : m_source([&types](const QString &path) {
        const QMimeType type = types.mimeTypeForExtension(fileExtensionOf(path));
        QIcon icon = QIcon::fromTheme(type.iconName());
        if (icon.isNull())
            icon = QIcon::fromTheme(type.genericIconName());
        return icon.isNull() ? genericFileIcon() : icon;
    })
{
}

FileIconCache::FileIconCache(IconSource source)
    : m_source(std::move(source))
{
}

std::optional<int> FileIconCache::GetFileIconIndex(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return std::nullopt;
    return iconIndexForExistingFile(path);
}

int FileIconCache::iconIndexForExistingFile(const QString &path)
{
    if (const int cached = FindExtensionIcon(path))
        return cached;
    const QString extension = fileExtensionOf(path);
    m_entries.push_back(Entry{m_source ? m_source(path) : QIcon(), extension});
    const int position = count();
    const QString key = extension.toLower();
    if (key != kProgramExtension)
        m_positionByExtension.insert(key, position);
    return position;
}

int FileIconCache::FindExtensionIcon(const QString &path) const
{
    const QString key = fileExtensionOf(path).toLower();
    if (key == kProgramExtension)
        return 0;
    return m_positionByExtension.value(key, 0);
}

QIcon FileIconCache::icon(int position) const
{
    if (position < 1 || position > count())
        return {};
    return m_entries[std::size_t(position - 1)].icon;
}

QString FileIconCache::tag(int position) const
{
    if (position < 1 || position > count())
        return {};
    return m_entries[std::size_t(position - 1)].tag;
}
