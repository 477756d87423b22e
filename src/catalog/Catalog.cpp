#include "Catalog.h"

#include "FileRecord.h"

#include <utility>


Catalog::Catalog(QObject *parent)
    : QObject(parent)
    , m_tree(new CategoryTree(this))
{
}

int Catalog::findTemporary()
{
    m_temporaryIndex = m_tree->lastRootIndexNamed(kTemporaryName);
    return m_temporaryIndex;
}

void Catalog::TagIndex()
{
    for (int i = 1; i <= m_tree->nodeCount(); ++i)
        m_tree->node(i)->tag = i;
}

void Catalog::ChangecategoryIndexForFiles()
{
    m_records.clearMarks();
    const TagMap tags(*m_tree);
    renumberRecords(m_records, tags);
    finishRenumbering(tags);
}

void Catalog::renumberRecords(RecordList &records, const TagMap &tags)
{
    for (int position = 0; position < records.size(); ++position) {
        const int oldIndex = records.categoryAt(position);
        const int newIndex = tags.newIndexFor(oldIndex);
        if (newIndex == 0)
            continue;
        const QString &record = records.at(position);
        if (newIndex != oldIndex || !recordIndexFieldIs(record, newIndex))
            records.replaceKeepingPath(position, SetRecordCategory(record, newIndex));
    }
}

void Catalog::finishRenumbering(const TagMap &tags)
{
    m_missingRecords->remapCategories([&tags](int oldIndex) { return tags.newIndexFor(oldIndex); });
    m_records.clearMarks();
    markChanged();
}

Catalog::TagMap Catalog::TagMap::afterRemoving(const CategoryTree &tree, const std::vector<int> &removed)
{
    std::vector<char> goes(std::size_t(tree.nodeCount()) + 1, 0);
    for (const int index : removed) {
        if (index >= 1 && index <= tree.nodeCount())
            goes[std::size_t(index)] = 1;
    }
    // The nodes that stay keep their order and their tags and close up.
    TagMap map;
    map.m_newIndex.assign(std::size_t(2 * kOffset), 0);
    int newIndex = 0;
    for (int i = 1; i <= tree.nodeCount(); ++i) {
        if (goes[std::size_t(i)])
            continue;
        ++newIndex;
        const auto &tag = tree.node(i)->tag;
        if (tag && *tag >= -kOffset && *tag < kOffset && map.m_newIndex[std::size_t(*tag + kOffset)] == 0)
            map.m_newIndex[std::size_t(*tag + kOffset)] = newIndex;
    }
    return map;
}

Catalog::TagMap::TagMap(const CategoryTree &tree)
    : m_newIndex(std::size_t(2 * kOffset), 0)
{
    // The first node in index order that holds a tag wins, as if every record
    // visited the nodes from 1 upwards.
    for (int i = 1; i <= tree.nodeCount(); ++i) {
        const auto &tag = tree.node(i)->tag;
        if (tag && *tag >= -kOffset && *tag < kOffset && m_newIndex[std::size_t(*tag + kOffset)] == 0)
            m_newIndex[std::size_t(*tag + kOffset)] = i;
    }
}

void Catalog::clear()
{
    m_tree->clear();
    m_records.clear();
    m_missingRecords = std::make_shared<MissingRecords>();
    m_temporaryIndex = -1;
}

void Catalog::takeContentsOf(Catalog &other)
{
    m_tree->takeNodesFrom(*other.m_tree);
    m_records = std::move(other.m_records);
    other.m_records.clear();
    m_missingRecords = std::exchange(other.m_missingRecords, std::make_shared<MissingRecords>());
    m_temporaryIndex = other.m_temporaryIndex;
    other.m_temporaryIndex = -1;
    setFileListSaved(other.m_fileListSaved);
}

void Catalog::resetToEmpty()
{
    clear();
    m_records.append(kSentinelRecord);
}

void Catalog::setFileListSaved(bool saved)
{
    if (m_fileListSaved == saved)
        return;
    m_fileListSaved = saved;
    Q_EMIT savedStateChanged(saved);
}
