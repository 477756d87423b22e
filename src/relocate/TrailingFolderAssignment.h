#pragma once

#include <QtGlobal>

#include <string_view>
#include <unordered_map>
#include <vector>

// Pairs missing files with found files of one name by the folders their paths end in:
// a record and a file that share a longer run of trailing folder names belong together
// more surely than a pair that shares a shorter one.
//
// Runs are settled from the longest down. At each length, the records and files still
// open are grouped by the run they end in; a group of exactly one record and one file
// is a match. A group holding more than one record or more than one file (both sides
// non-empty) is a tie: nobody in it is given anything, its records count as ambiguous,
// and its files are withheld from records that share fewer folders with them, since
// those would be a worse guess still. Every record and file is in one group per
// length, so the outcome does not depend on the order the paths come in, and each
// file goes to one record at most. A record that shares no folder at all with any file
// still gets the one open file left for it, if there is exactly one.
//
// Cost: linear in the paths' folder counts; one group of a thousand namesakes (a
// "cover.jpg" in every album) costs what a thousand separate names would.
class TrailingFolderAssignment
{
public:
    struct Outcome {
        // Into the files given; -1 when the record got none.
        int file = -1;
        bool ambiguous = false;
    };

    // Folders are UTF-8 paths with "/" between the steps (a trailing one is ignored).
    // fileOpen has one entry per file: files already closed are not handed out, and
    // every file given away or withheld is closed on return.
    void assign(const std::vector<std::string_view> &recordFolders, const std::vector<std::string_view> &fileFolders,
                std::vector<char> &fileOpen, std::vector<Outcome> &outcomes);

    static bool isSeparator(char c)
    {
#ifdef Q_OS_WIN
        return c == '/' || c == '\\';
#else
        return c == '/';
#endif
    }

    // How many folder names two folder paths share at their ends.
    static int sharedTrailingFolders(std::string_view left, std::string_view right);

private:
    struct Group {
        std::vector<int> records;
        std::vector<int> files;
    };

    void assignOneRecord(const std::vector<std::string_view> &fileFolders, std::string_view recordFolder,
                         std::vector<char> &fileOpen, Outcome &outcome);
    void noteSteps(std::string_view folder);
    std::string_view trailingRun(int item, int length) const;

    // The start of each folder name of every path, path after path.
    std::vector<std::size_t> m_stepStarts;
    std::vector<std::size_t> m_firstStep;
    std::vector<int> m_stepCount;
    std::vector<std::string_view> m_folders;
    std::unordered_map<std::string_view, int> m_groupOfRun;
    std::vector<Group> m_groups;
    std::vector<int> m_scores;
};
