#include "RecordList.h"

#include "FileRecord.h"

#include <algorithm>

void RecordList::clearMarks()
{
    std::fill(m_marks.begin(), m_marks.end(), 0);
}

int RecordList::markedCount() const
{
    return int(std::count(m_marks.begin(), m_marks.end(), 1));
}

void RecordList::append(const QString &record)
{
    m_records.push_back(record);
    m_categories.push_back(recordCategoryIndex(record));
    m_marks.push_back(0);
}

void RecordList::append(QString &&record, int categoryIndex)
{
    m_records.push_back(std::move(record));
    m_categories.push_back(categoryIndex);
    m_marks.push_back(0);
}

void RecordList::insert(int position, const QString &record)
{
    const auto at = std::size_t(position);
    m_records.insert(m_records.begin() + at, record);
    m_categories.insert(m_categories.begin() + at, recordCategoryIndex(record));
    m_marks.insert(m_marks.begin() + at, 0);
}

void RecordList::insert(int position, const std::vector<QString> &records)
{
    const auto at = std::size_t(position);
    m_records.insert(m_records.begin() + at, records.begin(), records.end());
    std::vector<int> categories;
    categories.reserve(records.size());
    for (const QString &record : records)
        categories.push_back(recordCategoryIndex(record));
    m_categories.insert(m_categories.begin() + at, categories.begin(), categories.end());
    m_marks.insert(m_marks.begin() + at, records.size(), 0);
}

void RecordList::replace(int position, const QString &record)
{
    const auto at = std::size_t(position);
    m_records[at] = record;
    m_categories[at] = recordCategoryIndex(record);
}

void RecordList::removeAt(int position)
{
    const auto at = std::size_t(position);
    m_records.erase(m_records.begin() + at);
    m_categories.erase(m_categories.begin() + at);
    m_marks.erase(m_marks.begin() + at);
}

void RecordList::removeMarked()
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (m_marks[i])
            continue;
        if (kept != i) {
            m_records[kept] = std::move(m_records[i]);
            m_categories[kept] = m_categories[i];
        }
        ++kept;
    }
    m_records.resize(kept);
    m_categories.resize(kept);
    m_marks.assign(kept, 0);
}

void RecordList::clear()
{
    m_records.clear();
    m_categories.clear();
    m_marks.clear();
}

void RecordList::reserve(int count)
{
    m_records.reserve(std::size_t(count));
    m_categories.reserve(std::size_t(count));
    m_marks.reserve(std::size_t(count));
}
