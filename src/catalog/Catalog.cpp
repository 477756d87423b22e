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
    for (int position = 0; position < m_records.size(); ++position) {
        const int oldIndex = m_records.categoryAt(position);
        const int newIndex = tags.newIndexFor(oldIndex);
        if (newIndex == 0)
            continue;
        const QString &record = m_records.at(position);
        if (newIndex != oldIndex || !recordIndexFieldIs(record, newIndex))
            m_records.replaceKeepingPath(position, SetRecordCategory(record, newIndex));
    }
    m_missingRecords->remapCategories([&tags](int oldIndex) { return tags.newIndexFor(oldIndex); });
    m_records.clearMarks();
    markChanged();
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
