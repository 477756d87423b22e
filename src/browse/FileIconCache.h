#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class FileTypeCache;

// The small-icon image list of the file list. Entries are numbered from 1 and only
// ever added; each is tagged with the extension of the file it was made for, case
// as the file system reports it. Lookup ignores case, so photo.JPG and other.jpg
// share the entry of whichever came first. Program files ("exe") are never looked
// up: each one gets an entry of its own, since programs carry their own icons.
class FileIconCache
{
public:
    // Makes the icon for a file; tests put a counting fake here.
    using IconSource = std::function<QIcon(const QString &path)>;

    // Icons from the desktop theme by MIME type, with a generic file icon when the
    // theme has none. The type cache must outlive this one.
    explicit FileIconCache(FileTypeCache &types);
    explicit FileIconCache(IconSource source);

    // The position of the icon to show for the file, or nothing when the file is
    // not there; a missing file leaves the cache untouched.
    std::optional<int> GetFileIconIndex(const QString &path);
    // The same for a file the caller has just found on disk: no second look.
    int iconIndexForExistingFile(const QString &path);
    // The cached position for the path's extension, or 0.
    int FindExtensionIcon(const QString &path) const;

    int count() const { return int(m_entries.size()); }
    QIcon icon(int position) const; // null for 0 or out of range
    QString tag(int position) const;

private:
    struct Entry {
        QIcon icon;
        QString tag;
    };

    IconSource m_source;
    std::vector<Entry> m_entries;
    QHash<QString, int> m_positionByExtension; // lower-case extension -> last position
};
