#include "MovedFileMatcher.h"

#include <QDir>

#include <algorithm>
#include <numeric>

namespace {

std::string_view viewOf(const QByteArray &bytes)
{
    return {bytes.constData(), std::size_t(bytes.size())};
}

std::size_t lastSeparator(std::string_view path)
{
    for (std::size_t i = path.size(); i > 0; --i) {
        if (TrailingFolderAssignment::isSeparator(path[i - 1]))
            return i - 1;
    }
    return std::string_view::npos;
}

} // namespace

MovedFileMatcher::MovedFileMatcher(std::vector<QByteArray> missingPathsUtf8)
    : m_missingPaths(std::move(missingPathsUtf8))
{
}

MovedFileMatcher::MovedFileMatcher(const QStringList &missingPaths)
    : m_pendingPaths(missingPaths)
{
}

std::size_t MovedFileMatcher::missingCount() const
{
    return m_indexed ? m_missingPaths.size() : m_missingPaths.size() + std::size_t(m_pendingPaths.size());
}

void MovedFileMatcher::buildIndex()
{
    if (m_indexed)
        return;
    m_indexed = true;
    m_missingPaths.reserve(m_missingPaths.size() + std::size_t(m_pendingPaths.size()));
    for (const QString &path : std::as_const(m_pendingPaths))
        m_missingPaths.push_back(path.toUtf8());
    m_pendingPaths = {};

    m_missing.reserve(m_missingPaths.size());
    m_names.reserve(m_missingPaths.size());
    for (const QByteArray &pathBytes : m_missingPaths) {
        const std::string_view path = viewOf(pathBytes);
        const std::size_t separator = lastSeparator(path);
        Missing missing;
        missing.nameStart = separator == std::string_view::npos ? 0 : std::uint32_t(separator + 1);
        if (missing.nameStart < path.size())
            missing.group = m_names.add(path.substr(missing.nameStart));
        m_missing.push_back(missing);
    }
}

std::string_view MovedFileMatcher::missingPath(int missing) const
{
    return viewOf(m_missingPaths[std::size_t(missing)]);
}

std::string_view MovedFileMatcher::missingFolder(int missing) const
{
    const std::uint32_t nameStart = m_missing[std::size_t(missing)].nameStart;
    return nameStart == 0 ? std::string_view() : missingPath(missing).substr(0, nameStart - 1);
}

std::string_view MovedFileMatcher::missingName(int missing) const
{
    return missingPath(missing).substr(m_missing[std::size_t(missing)].nameStart);
}

bool MovedFileMatcher::isWanted(std::string_view nameUtf8)
{
    buildIndex();
    return m_names.find(nameUtf8) >= 0;
}

void MovedFileMatcher::addFoundFile(std::string_view folderUtf8, std::string_view nameUtf8)
{
    buildIndex();
    const int group = m_names.find(nameUtf8);
    if (group < 0)
        return;
    const bool sameFolder = !m_foundFolders.empty()
        && std::string_view(m_foundText).substr(m_foundFolders.back().start, m_foundFolders.back().size) == folderUtf8;
    if (!sameFolder) {
        m_foundFolders.push_back({m_foundText.size(), folderUtf8.size()});
        m_foundText += folderUtf8;
    }
    m_found.push_back({group, int(m_foundFolders.size()) - 1, m_foundText.size(), nameUtf8.size()});
    m_foundText += nameUtf8;
}

RelocationResult MovedFileMatcher::cancelledResult() const
{
    RelocationResult result;
    result.newPaths.resize(missingCount());
    result.cancelled = true;
    return result;
}

RelocationResult MovedFileMatcher::finish()
{
    buildIndex();
    m_settled.assign(m_missing.size(), Settled());
    m_foundOpen.assign(m_found.size(), 1);

    // Missing and found files side by side, group by group.
    const std::size_t groups = std::size_t(m_names.size());
    std::vector<int> missingStart(groups + 1, 0);
    std::vector<int> foundStart(groups + 1, 0);
    for (const Found &found : m_found)
        ++foundStart[std::size_t(found.group) + 1];
    // Only the names the walk found need their missing files sorted out.
    for (const Missing &missing : m_missing) {
        if (missing.group >= 0 && foundStart[std::size_t(missing.group) + 1] > 0)
            ++missingStart[std::size_t(missing.group) + 1];
    }
    std::partial_sum(missingStart.begin(), missingStart.end(), missingStart.begin());
    std::partial_sum(foundStart.begin(), foundStart.end(), foundStart.begin());
    std::vector<int> missingByGroup(std::size_t(missingStart.back()));
    std::vector<int> foundByGroup(m_found.size());
    {
        std::vector<int> next(missingStart.begin(), missingStart.end() - 1);
        for (int i = 0; i < int(m_missing.size()); ++i) {
            const int group = m_missing[std::size_t(i)].group;
            if (group >= 0 && foundStart[std::size_t(group)] < foundStart[std::size_t(group) + 1])
                missingByGroup[std::size_t(next[std::size_t(group)]++)] = i;
        }
        next.assign(foundStart.begin(), foundStart.end() - 1);
        for (int i = 0; i < int(m_found.size()); ++i)
            foundByGroup[std::size_t(next[std::size_t(m_found[std::size_t(i)].group)]++)] = i;
    }
    std::vector<int> missing;
    std::vector<int> found;
    for (std::size_t g = 0; g < groups; ++g) {
        if (foundStart[g] == foundStart[g + 1])
            continue;
        missing.assign(missingByGroup.begin() + missingStart[g], missingByGroup.begin() + missingStart[g + 1]);
        found.assign(foundByGroup.begin() + foundStart[g], foundByGroup.begin() + foundStart[g + 1]);
        settleGroup(missing, found);
    }

    RelocationResult result;
    result.newPaths.resize(m_missingPaths.size());
    // A file found for a path given twice is one string for both entries.
    std::vector<QString> pathOfFound(m_found.size());
    for (std::size_t i = 0; i < m_missingPaths.size(); ++i) {
        const Settled &settled = m_settled[i];
        if (settled.found >= 0) {
            QString &path = pathOfFound[std::size_t(settled.found)];
            if (path.isNull())
                path = newPathOf(m_found[std::size_t(settled.found)]);
            result.newPaths[i] = path;
            ++result.foundCount;
        } else if (settled.ambiguous) {
            ++result.ambiguousCount;
        }
    }
    return result;
}

