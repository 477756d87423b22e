#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Catalog;

struct CatalogReadStop {
    int line = 0;
    QString reason;
};

struct CatalogLoadReport {
    bool opened = false;
    QStringList missingFiles;
    // Paths the catalog format cannot hold (a double quote, a carriage return or a
    // line feed): such records are left out, as the scanner leaves such files out.
    QStringList unholdablePaths;
    // Records whose keywords held "/" or ">": those break the record apart at the
    // wrong place, so they were read as spaces.
    int keywordsMended = 0;
    // Set when the file could not be read to its end; the catalog then holds what
    // was read before the stop.
    std::optional<CatalogReadStop> stop;
};

using FileExistsCheck = std::function<bool(const QString &path)>;

bool fileExistsOnDisk(const QString &path);

// Loads a ".kvd" file into a catalog the caller has cleared: records of files that
// still exist are appended, categories are rebuilt by name, and the records follow
// their categories to their new indexes. The catalog counts as saved afterwards.
CatalogLoadReport OpenFileList(const QString &path, Catalog &catalog, const FileExistsCheck &exists = fileExistsOnDisk);
CatalogLoadReport OpenFileList(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists = fileExistsOnDisk);
