#pragma once

#include "FileListRow.h"

#include <memory>
#include <vector>

// The file list's order: always ascending, stable (rows with equal keys keep their
// order), text compared without regard to case, "Last Modified" by time. A row
// whose file could not be read has no date and comes before every dated row, as
// its empty cell would.

using FileListRows = std::vector<std::unique_ptr<FileListRow>>;

// Only "Type" cannot be sorted by.
bool isSortColumn(int column);

// The order of the rows sorted by the column: element i is the old position of the
// row that goes to position i. Sorting by "Last Modified" needs every row's
// details read.
std::vector<int> sortedOrder(const FileListRows &rows, FileListColumn column);

// Rearranges the rows into the given order.
void applyOrder(FileListRows &rows, const std::vector<int> &order);

// Where a new row goes in rows already sorted by the column: after every row whose
// key is not greater, so that adding rows one by one gives what sorting would.
std::size_t sortedInsertPosition(const FileListRows &rows, const FileListRow &row, FileListColumn column);

// Whether row a goes before row b in the column's order; equal keys go by neither.
// Compares the folded text without building it.
bool rowLess(const FileListRow &a, const FileListRow &b, FileListColumn column);

// Whether rows[from - 1] onward are already in the column's order (false for "Last
// Modified", whose keys may not have been read). Linear.
bool isInOrderFrom(const FileListRows &rows, std::size_t from, FileListColumn column);
