#pragma once

#include <QString>

#include <vector>

// The ordered list of file records, each with a scratch mark that operations use and
// always leave cleared. The category index of every record is parsed once, when the
// record is stored, so that walks over a million records need not parse strings.
class RecordList
{
public:
    int size() const { return int(m_records.size()); }
    bool isEmpty() const { return m_records.empty(); }

    const QString &at(int position) const { return m_records[std::size_t(position)]; }
    int categoryAt(int position) const { return m_categories[std::size_t(position)]; }

    bool isMarked(int position) const { return m_marks[std::size_t(position)] != 0; }
    void setMarked(int position, bool marked) { m_marks[std::size_t(position)] = marked ? 1 : 0; }
    void clearMarks();
    int markedCount() const;

    void append(const QString &record);
    // For callers that built the record from a known index.
    void append(QString &&record, int categoryIndex);
    void insert(int position, const QString &record);
    // Inserts a batch at one position in a single move; the batch keeps its own order.
    void insert(int position, const std::vector<QString> &records);
    void replace(int position, const QString &record);
    void removeAt(int position);
    // Removes every marked record, keeping the others in order. Linear.
    void removeMarked();
    void clear();
    void reserve(int count);

private:
    std::vector<QString> m_records;
    std::vector<int> m_categories;
    std::vector<char> m_marks;
};
