#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The ".ext" extension-list file: a count line (" 3 "), then one extension per line,
// CR LF line ends; an empty list is an empty file. Written as UTF-8; read as UTF-8 or,
// when the bytes are not UTF-8, as Windows-1252 from older files. LF alone is accepted.
namespace ExtensionListFile {

struct ReadResult {
    QStringList extensions;
    // The count the file announced.
    int declaredCount = 0;
    // Empty when the file was read to the end of its list; otherwise what went wrong,
    // with `extensions` holding what was read before.
    QString error;
    bool ok() const { return error.isEmpty(); }
};

ReadResult parse(const QByteArray &bytes);
ReadResult read(const QString &path);

QByteArray format(const QStringList &extensions);
// Replaces the file only once the whole list is written, so a failure leaves any old
// file as it was. Returns what went wrong, or nothing.
std::optional<QString> write(const QString &path, const QStringList &extensions);

} // namespace ExtensionListFile
