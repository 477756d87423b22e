#include "SearchRows.h"

#include "RecordList.h"
#include "RecordRowBuilder.h"

#include <algorithm>
#include <thread>

namespace {

// Below this many rows per thread, starting a thread costs more than it saves.
constexpr std::size_t kRowsPerThread = 50'000;
constexpr unsigned kMaxThreads = 4;

void buildRange(const RecordList &records, const std::vector<int> &positions, std::size_t first, std::size_t last,
                FileListRows &rows)
{
    RecordRowBuilder builder;
    for (std::size_t i = first; i < last; ++i)
        rows[i] = builder.rowFor(records.utf8At(positions[i]));
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
