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

    std::unordered_map<std::string_view, int> distinctByPath;
    distinctByPath.reserve(m_missingPaths.size());
    m_groupOfName.reserve(m_missingPaths.size());
    m_distinctOf.reserve(m_missingPaths.size());
    m_missing.reserve(m_missingPaths.size());
    for (const QByteArray &pathBytes : m_missingPaths) {
        const std::string_view path = viewOf(pathBytes);
        const auto placed = distinctByPath.try_emplace(path, int(m_missing.size()));
        m_distinctOf.push_back(placed.first->second);
        if (!placed.second)
            continue;
        Missing missing;
        const std::size_t separator = lastSeparator(path);
        missing.name = separator == std::string_view::npos ? path : path.substr(separator + 1);
        missing.folder = separator == std::string_view::npos ? std::string_view() : path.substr(0, separator);
        if (!missing.name.empty()) {
            std::string_view key = foldedName(missing.name);
            // A folded copy must outlive the buffer it was made in.
            if (key.data() != missing.name.data()) {
                m_foldedNames.emplace_back(key);
                key = m_foldedNames.back();
            }
            const auto group = m_groupOfName.try_emplace(key, m_groupCount);
            if (group.second)
                ++m_groupCount;
            else if (key.data() != missing.name.data())
                m_foldedNames.pop_back();
            missing.group = group.first->second;
        }
        m_missing.push_back(missing);
    }
}

std::string_view MovedFileMatcher::foldedName(std::string_view name)
{
    bool capitals = false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            m_foldBuffer = QString::fromUtf8(name.data(), qsizetype(name.size())).toCaseFolded().toStdString();
            return m_foldBuffer;
        }
        capitals = capitals || (byte >= 'A' && byte <= 'Z');
    }
    // Most names on disk are plain lower-case ASCII and need no copy at all.
    if (!capitals)
        return name;
    m_foldBuffer.assign(name);
    for (char &c : m_foldBuffer) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return m_foldBuffer;
}

int MovedFileMatcher::groupOf(std::string_view name)
{
    buildIndex();
    const auto found = m_groupOfName.find(foldedName(name));
    return found == m_groupOfName.end() ? -1 : found->second;
}

bool MovedFileMatcher::isWanted(std::string_view nameUtf8)
{
    return groupOf(nameUtf8) >= 0;
}

void MovedFileMatcher::addFoundFile(std::string_view folderUtf8, std::string_view nameUtf8)
{
    const int group = groupOf(nameUtf8);
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
    const std::size_t groups = std::size_t(m_groupCount);
    std::vector<int> missingStart(groups + 1, 0);
    std::vector<int> foundStart(groups + 1, 0);
    for (const Missing &missing : m_missing) {
        if (missing.group >= 0)
            ++missingStart[std::size_t(missing.group) + 1];
    }
    for (const Found &found : m_found)
        ++foundStart[std::size_t(found.group) + 1];
    std::partial_sum(missingStart.begin(), missingStart.end(), missingStart.begin());
    std::partial_sum(foundStart.begin(), foundStart.end(), foundStart.begin());
    std::vector<int> missingByGroup(std::size_t(missingStart.back()));
    std::vector<int> foundByGroup(m_found.size());
    {
        std::vector<int> next(missingStart.begin(), missingStart.end() - 1);
        for (int i = 0; i < int(m_missing.size()); ++i) {
            if (m_missing[std::size_t(i)].group >= 0)
                missingByGroup[std::size_t(next[std::size_t(m_missing[std::size_t(i)].group)]++)] = i;
        }
        next.assign(foundStart.begin(), foundStart.end() - 1);
        for (int i = 0; i < int(m_found.size()); ++i)
            foundByGroup[std::size_t(next[std::size_t(m_found[std::size_t(i)].group)]++)] = i;
    }
    std::vector<int> missing;
    std::vector<int> found;
    for (std::size_t g = 0; g < groups; ++g) {
        if (foundStart[g] == foundStart[g + 1] || missingStart[g] == missingStart[g + 1])
            continue;
        missing.assign(missingByGroup.begin() + missingStart[g], missingByGroup.begin() + missingStart[g + 1]);
        found.assign(foundByGroup.begin() + foundStart[g], foundByGroup.begin() + foundStart[g + 1]);
        settleGroup(missing, found);
    }

    RelocationResult result;
    result.newPaths.resize(m_missingPaths.size());
    std::vector<QString> newPathOfDistinct(m_missing.size());
    for (std::size_t i = 0; i < m_missingPaths.size(); ++i) {
        const std::size_t distinct = std::size_t(m_distinctOf[i]);
        const Settled &settled = m_settled[distinct];
        if (settled.found >= 0) {
            QString &path = newPathOfDistinct[distinct];
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

void MovedFileMatcher::settleGroup(const std::vector<int> &missing, const std::vector<int> &found)
{
    // One file of the name, one record: whatever its case, it is the one candidate.
    if (missing.size() == 1 && found.size() == 1) {
        m_settled[std::size_t(missing.front())].found = found.front();
        m_foundOpen[std::size_t(found.front())] = 0;
        return;
    }
    std::vector<int> byName = missing;
    std::vector<int> foundByName = found;
    std::sort(byName.begin(), byName.end(),
              [this](int a, int b) { return m_missing[std::size_t(a)].name < m_missing[std::size_t(b)].name; });
    std::sort(foundByName.begin(), foundByName.end(),
              [this](int a, int b) { return foundName(m_found[std::size_t(a)]) < foundName(m_found[std::size_t(b)]); });

    // Exact names first, each name on its own.
    std::vector<int> caseOnly;
    std::vector<int> records;
    std::vector<int> files;
    auto nextFile = foundByName.begin();
    for (auto first = byName.begin(); first != byName.end();) {
        const std::string_view name = m_missing[std::size_t(*first)].name;
        const auto last = std::find_if(first, byName.end(),
                                       [&](int m) { return m_missing[std::size_t(m)].name != name; });
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
    if (caseOnly.empty())
        return;
    // Another case counts only when the walk found a single file of the name.
    if (found.size() == 1) {
        settle(caseOnly, found, m_foundOpen);
        return;
    }
    const bool anyLeft = std::any_of(found.begin(), found.end(), [this](int f) { return m_foundOpen[std::size_t(f)]; });
    for (const int m : caseOnly)
        m_settled[std::size_t(m)].ambiguous = anyLeft;
}

void MovedFileMatcher::settle(const std::vector<int> &missing, const std::vector<int> &found,
                              std::vector<char> &foundOpen)
{
    m_recordFolders.clear();
    for (const int m : missing)
        m_recordFolders.push_back(m_missing[std::size_t(m)].folder);
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
