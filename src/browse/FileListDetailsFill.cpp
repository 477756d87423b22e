#include "FileListModel.h"

#include "ConnectedDrives.h"
#include "FileIconCache.h"
#include "FileListRowDates.h"
#include "FileStamp.h"
#include "FileTypeCache.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <atomic>

namespace {

// One slice of the idle pass; short enough that typing and scrolling go on.
constexpr qint64 kFillSliceMSecs = 8;
// Rows read in one batch: enough to spread the disk's answers over two cores,
// few enough to stay near one slice.
constexpr int kFillBatchRows = 8192;

} // namespace

void FileListModel::fillDetails(PackedRow &row) const
{
    if (row.details == FileListRow::Details::Dated)
        applyDetails(row, ::rowPath(row), row.modifiedMSecs);
    if (row.details != FileListRow::Details::NotRead)
        return;
    const QString path = ::rowPath(row);
    applyDetails(row, path, readModifiedMSecs(path));
}

void FileListModel::applyDetails(PackedRow &row, const QString &path, std::optional<qint64> modified) const
{
    if (!modified) {
        // Nothing of any other file: no type, no date, no icon.
        row.details = drives().offlineVolumeOf(path).isEmpty() ? FileListRow::Details::Unreadable
                                                               : FileListRow::Details::Offline;
        return;
    }
    row.modifiedMSecs = *modified;
    // The type is the extension's, asked of the type cache when shown.
    row.iconIndex = m_icons.iconIndexForExistingFile(path);
    row.details = FileListRow::Details::Read;
}

const OfflineVolumes &FileListModel::drives() const
{
    if (!m_drives)
        m_drives = ConnectedDrives::now();
    return *m_drives;
}

void FileListModel::fillAllDetails()
{
    fillDetailsOf(0, rowCount());
    m_fillCursor = rowCount();
}

void FileListModel::fillDetailsOf(int first, int last)
{
    std::vector<PackedRow *> pending;
    std::vector<QString> paths;
    for (int i = first; i < last; ++i) {
        PackedRow &row = packedRow(i);
        if (row.details == FileListRow::Details::Dated)
            applyDetails(row, ::rowPath(row), row.modifiedMSecs);
        if (row.details == FileListRow::Details::NotRead) {
            pending.push_back(&row);
            paths.push_back(::rowPath(row));
        }
    }
    // The disk is asked in one batch; the caches are ours alone and are filled here.
    const std::vector<std::optional<qint64>> stamps = readModifiedMSecs(paths);
    for (std::size_t i = 0; i < pending.size(); ++i)
        applyDetails(*pending[i], paths[i], stamps[i]);
}

bool FileListModel::allDetailsFilled() const
{
    return std::all_of(m_rows.rows.begin(), m_rows.rows.end(),
                       [](const PackedRow &row) {
                           return row.details == FileListRow::Details::Read
                               || row.details == FileListRow::Details::Unreadable
                               || row.details == FileListRow::Details::Offline;
                       });
}

void FileListModel::setBackgroundFillEnabled(bool enabled)
{
    m_backgroundFill = enabled;
    if (!enabled)
        m_fillTimer.stop();
}

void FileListModel::startBackgroundFill(int fromRow)
{
    m_fillCursor = fromRow;
    if (m_backgroundFill && m_fillCursor < rowCount())
        m_fillTimer.start();
}

void FileListModel::fillSomeDetails()
{
    QElapsedTimer slice;
    slice.start();
    const int count = rowCount();
    while (m_fillCursor < count && !slice.hasExpired(kFillSliceMSecs)) {
        const int end = std::min(count, m_fillCursor + kFillBatchRows);
        fillDetailsOf(m_fillCursor, end);
        m_fillCursor = end;
    }
    if (m_fillCursor < count)
        m_fillTimer.start();
    else
        Q_EMIT detailsFilled();
}

struct FileListModel::RowsBeingDated {
    FileListRows rows;
    std::shared_ptr<const OfflineVolumes> drives;
    std::atomic<bool> abandoned{false};
};

void FileListModel::appendRowsOnceDated(FileListRows rows)
{
    if (!m_sorted || m_sortColumn != LastModifiedColumn) {
        appendRows(std::move(rows));
        return;
    }
    abandonRowsBeingDated();
    auto job = std::make_shared<RowsBeingDated>();
    job->rows = std::move(rows);
    drives(); // looked at now, as for rows added at once
    job->drives = m_drives;
    m_rowsBeingDated = job;
    // The rows own their texts: the worker touches nothing else.
    QThread *worker = QThread::create(
        [job] { dateRows(job->rows.rows.data(), job->rows.size(), *job->drives, &job->abandoned); });
    connect(worker, &QThread::finished, this, [this, job] {
        if (m_rowsBeingDated != job)
            return;
        m_rowsBeingDated.reset();
        appendRows(std::move(job->rows));
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void FileListModel::abandonRowsBeingDated()
{
    if (!m_rowsBeingDated)
        return;
    m_rowsBeingDated->abandoned = true;
    m_rowsBeingDated.reset();
}
