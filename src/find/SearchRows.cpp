#include "SearchRows.h"

#include "RecordList.h"
#include "FileRecord.h"

#include <algorithm>
#include <thread>

namespace {

// Below this many rows per thread, starting a thread costs more than it saves.
constexpr std::size_t kRowsPerThread = 50'000;
constexpr unsigned kMaxThreads = 4;

FileListRows buildRange(const RecordList &records, const std::vector<int> &positions, std::size_t first,
                        std::size_t last)
{
    FileListRows rows;
    rows.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) {
        const RecordUtf8Views parts = recordUtf8Views(records.utf8At(positions[i]));
        rows.addUtf8(parts.path, parts.keywords, RowNaming::WithoutExtension);
    }
    return rows;
}

} // namespace

FileListRows quickSearchRows(const RecordList &records, const std::vector<int> &positions)
{
    const unsigned cores = std::max(1u, std::min(kMaxThreads, std::thread::hardware_concurrency()));
    const auto threads = std::max<std::size_t>(1, std::min<std::size_t>(cores, positions.size() / kRowsPerThread));
    // Each thread builds its own stretch with texts of its own; the records are only
    // read meanwhile.
    const std::size_t stretch = (positions.size() + threads - 1) / threads;
    std::vector<FileListRows> parts(threads);
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < threads; ++t) {
        const std::size_t first = std::min(positions.size(), t * stretch);
        const std::size_t last = std::min(positions.size(), first + stretch);
        workers.emplace_back([&records, &positions, &parts, t, first, last] {
            parts[t] = buildRange(records, positions, first, last);
        });
    }
    parts[0] = buildRange(records, positions, 0, std::min(positions.size(), stretch));
    for (std::thread &worker : workers)
        worker.join();
    FileListRows rows = std::move(parts[0]);
    for (std::size_t t = 1; t < threads; ++t)
        rows.append(std::move(parts[t]));
    return rows;
}

void addAdvancedSearchRow(FileListRows &rows, const QString &path, const QString &keywords)
{
    rows.add(path, keywords, RowNaming::WholeName);
}
