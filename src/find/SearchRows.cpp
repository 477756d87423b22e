#include "SearchRows.h"

#include "RecordList.h"
#include "FileRecord.h"

#include <algorithm>
#include <thread>

namespace {

// Below this many rows per thread, starting a thread costs more than it saves.
constexpr std::size_t kRowsPerThread = 50'000;
constexpr unsigned kMaxThreads = 4;

void buildRange(const RecordList &records, const std::vector<int> &positions, std::size_t first, std::size_t last,
                FileListRowTexts &texts, PackedRows &rows)
{
    for (std::size_t i = first; i < last; ++i) {
        const RecordUtf8Views parts = recordUtf8Views(records.utf8At(positions[i]));
        rows[i] = FileListRows::packUtf8(texts, parts.path, parts.keywords, RowNaming::WithoutExtension);
    }
}

} // namespace

FileListRows quickSearchRows(const RecordList &records, const std::vector<int> &positions)
{
    const unsigned cores = std::max(1u, std::min(kMaxThreads, std::thread::hardware_concurrency()));
    const auto threads = std::max<std::size_t>(1, std::min<std::size_t>(cores, positions.size() / kRowsPerThread));
    // Each thread fills its own stretch with texts of its own; the records are only
    // read meanwhile.
    const std::size_t stretch = (positions.size() + threads - 1) / threads;
    FileListRows rows;
    rows.rows.resize(positions.size());
    std::vector<std::shared_ptr<FileListRowTexts>> texts;
    std::vector<std::thread> workers;
    for (std::size_t t = 0; t < threads; ++t) {
        texts.push_back(std::make_shared<FileListRowTexts>());
        const std::size_t first = std::min(positions.size(), t * stretch);
        const std::size_t last = std::min(positions.size(), first + stretch);
        if (t > 0) {
            workers.emplace_back(buildRange, std::cref(records), std::cref(positions), first, last,
                                 std::ref(*texts.back()), std::ref(rows.rows));
        }
    }
    buildRange(records, positions, 0, std::min(positions.size(), stretch), *texts.front(), rows.rows);
    for (std::thread &worker : workers)
        worker.join();
    for (const auto &part : texts)
        rows.keepTexts(part);
    return rows;
}

void addAdvancedSearchRow(FileListRows &rows, const QString &path, const QString &keywords)
{
    rows.add(path, keywords, RowNaming::WholeName);
}
