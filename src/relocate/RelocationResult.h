#pragma once

#include <QString>

#include <optional>
#include <vector>

// What one search for moved files came to.
struct RelocationResult {
    // For each missing path, in the order they were given: where the file is now, or
    // nothing when it was not found or could not be told apart from another file.
    std::vector<std::optional<QString>> newPaths;
    // Entries of newPaths that hold a path. A path given twice counts twice.
    int foundCount = 0;
    // Entries left missing because more than one file could be theirs and picking one
    // would be a guess.
    int ambiguousCount = 0;
    // Cancelled before the end: a walk cut short cannot tell the best match or a tie,
    // so nothing counts as found.
    bool cancelled = false;

    // Files (and links) the walk met, wanted or not.
    int filesSeen = 0;
    int foldersVisited = 0;
    // Folders that could not be opened or read to the end; the walk went on without them.
    int unreadableFolderCount = 0;
};
