#pragma once

#include <QString>
#include <QStringView>

#include <string_view>

// How a scanned file name splits into the parts a file-list row shows, and which
// paths a catalog file can hold.
namespace FileNameRules {

// The characters after the last "." of the name; empty when there is no "." or the
// name ends in one. ".profile" has the extension "profile".
QStringView extensionOf(QStringView fileName);
std::string_view extensionOf(std::string_view fileNameUtf8);

// The Name cell of a row the scanner adds: the name up to its last ".", in lower case.
QString rowName(QStringView fileName);
// The Extension cell: the extension in lower case.
QString rowExtension(QStringView fileName);

// A catalog file writes paths between double quotes without escapes and one record
// per line, so a quote or a line break in a path would corrupt it. Names whose bytes
// are not UTF-8 cannot be decoded without loss, and the decoded path would no longer
// open the file.
bool isStorableName(std::string_view nameBytes);

// The order in which the scanner takes the names of one folder, since Linux lists them
// in no useful order: ASCII letters compared without regard to case, everything else
// by its UTF-8 bytes; names equal but for case in byte order ("B" before "b").
bool listsBefore(std::string_view left, std::string_view right);

} // namespace FileNameRules
