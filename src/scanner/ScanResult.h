#pragma once

#include "FoundFiles.h"
#include "ScanPasses.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <vector>

// What a scan is asked to do.
struct ScanRequest {
    QString startFolder;
    bool includeSubfolders = true;
    std::vector<ScanPass> passes;
};

// A snapshot for the progress window.
struct ScanProgress {
    int foldersVisited = 0;
    // Rows found so far; a file found by two passes counts twice.
    int filesFound = 0;
    // The folder about to be read; empty in the closing report.
    QString currentFolder;
};

struct ScanResult {
    // In finding order: pass by pass, and within a pass folder by folder.
    FoundFiles files;
    // Files a pass would have found but whose path a catalog cannot hold (a double
    // quote, a line break, a name that is not UTF-8, or a path longer than the system
    // can check). Counted once per file.
    int leftOutCount = 0;
    // The first few of them, decoded as well as possible, for telling the user.
    QStringList leftOutExamples;
    int foldersVisited = 0;
    // Folders that could not be opened or read to the end; the walk went on without them.
    int unreadableFolderCount = 0;
    // The first few of them.
    QStringList unreadableFolders;
    // Folders whose paths are longer than the system can open; nothing below them is found.
    int tooDeepFolderCount = 0;
    bool cancelled = false;
    // Every pass over a non-empty folder path counts as an edit of the catalog, even
    // when it finds nothing or the folder cannot be opened.
    bool marksCatalogChanged = false;
};

Q_DECLARE_METATYPE(ScanProgress)
