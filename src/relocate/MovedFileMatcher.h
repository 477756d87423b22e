#pragma once

#include "FoldedNameIndex.h"
#include "RelocationResult.h"
#include "TrailingFolderAssignment.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Finds missing files again among the files of one walk.
//
// A missing file matches a found file of the same name; a name that differs only in
// case counts only when it is the one file of that name the walk found. Among several
// files, TrailingFolderAssignment settles which record gets which by the folders their
// paths end in; a tie leaves the record missing and counts it as ambiguous. Records of
// one exact name are settled before those that would take a file of another case.
//
// The same path given more than once (a file filed under two categories) is one file
// to find: it is matched once, and each of its entries gets the same new path (and
// counts as found, or ambiguous, once per entry).
//
// The names are indexed once, on first use, so that a list of a million paths is
// handed over cheaply and indexed on the thread that walks. One instance serves one
// walk on one thread.
class MovedFileMatcher
{
public:
    // Full paths, UTF-8, as the catalog holds them.
    explicit MovedFileMatcher(std::vector<QByteArray> missingPathsUtf8);
    explicit MovedFileMatcher(const QStringList &missingPaths);

    std::size_t missingCount() const;

    // Whether a file of this name could be one of the missing files. Costs a hash
    // lookup; only a name with capital or non-ASCII letters is first copied, into a
    // buffer kept for the purpose.
    bool isWanted(std::string_view nameUtf8);
    // A file the walk found whose name isWanted: its folder (UTF-8, "/" between the
    // steps) and name. Files of one folder are best given one after another.
    void addFoundFile(std::string_view folderUtf8, std::string_view nameUtf8);

    // Matches every missing file against the files found so far.
    RelocationResult finish();
    // The answer after a walk cut short: nothing found, as many entries as paths.
    RelocationResult cancelledResult() const;

private:
    // One per path given, in their order.
    struct Missing {
        // -1 for a path without a name.
        int group = -1;
        // Where the name starts in the path; the folder ends one before.
        std::uint32_t nameStart = 0;
    };
    struct Found {
        int group = 0;
        int folder = 0;
        std::size_t nameStart = 0;
        std::size_t nameSize = 0;
    };
    struct FoundFolder {
        std::size_t start = 0;
        std::size_t size = 0;
    };
    // What one missing file came to.
    struct Settled {
        int found = -1;
        bool ambiguous = false;
    };

    void buildIndex();
    std::string_view missingPath(int missing) const;
    std::string_view missingFolder(int missing) const;
    std::string_view missingName(int missing) const;
    void settleGroup(std::vector<int> &missing, const std::vector<int> &found);
    void settleCases(const std::vector<int> &missing, const std::vector<int> &found);
    void settle(const std::vector<int> &missing, const std::vector<int> &found, std::vector<char> &foundOpen);
    std::string_view foundFolder(const Found &file) const;
    std::string_view foundName(const Found &file) const;
    QString newPathOf(const Found &file) const;

    bool m_indexed = false;
    QStringList m_pendingPaths;
    std::vector<QByteArray> m_missingPaths;
    std::vector<Missing> m_missing;
    // The missing files' names, numbered: the groups the matching works in.
    FoldedNameIndex m_names;

    // Everything the walk reported, in one buffer: folders, then the names in them.
    std::string m_foundText;
    std::vector<FoundFolder> m_foundFolders;
    std::vector<Found> m_found;

    // Per missing path; a path given again is settled with its first entry.
    std::vector<Settled> m_settled;
    std::vector<char> m_foundOpen;
    TrailingFolderAssignment m_assignment;
    std::vector<std::string_view> m_recordFolders;
    std::vector<std::string_view> m_fileFolders;
    std::vector<char> m_fileOpen;
    std::vector<TrailingFolderAssignment::Outcome> m_outcomes;
};
