#pragma once

#include <QString>
#include <QStringList>

// The folders directly inside a folder, for the Import Files wizard's tree. Links to
// folders are left out: following them can lead round in a circle. Hidden folders are
// listed, as every other folder is.
namespace FolderListing {

// Their names, sorted as the tree shows them: alphabetically without regard to case.
// Empty when the folder cannot be opened or listed.
QStringList subfolderNames(const QString &folder);

// Whether the folder has at least one subfolder it lets us list; stops at the first.
bool hasSubfolder(const QString &folder);

// The full path of a folder inside another.
QString childPath(const QString &folder, const QString &name);

// The order of the tree's children: without regard to case, then by case.
bool sortsBefore(const QString &left, const QString &right);

} // namespace FolderListing
