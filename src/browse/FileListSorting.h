#pragma once

#include "FileListRows.h"

#include <vector>

// The file list's order: always ascending, stable (rows with equal keys keep their
// order), text compared without regard to case, "Last Modified" by time. A row
// whose file could not be read has no date and comes before every dated row, as
// its empty cell would.

// Only "Type" cannot be sorted by.
bool isSortColumn(int column);

// The order of the rows sorted by the column: element i is the old position of the
// row that goes to position i. Sorting by "Last Modified" needs every row's
// details read.
std::vector<int> sortedOrder(const PackedRows &rows, FileListColumn column);

// Rearranges the rows into the given order.
void applyOrder(PackedRows &rows, const std::vector<int> &order);

// Where a new row goes in rows already sorted by the column: after every row whose
// key is not greater, so that adding rows one by one gives what sorting would.
std::size_t sortedInsertPosition(const PackedRows &rows, const PackedRow &row, FileListColumn column);

// Whether row a goes before row b in the column's order; equal keys go by neither.
// The keys are built in buffers it reuses, for long runs of comparisons.
class RowComparer
{
public:
    explicit RowComparer(FileListColumn column)
        : m_column(column)
    {
    }
    bool operator()(const PackedRow &a, const PackedRow &b);

private:
    FileListColumn m_column;
    QString m_left;
    QString m_right;
};

// Whether rows[from - 1] onward are already in the column's order (false for "Last
// Modified", whose keys may not have been read). Linear.
bool isInOrderFrom(const PackedRows &rows, std::size_t from, FileListColumn column);
