#include "ApplyScanResult.h"

#include "FileRecord.h"
#include "FoundFiles.h"
#include "RecordList.h"

#include <string>

RecordList foundRecordsNewestFirst(const FoundFiles &files, int categoryIndex)
{
    // The list keeps records as UTF-8, which the found paths are already: each record
    // is put together from the folder's and the name's bytes, with no text made.
    const QByteArray ending = MakeFileRecord(QString(), categoryIndex, QString()).toUtf8();
    RecordList records;
    records.reserve(int(files.size()));
    std::string record;
    for (std::size_t i = files.size(); i-- > 0;) {
        record.assign(files.folderUtf8(i));
        record.append(files.nameUtf8(i));
        record.append(ending.constData(), std::size_t(ending.size()));
        records.appendUtf8(QByteArrayView(record.data(), qsizetype(record.size())), categoryIndex);
    }
    records.hashPaths();
    return records;
}

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