void MovedFileMatcher::settleGroup(std::vector<int> &missing, const std::vector<int> &found)
{
    // One file of the name, one record: whatever its case, it is the one candidate.
    if (missing.size() == 1 && found.size() == 1) {
        m_settled[std::size_t(missing.front())].found = found.front();
        m_foundOpen[std::size_t(found.front())] = 0;
        return;
    }
    // By exact name, and a path given twice next to its first entry, which alone is
    // matched.
    std::sort(missing.begin(), missing.end(), [this](int a, int b) {
        const std::string_view nameA = missingName(a);
        const std::string_view nameB = missingName(b);
        return nameA != nameB ? nameA < nameB : std::make_pair(missingPath(a), a) < std::make_pair(missingPath(b), b);
    });
    std::vector<std::pair<int, int>> repeats;
    std::vector<int> distinct;
    for (const int m : missing) {
        if (!distinct.empty() && missingPath(distinct.back()) == missingPath(m))
            repeats.emplace_back(m, distinct.back());
        else
            distinct.push_back(m);
    }
    std::vector<int> foundByName = found;
    std::sort(foundByName.begin(), foundByName.end(),
              [this](int a, int b) { return foundName(m_found[std::size_t(a)]) < foundName(m_found[std::size_t(b)]); });

    // Exact names first, each name on its own.
    std::vector<int> caseOnly;
    std::vector<int> records;
    std::vector<int> files;
    auto nextFile = foundByName.begin();
    for (auto first = distinct.begin(); first != distinct.end();) {
        const std::string_view name = missingName(*first);
        const auto last = std::find_if(first, distinct.end(), [&](int m) { return missingName(m) != name; });
        records.assign(first, last);
        first = last;
        nextFile = std::find_if(nextFile, foundByName.end(),
                                [&](int f) { return !(foundName(m_found[std::size_t(f)]) < name); });
        const auto lastFile = std::find_if(nextFile, foundByName.end(),
                                           [&](int f) { return foundName(m_found[std::size_t(f)]) != name; });
        if (nextFile == lastFile) {
            caseOnly.insert(caseOnly.end(), records.begin(), records.end());
            continue;
        }
        files.assign(nextFile, lastFile);
        settle(records, files, m_foundOpen);
        nextFile = lastFile;
    }
    settleCases(caseOnly, found);
    for (const auto &[repeat, first] : repeats)
        m_settled[std::size_t(repeat)] = m_settled[std::size_t(first)];
}

void MovedFileMatcher::settleCases(const std::vector<int> &missing, const std::vector<int> &found)
{
    if (missing.empty())
        return;
    // Another case counts only when the walk found a single file of the name.
    if (found.size() == 1) {
        settle(missing, found, m_foundOpen);
        return;
    }
    // Several files, none of them taken by its own name: any pick would be a guess.
    const bool anyLeft = std::any_of(found.begin(), found.end(), [this](int f) { return m_foundOpen[std::size_t(f)]; });
    for (const int m : missing)
        m_settled[std::size_t(m)].ambiguous = anyLeft;
}

void MovedFileMatcher::settle(const std::vector<int> &missing, const std::vector<int> &found,
                              std::vector<char> &foundOpen)
{
    m_recordFolders.clear();
    for (const int m : missing)
        m_recordFolders.push_back(missingFolder(m));
    m_fileFolders.clear();
    m_fileOpen.clear();
    for (const int f : found) {
        m_fileFolders.push_back(foundFolder(m_found[std::size_t(f)]));
        m_fileOpen.push_back(foundOpen[std::size_t(f)]);
    }
    m_assignment.assign(m_recordFolders, m_fileFolders, m_fileOpen, m_outcomes);
    for (std::size_t i = 0; i < found.size(); ++i)
        foundOpen[std::size_t(found[i])] = m_fileOpen[i];
    for (std::size_t i = 0; i < missing.size(); ++i) {
        Settled &settled = m_settled[std::size_t(missing[i])];
        settled.ambiguous = m_outcomes[i].ambiguous;
        if (m_outcomes[i].file >= 0)
            settled.found = found[std::size_t(m_outcomes[i].file)];
    }
}

std::string_view MovedFileMatcher::foundFolder(const Found &file) const
{
    const FoundFolder &folder = m_foundFolders[std::size_t(file.folder)];
    return std::string_view(m_foundText).substr(folder.start, folder.size);
}

std::string_view MovedFileMatcher::foundName(const Found &file) const
{
    return std::string_view(m_foundText).substr(file.nameStart, file.nameSize);
}

QString MovedFileMatcher::newPathOf(const Found &file) const
{
    const std::string_view folder = foundFolder(file);
    const std::string_view name = foundName(file);
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    if (path.empty() || !TrailingFolderAssignment::isSeparator(path.back()))
        path += '/';
    path += name;
    return QDir::toNativeSeparators(QString::fromUtf8(path.data(), qsizetype(path.size())));
}
