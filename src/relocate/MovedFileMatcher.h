#pragma once

#include "RelocationResult.h"
#include "TrailingFolderAssignment.h"

#include <QByteArray>
#include <QStringList>

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
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
// to find: it is matched once, and each of its entries gets the same new path.
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
    // lookup, and a copy only for a name with capital or non-ASCII letters.
    bool isWanted(std::string_view nameUtf8);
    // A file the walk found whose name isWanted: its folder (UTF-8, "/" between the
    // steps) and name. Files of one folder are best given one after another.
    void addFoundFile(std::string_view folderUtf8, std::string_view nameUtf8);

    // Matches every missing file against the files found so far.
    RelocationResult finish();
    // The answer after a walk cut short: nothing found, as many entries as paths.
    RelocationResult cancelledResult() const;

private:
    struct Missing {
        std::string_view folder;
        std::string_view name;
        int group = -1;
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
    // The name as the index keys it: case folded. A view into the name itself when
    // folding changes nothing.
    std::string_view foldedName(std::string_view name);
    int groupOf(std::string_view name);
    void settleGroup(const std::vector<int> &missing, const std::vector<int> &found);
    void settle(const std::vector<int> &missing, const std::vector<int> &found, std::vector<char> &foundOpen);
    std::string_view foundFolder(const Found &file) const;
    std::string_view foundName(const Found &file) const;
    QString newPathOf(const Found &file) const;

    bool m_indexed = false;
    QStringList m_pendingPaths;
    std::vector<QByteArray> m_missingPaths;
    // Per entry of m_missingPaths, into m_missing (one per distinct path).
    std::vector<int> m_distinctOf;
    std::vector<Missing> m_missing;
    // Folded name -> group; the keys view m_missingPaths or m_foldedNames.
    std::unordered_map<std::string_view, int> m_groupOfName;
    std::deque<std::string> m_foldedNames;
    int m_groupCount = 0;
    std::string m_foldBuffer;

    // Everything the walk reported, in one buffer: folders, then the names in them.
    std::string m_foundText;
    std::vector<FoundFolder> m_foundFolders;
    std::vector<Found> m_found;

    std::vector<Settled> m_settled;
    std::vector<char> m_foundOpen;
    TrailingFolderAssignment m_assignment;
    std::vector<std::string_view> m_recordFolders;
    std::vector<std::string_view> m_fileFolders;
    std::vector<char> m_fileOpen;
    std::vector<TrailingFolderAssignment::Outcome> m_outcomes;
};
