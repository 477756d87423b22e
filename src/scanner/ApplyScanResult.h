#pragma once

class FoundFiles;
class RecordList;

// The found files as records under the given category, newest first, as they go into
// the record list, with the hashes its path index needs already worked out: built on
// a worker thread, they go into the catalog's list cheaply.
RecordList foundRecordsNewestFirst(const FoundFiles &files, int categoryIndex);

// Every found record goes in at position 1, directly behind the first entry (at 0 into
// an empty list), one after the other. This gives the same order in one move, taking
// the records over without copying: the first entry stays first and the found records
// stand behind it newest first.
void insertFoundRecordsNewestFirst(RecordList &records, RecordList &&newestFirst);
