#include "Catalog.h"

#include "FileRecord.h"

#include <QHash>

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
    // visited the nodes from 1 upwards.
    QHash<int, int> newIndexByTag;
    newIndexByTag.reserve(m_tree->nodeCount());
    for (int i = 1; i <= m_tree->nodeCount(); ++i) {
        const auto &tag = m_tree->node(i)->tag;
        if (tag && !newIndexByTag.contains(*tag))
            newIndexByTag.insert(*tag, i);
    }
    for (int position = 0; position < m_records.size(); ++position) {
        const auto found = newIndexByTag.constFind(m_records.categoryAt(position));
        if (found == newIndexByTag.constEnd())
            continue;
        const QString &record = m_records.at(position);
        if (*found != m_records.categoryAt(position) || !recordIndexFieldIs(record, *found))
            m_records.replace(position, SetRecordCategory(record, *found));
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
