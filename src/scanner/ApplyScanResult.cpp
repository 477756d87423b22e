#include "ApplyScanResult.h"

#include "RecordList.h"

void insertFoundRecordsNewestFirst(RecordList &records, RecordList &&newestFirst)
{
    if (newestFirst.isEmpty())
        return;
    // Into an empty list the first found record goes to position 0 and so becomes the
    // first entry, which every later one stands behind.
    if (records.isEmpty()) {
        const int firstFound = newestFirst.size() - 1;
        records.append(newestFirst.at(firstFound));
        newestFirst.removeAt(firstFound);
    }
    records.insert(1, std::move(newestFirst));
}
