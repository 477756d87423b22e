#pragma once

#include <QString>

#include <vector>

class RecordList;

// Every found record goes in at position 1, directly behind the first entry (at 0 into
// an empty list), one after the other. This gives the same order in one move, taking
// the records over without copying: the first entry stays first and the found records
// stand behind it newest first.
void insertFoundRecordsNewestFirst(RecordList &records, RecordList &&newestFirst);
