#pragma once

#include "FileListSorting.h"

#include <QString>

#include <vector>

class RecordList;

// The rows the searches add to the file list, built by the same code as a listed
// category's, so that their icons, types and dates are read when first shown.

// Quick search: one row per found record, in the order given, named without the
// extension.
FileListRows quickSearchRows(const RecordList &records, const std::vector<int> &positions);
// Advanced search: the file's name with its extension.
void addAdvancedSearchRow(FileListRows &rows, const QString &path, const QString &keywords);
