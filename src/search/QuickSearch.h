#pragma once

#include <QStringView>

#include <vector>

class RecordList;

// The records the quick search lists for a text, as positions in the record list, in
// list order: every record whose whole string (path, separators, index digits and
// keywords), upper-cased, holds the text upper-cased. The sentinel is never among
// them; a record that occurs twice is found twice.
std::vector<int> QuickSearchMatches(const RecordList &records, QStringView text);
