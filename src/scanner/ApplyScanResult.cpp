#include "ApplyScanResult.h"

#include "RecordList.h"

void insertFoundRecords(RecordList &records, const std::vector<QString> &recordsInFindingOrder)
{
    auto first = recordsInFindingOrder.begin();
    if (first == recordsInFindingOrder.end())
        return;
    // Into an empty list the first found record goes to position 0 and so becomes the
    // first entry, which every later one stands behind.
    if (records.isEmpty())
        records.append(*first++);
    const std::vector<QString> newestFirst(std::make_reverse_iterator(recordsInFindingOrder.end()),
                                           std::make_reverse_iterator(first));
    records.insert(1, newestFirst);
}

void insertFoundRecordsNewestFirst(RecordList &records, RecordList &&newestFirst)
{
    if (newestFirst.isEmpty())
        return;
    if (records.isEmpty()) {
        const int firstFound = newestFirst.size() - 1;
        records.append(newestFirst.at(firstFound));
        newestFirst.removeAt(firstFound);
    }
    records.insert(1, std::move(newestFirst));
}
