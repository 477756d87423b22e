#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Catalog;

struct CatalogReadStop {
    int line = 0;
    QString reason;
};

// The files of one unplugged drive that a load kept.
struct OfflineVolumeFiles {
    QString volumeFolder;
    int files = 0;
};

struct CatalogLoadReport {
    bool opened = false;
    // The files that are really gone: left out of the record list and kept aside in
    // the catalog's missing records.
    int missingFiles = 0;
    // Files not found that sit on drives that are not connected: kept in the record
    // list like any other, counted by drive in the order the file first names them.
    QList<OfflineVolumeFiles> offlineVolumes;
    // Paths the catalog format cannot hold (a double quote, a carriage return or a
    // line feed): such records are left out, as the scanner leaves such files out.
    QStringList unholdablePaths;
    // Records whose keywords held "/" or ">" (which break the record apart at the wrong
    // place), a double quote or a line break (which a file cannot store): read as spaces.
    int keywordsMended = 0;
    // Category names that held a "\", a double quote or a line break, read as spaces
    // (a quote as "'"): the file could not store them again.
    int categoryNamesMended = 0;
    // The path parts of categories the file does not place under a category it holds
    // (an unknown parent, a path of more than two steps): put at the top level, where
    // their files follow them.
    QStringList categoriesPutAtTopLevel;
    // Top-level categories named "Temporary" after the file's first one, which alone is
    // taken for the system category: their new names, under which they are saved.
    QStringList temporaryCategoriesRenamed;
    // Files filed under a category line without a name: put in a top-level category
    // named CategoryLines::kUnnamedCategoryName, one for each such line.
    int filesOfUnnamedCategories = 0;
    // Files whose index no category line holds but a loaded category has: filed under
    // no category (index 0) rather than under that one.
    int filesWithoutCategory = 0;
    // Set when the file could not be opened (opened false: not there, not readable,
    // not a regular file) or not read to its end; the catalog then holds what was read
    // before the stop.
    std::optional<CatalogReadStop> stop;
};

// Given a path as UTF-8, as the file system takes it; asked from two threads at once
// during a load.
using FileExistsCheck = std::function<bool(QByteArrayView utf8Path)>;

// Says of a file that was not found whether it sits on a drive that is not connected:
// the folder that drive is mounted on, or an empty string. Asked once per folder of
// files not found.
using OfflineVolumeCheck = std::function<QString(QByteArrayView utf8Path)>;

// Records hold full paths: a path that is not absolute names no file, whatever the
// current folder holds.
bool fileExistsOnDisk(QByteArrayView utf8Path);

// Loads a ".kvd" file into a catalog the caller has cleared: records of files that
// still exist, or that sit on a drive that is not connected, are appended; the others
// are kept aside in the catalog's missing records. Categories are rebuilt by name, and
// the records follow their categories to their new indexes. The catalog counts as
// saved afterwards.
CatalogLoadReport OpenFileList(const QString &path, Catalog &catalog, const FileExistsCheck &exists = fileExistsOnDisk,
                               const OfflineVolumeCheck &offlineVolumeOf = {});
CatalogLoadReport OpenFileList(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists = fileExistsOnDisk,
                               const OfflineVolumeCheck &offlineVolumeOf = {});
