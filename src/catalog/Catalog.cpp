#include "Catalog.h"

#include "FileRecord.h"

#include <vector>

Catalog::Catalog(QObject *parent)
    : QObject(parent)
    , m_tree(new CategoryTree(this))
{
}

int Catalog::findTemporary()
{
    m_temporaryIndex = m_tree->lastIndexNamed(kTemporaryName);
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
    // The first node in index order that holds a tag wins, as if every record
    // visited the nodes from 1 upwards. Tags are 16-bit, so a table covers them all.
    constexpr int kTagRange = 1 << 16;
    constexpr int kTagOffset = 1 << 15;
    std::vector<int> newIndexByTag(kTagRange, 0);
    for (int i = 1; i <= m_tree->nodeCount(); ++i) {
        const auto &tag = m_tree->node(i)->tag;
        if (tag && *tag >= -kTagOffset && *tag < kTagOffset && newIndexByTag[*tag + kTagOffset] == 0)
            newIndexByTag[*tag + kTagOffset] = i;
    }
    for (int position = 0; position < m_records.size(); ++position) {
        const int oldIndex = m_records.categoryAt(position);
        if (oldIndex < -kTagOffset || oldIndex >= kTagOffset)
            continue;
        const int newIndex = newIndexByTag[oldIndex + kTagOffset];
        if (newIndex == 0)
            continue;
        const QString &record = m_records.at(position);
        if (newIndex != oldIndex || !recordIndexFieldIs(record, newIndex))
            m_records.replace(position, SetRecordCategory(record, newIndex));
    }
    m_records.clearMarks();
    markChanged();
}

void Catalog::clear()
{
    m_tree->clear();
    m_records.clear();
    m_temporaryIndex = -1;
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
