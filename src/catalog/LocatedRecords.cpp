#include "LocatedRecords.h"

#include "Catalog.h"
#include "FileRecord.h"

#include <algorithm>

namespace {

bool catalogCanHold(const QString &path)
{
    return !path.isEmpty() && !path.contains(QLatin1Char('"')) && !path.contains(QLatin1Char('\r'))
        && !path.contains(QLatin1Char('\n'));
}

} // namespace

std::vector<int> putBackLocatedRecords(Catalog &catalog, std::vector<LocatedFile> located)
{
    const MissingRecords &missing = *catalog.missingRecords();
    std::sort(located.begin(), located.end(),
              [](const LocatedFile &a, const LocatedFile &b) { return a.missingPosition < b.missingPosition; });
    std::vector<int> putBack;
    RecordList &records = catalog.records();
    RecordList merged;
    merged.reserve(records.size() + int(located.size()));
    int next = 0;
    for (const LocatedFile &file : located) {
        const MissingRecords::Record record = missing.at(file.missingPosition);
        if (record.category == MissingRecords::kCategoryDeleted || !catalogCanHold(file.newPath))
            continue;
        // Its place in the file among the loaded records, and behind those put back before it.
        const int place = record.loadedBefore + int(putBack.size());
        for (; next < records.size() && merged.size() < place; ++next)
            merged.appendUtf8(records.utf8At(next), records.categoryAt(next));
        merged.append(MakeFileRecord(file.newPath, record.category, record.keywords), record.category);
        putBack.push_back(file.missingPosition);
    }
    if (putBack.empty())
        return putBack;
    for (; next < records.size(); ++next)
        merged.appendUtf8(records.utf8At(next), records.categoryAt(next));
    records = std::move(merged);
    catalog.markChanged();
    return putBack;
}
