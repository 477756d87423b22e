#pragma once

#include <QString>
#include <QtGlobal>

// The file list's columns, in their order on screen.
enum FileListColumn : int {
    NameColumn,
    ExtensionColumn,
    TypeColumn,
    LastModifiedColumn,
    KeywordsColumn,
    FileListColumnCount
};

// One row of the file list with its texts made, as the list hands it out. The path is
// the row's tag: rows are matched to records by it everywhere. Name, extension and
// keywords come from the record alone; the details that need the disk (type, date,
// icon) are read once, when first needed, so that listing a large category never
// touches the disk.
struct FileListRow {
    // Dated: the time is known, type and icon are still to be read. Offline: the file
    // is on a drive that is not connected; nothing of it can be read until it is back.
    enum class Details : quint8 { NotRead, Read, Unreadable, Dated, Offline };

    QString path;
    QString name;
    QString extension; // lower case, no dot
    QString keywords;

    QString type; // the type description, shared with every row of the extension
    qint64 modifiedMSecs = 0; // since the epoch, valid when details is Read or Dated
    int iconIndex = 0; // position in the icon cache, 0 for none
    Details details = Details::NotRead;
};

// The text after the last path separator.
QStringView fileNameOf(const QString &path);
// The text after the last "." of the file name, case kept; empty when there is none.
// A name without a "." has no extension, whatever dots the folders above it carry.
QString fileExtensionOf(const QString &path);

// A file name split at its last ".": the name without its extension and the
// extension as written, empty when there is no ".".
struct FileNameParts {
    QStringView base;
    QStringView extension;
};
FileNameParts splitFileName(QStringView fileName);
