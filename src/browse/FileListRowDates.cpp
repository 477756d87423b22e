#include "FileListRowDates.h"

#include "FileStamp.h"
#include "OfflineVolumes.h"

#include <algorithm>

void dateRows(PackedRow *rows, std::size_t count, const OfflineVolumes &drives, const std::atomic<bool> *abandoned)
{
    constexpr std::size_t kSlice = 16384;
    std::vector<PackedRow *> pending;
    std::vector<QString> paths;
    for (std::size_t first = 0; first < count && !(abandoned && *abandoned); first += kSlice) {
        pending.clear();
        paths.clear();
        for (std::size_t i = first; i < std::min(count, first + kSlice); ++i) {
            if (rows[i].details == FileListRow::Details::NotRead) {
                pending.push_back(&rows[i]);
                paths.push_back(rowPath(rows[i]));
            }
        }
        const std::vector<std::optional<qint64>> stamps = readModifiedMSecs(paths);
        for (std::size_t i = 0; i < pending.size(); ++i) {
            PackedRow &row = *pending[i];
            row.details = stamps[i]                                        ? FileListRow::Details::Dated
                : drives.offlineVolumeOf(paths[i]).isEmpty() ? FileListRow::Details::Unreadable
                                                              : FileListRow::Details::Offline;
            row.modifiedMSecs = stamps[i].value_or(0);
        }
    }
}
