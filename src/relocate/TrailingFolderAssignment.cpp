#include "TrailingFolderAssignment.h"

#include <algorithm>

int TrailingFolderAssignment::sharedTrailingFolders(std::string_view left, std::string_view right)
{
    int shared = 0;
    std::size_t leftEnd = left.size();
    std::size_t rightEnd = right.size();
    for (;;) {
        while (leftEnd > 0 && isSeparator(left[leftEnd - 1]))
            --leftEnd;
        while (rightEnd > 0 && isSeparator(right[rightEnd - 1]))
            --rightEnd;
        if (leftEnd == 0 || rightEnd == 0)
            return shared;
        std::size_t leftStart = leftEnd;
        while (leftStart > 0 && !isSeparator(left[leftStart - 1]))
            --leftStart;
        std::size_t rightStart = rightEnd;
        while (rightStart > 0 && !isSeparator(right[rightStart - 1]))
            --rightStart;
        if (left.substr(leftStart, leftEnd - leftStart) != right.substr(rightStart, rightEnd - rightStart))
            return shared;
        ++shared;
        leftEnd = leftStart;
        rightEnd = rightStart;
    }
}

void TrailingFolderAssignment::assign(const std::vector<std::string_view> &recordFolders,
                                      const std::vector<std::string_view> &fileFolders, std::vector<char> &fileOpen,
                                      std::vector<Outcome> &outcomes)
{
    outcomes.assign(recordFolders.size(), Outcome());
    int openFiles = int(std::count(fileOpen.begin(), fileOpen.end(), char(1)));
    if (recordFolders.empty() || openFiles == 0)
        return;
    if (recordFolders.size() == 1) {
        assignOneRecord(fileFolders, recordFolders.front(), fileOpen, outcomes.front());
        return;
    }

    // Records are items 0..R-1, files R..R+F-1.
    const int recordCount = int(recordFolders.size());
    m_stepStarts.clear();
    m_firstStep.clear();
    m_stepCount.clear();
    m_folders.clear();
    int longestRecord = 0;
    for (const std::string_view folder : recordFolders) {
        noteSteps(folder);
        longestRecord = std::max(longestRecord, m_stepCount.back());
    }
    int longestFile = 0;
    for (const std::string_view folder : fileFolders) {
        noteSteps(folder);
        longestFile = std::max(longestFile, m_stepCount.back());
    }

    std::vector<char> recordOpen(recordFolders.size(), 1);
    int openRecords = recordCount;
    for (int length = std::min(longestRecord, longestFile); length >= 0 && openRecords > 0 && openFiles > 0; --length) {
        m_groupOfRun.clear();
        std::size_t groupCount = 0;
        const auto place = [&](int item, bool isRecord, int index) {
            if (m_stepCount[std::size_t(item)] < length)
                return;
            const auto placed = m_groupOfRun.try_emplace(trailingRun(item, length), int(groupCount));
            if (placed.second) {
                if (m_groups.size() == groupCount)
                    m_groups.emplace_back();
                m_groups[groupCount].records.clear();
                m_groups[groupCount].files.clear();
                ++groupCount;
            }
            Group &group = m_groups[std::size_t(placed.first->second)];
            (isRecord ? group.records : group.files).push_back(index);
        };
        for (int r = 0; r < recordCount; ++r) {
            if (recordOpen[std::size_t(r)])
                place(r, true, r);
        }
        for (int f = 0; f < int(fileFolders.size()); ++f) {
            if (fileOpen[std::size_t(f)])
                place(recordCount + f, false, f);
        }
        for (std::size_t g = 0; g < groupCount; ++g) {
            const Group &group = m_groups[g];
            if (group.records.empty() || group.files.empty())
                continue;
            const bool match = group.records.size() == 1 && group.files.size() == 1;
            for (const int r : group.records) {
                recordOpen[std::size_t(r)] = 0;
                --openRecords;
                if (match)
                    outcomes[std::size_t(r)].file = group.files.front();
                else
                    outcomes[std::size_t(r)].ambiguous = true;
            }
            for (const int f : group.files) {
                fileOpen[std::size_t(f)] = 0;
                --openFiles;
            }
        }
    }
}

void TrailingFolderAssignment::assignOneRecord(const std::vector<std::string_view> &fileFolders,
                                               std::string_view recordFolder, std::vector<char> &fileOpen,
                                               Outcome &outcome)
{
    m_scores.assign(fileFolders.size(), -1);
    int best = -1;
    int bestCount = 0;
    for (std::size_t f = 0; f < fileFolders.size(); ++f) {
        if (!fileOpen[f])
            continue;
        const int score = sharedTrailingFolders(recordFolder, fileFolders[f]);
        m_scores[f] = score;
        if (score > best) {
            best = score;
            bestCount = 0;
        }
        if (score == best) {
            ++bestCount;
            outcome.file = int(f);
        }
    }
    if (bestCount > 1) {
        outcome.file = -1;
        outcome.ambiguous = true;
    }
    // The files the record settled on, given or withheld, as the general case does.
    for (std::size_t f = 0; f < fileFolders.size(); ++f) {
        if (m_scores[f] == best)
            fileOpen[f] = 0;
    }
}

void TrailingFolderAssignment::noteSteps(std::string_view folder)
{
    while (!folder.empty() && isSeparator(folder.back()))
        folder.remove_suffix(1);
    m_firstStep.push_back(m_stepStarts.size());
    m_folders.push_back(folder);
    int steps = 0;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (!isSeparator(folder[i]) && (i == 0 || isSeparator(folder[i - 1]))) {
            m_stepStarts.push_back(i);
            ++steps;
        }
    }
    m_stepCount.push_back(steps);
}

std::string_view TrailingFolderAssignment::trailingRun(int item, int length) const
{
    if (length == 0)
        return {};
    const std::size_t steps = std::size_t(m_stepCount[std::size_t(item)]);
    const std::size_t start = m_stepStarts[m_firstStep[std::size_t(item)] + steps - std::size_t(length)];
    return m_folders[std::size_t(item)].substr(start);
}
