#pragma once

#include <QHash>
#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

// Type descriptions ("JPEG image") decided by extension alone and remembered per
// extension: asking the MIME database costs a glob match, and a list of 100,000 rows
// holds a handful of extensions. The program keeps one of these, so there is one
// database for everybody. Extensions are keys as the file system reports them, since
// a few globs are case-sensitive ("*.C" is C++, "*.c" is C).
class FileTypeCache
{
public:
    QMimeType mimeTypeForExtension(const QString &extension);
    QString description(const QString &extension);
    // The description for a file, by its extension.
    QString descriptionForPath(const QString &path);

    int size() const { return int(m_types.size()); }

private:
    struct Entry {
        QMimeType type;
        QString description; // comment() looks up the locale on every call
    };
    const Entry &entry(const QString &extension);

    QMimeDatabase m_database;
    QHash<QString, Entry> m_types;
};
