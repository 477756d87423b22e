#include "SearchRows.h"

#include "FileRecord.h"
#include "RecordList.h"

#include <algorithm>
#include <thread>

namespace {

// Below this many rows per thread, starting a thread costs more than it saves.
constexpr std::size_t kRowsPerThread = 50'000;
constexpr unsigned kMaxThreads = 4;

// Neighbouring records mostly share an extension and often their keywords: a row
// takes the previous row's copy when the text is the same, instead of one of its own.
void shareWithPrevious(QString &text, const QString &previous)
{
    if (!text.isSharedWith(previous) && text == previous)
        text = previous;
}

void buildRange(const RecordList &records, const std::vector<int> &positions, std::size_t first, std::size_t last,
                FileListRows &rows)
{
    const FileListRow *previous = nullptr;
    for (std::size_t i = first; i < last; ++i) {
        const RecordViews parts = recordViews(records.at(positions[i]));
        const bool sameKeywords = previous && parts.keywords == previous->keywords;
        auto row = std::make_unique<FileListRow>(
            makeFileListRow(parts.path.toString(), sameKeywords ? previous->keywords : parts.keywords.toString()));
        if (previous)
            shareWithPrevious(row->extension, previous->extension);
        previous = row.get();
        rows[i] = std::move(row);
    }
}

} // namespace

FileListRows quickSearchRows(const RecordList &records, const std::vector<int> &positions)
{
    FileListRows rows(positions.size());
    const unsigned cores = std::max(1u, std::min(kMaxThreads, std::thread::hardware_concurrency()));
    const auto threads = std::max<std::size_t>(1, std::min<std::size_t>(cores, positions.size() / kRowsPerThread));
    // Each thread fills its own slots; the records are only read meanwhile.
    const std::size_t stretch = (positions.size() + threads - 1) / threads;
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < threads; ++t) {
        const std::size_t first = t * stretch;
        workers.emplace_back(buildRange, std::cref(records), std::cref(positions), first,
                             std::min(positions.size(), first + stretch), std::ref(rows));
    }
    buildRange(records, positions, 0, std::min(positions.size(), stretch), rows);
    for (std::thread &worker : workers)
        worker.join();
    return rows;
}

FileListRow advancedSearchRow(const QString &path, const QString &keywords)
{
    FileListRow row = makeFileListRow(path, keywords);
    row.name = fileNameOf(path).toString();
    return row;
}
