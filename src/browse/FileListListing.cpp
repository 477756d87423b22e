#include "FileListListing.h"

#include "Catalog.h"
#include "ConnectedDrives.h"
#include "DeleteDuplicates.h"
#include "FileRecord.h"
#include "FileStamp.h"
#include "RecordRowBuilder.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <thread>

namespace {

// The records of a listing, copied out of the catalog as their UTF-8 bytes: one
// copy of the text, decoded where the rows are built.
struct RecordTexts {
    QByteArray text;
    std::vector<std::pair<qsizetype, qsizetype>> spans; // offset, length

    std::size_t size() const { return spans.size(); }
    QByteArrayView operator[](std::size_t i) const
    {
        return QByteArrayView(text).sliced(spans[i].first, spans[i].second);
    }
};

FileListRows buildRows(const RecordTexts &records, std::size_t first, std::size_t last)
{
    FileListRows rows;
    rows.reserve(last - first);
    RecordRowBuilder builder;
    for (std::size_t i = first; i < last; ++i)
        rows.push_back(builder.rowFor(records[i]));
    return rows;
}

void removeDuplicatePaths(FileListRows &rows)
{
    DeleteDuplicates(rows, [](const std::unique_ptr<FileListRow> &row) -> const QString & { return row->path; });
}

} // namespace

// A whole listing, built away from the window: the rows of every record, dated when
// the order needs it, sorted and rid of duplicates. The worker touches nothing but
// the job.
struct ListingJob {
    RecordTexts records; // the category's, as they were at the click
    FileListColumn column = NameColumn;
    std::shared_ptr<const OfflineVolumes> drives;
    std::atomic<bool> abandoned{false};

    FileListRows rows;
    // Per row: the position of its record when it is one of those listed at once
    // (its row is then the one already shown), or -1.
    std::vector<int> firstRecordOf;
};

namespace {

void buildListing(ListingJob &job, std::size_t firstCount)
{
    // Building the rows is most of the work, and the window's thread is idle
    // meanwhile: half of them are built on a second thread.
    const std::size_t half = job.records.size() / 2;
    FileListRows secondHalf;
    std::thread helper([&] { secondHalf = buildRows(job.records, half, job.records.size()); });
    FileListRows rows = buildRows(job.records, 0, half);
    helper.join();
    rows.reserve(job.records.size());
    std::move(secondHalf.begin(), secondHalf.end(), std::back_inserter(rows));
    job.records = {};
    if (job.abandoned)
        return;
    if (job.column == LastModifiedColumn) {
        std::vector<const QString *> paths;
        paths.reserve(rows.size());
        for (const auto &row : rows)
            paths.push_back(&row->path);
        const std::vector<std::optional<qint64>> stamps = readModifiedMSecs(paths);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            // Type and icon come from caches of the window's thread, when first asked for.
            rows[i]->details = stamps[i]                                        ? FileListRow::Details::Dated
                : job.drives->offlineVolumeOf(rows[i]->path).isEmpty() ? FileListRow::Details::Unreadable
                                                                        : FileListRow::Details::Offline;
            rows[i]->modifiedMSecs = stamps[i].value_or(0);
        }
    }
    if (job.abandoned)
        return;
    std::vector<int> recordOf(rows.size());
    std::iota(recordOf.begin(), recordOf.end(), 0);
    const std::vector<int> order = sortedOrder(rows, job.column);
    std::vector<int> sortedRecordOf;
    sortedRecordOf.reserve(order.size());
    for (int from : order)
        sortedRecordOf.push_back(recordOf[std::size_t(from)]);
    applyOrder(rows, order);
    std::vector<int> kept(rows.size());
    std::iota(kept.begin(), kept.end(), 0);
    DeleteDuplicates(kept, [&rows](int i) -> const QString & { return rows[std::size_t(i)]->path; });
    if (job.abandoned)
        return;
    job.rows.reserve(kept.size());
    job.firstRecordOf.reserve(kept.size());
    for (int i : kept) {
        const int record = sortedRecordOf[std::size_t(i)];
        const bool shown = std::size_t(record) < firstCount;
        job.firstRecordOf.push_back(shown ? record : -1);
        job.rows.push_back(shown ? nullptr : std::move(rows[std::size_t(i)]));
    }
}

} // namespace

void FileListModel::ShowCategoryFiles(const Catalog &catalog, int categoryIndex)
{
    m_fillTimer.stop();
    abandonListing();
    // The records are copied out first: the catalog may change while the rest of
    // the listing is built, and the list must be what it was at the click.
    auto job = std::make_shared<ListingJob>();
    job->column = FileListColumn(m_sortColumn);
    // A drive plugged in again since the last listing lists its files as before.
    m_drives = ConnectedDrives::now();
    job->drives = m_drives;
    const RecordList &records = catalog.records();
    static const QByteArray sentinel = kSentinelRecord.toUtf8();
    // Sized first: growing a copy of a few tens of megabytes would move it again and again.
    qsizetype bytes = 0;
    std::size_t count = 0;
    for (int i = 0; categoryIndex > 0 && i < records.size(); ++i) {
        // The cached index spares parsing the records of every other category.
        if (records.categoryAt(i) == categoryIndex) {
            bytes += records.utf8At(i).size();
            ++count;
        }
    }
    job->records.text.reserve(bytes);
    job->records.spans.reserve(count);
    for (int i = 0; count > 0 && i < records.size(); ++i) {
        if (records.categoryAt(i) != categoryIndex)
            continue;
        const QByteArrayView record = records.utf8At(i);
        if (record == QByteArrayView(sentinel))
            continue;
        job->records.spans.emplace_back(job->records.text.size(), record.size());
        job->records.text.append(record);
    }

    // The first records are listed here, sorted among themselves, so the list has
    // rows at once; the whole listing replaces them once it is built.
    const std::size_t firstCount = std::min(job->records.size(), std::size_t(m_firstListingRows));
    FileListRows first = buildRows(job->records, 0, firstCount);
    if (job->column == LastModifiedColumn) {
        std::vector<const QString *> paths;
        for (const auto &row : first)
            paths.push_back(&row->path);
        const std::vector<std::optional<qint64>> stamps = readModifiedMSecs(paths);
        for (std::size_t i = 0; i < first.size(); ++i)
            applyDetails(*first[i], stamps[i]);
    }
    auto listing = std::make_unique<Listing>();
    listing->job = job;
    const bool complete = firstCount == job->records.size();
    for (std::size_t i = 0; !complete && i < first.size(); ++i)
        listing->shown.insert(first[i].get(), int(i));
    applyOrder(first, sortedOrder(first, job->column));
    removeDuplicatePaths(first);

    const bool sortingWasOn = m_sorted;
    m_sorted = true;
    beginResetModel();
    std::swap(m_rows, first);
    endResetModel();
    disposeOfRows(std::move(first));
    if (!sortingWasOn)
        Q_EMIT sortingChanged(m_sortColumn);
    if (complete) {
        freeDisposedRows();
        startBackgroundFill(0);
        Q_EMIT listingFinished();
        return;
    }

    // Rows dropped as duplicates among the first ones are not shown.
    QSet<const FileListRow *> kept;
    for (const auto &row : m_rows)
        kept.insert(row.get());
    for (auto it = listing->shown.begin(); it != listing->shown.end();) {
        if (kept.contains(it.key()))
            ++it;
        else
            it = listing->shown.erase(it);
    }
    listing->firstCount = firstCount;
    m_listing = std::move(listing);
    QThread *worker = QThread::create([job, firstCount] { buildListing(*job, firstCount); });
    connect(worker, &QThread::finished, this, [this, job] {
        if (m_listing && m_listing->job == job)
            handOverListing();
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void FileListModel::setListingSteps(int firstRows)
{
    m_firstListingRows = std::max(1, firstRows);
}

void FileListModel::abandonListing()
{
    if (!m_listing)
        return;
    m_listing->job->abandoned = true;
    m_listing.reset();
}

void FileListModel::handOverListing()
{
    const std::unique_ptr<Listing> listing = std::move(m_listing);
    ListingJob &job = *listing->job;

    // Which shown rows the whole listing keeps: those of its first records that no
    // later row of the same path superseded, and that are still in the list.
    std::vector<FileListRow *> shownAt(listing->firstCount, nullptr);
    for (auto it = listing->shown.cbegin(); it != listing->shown.cend(); ++it)
        shownAt[std::size_t(it.value())] = const_cast<FileListRow *>(it.key());
    QSet<const FileListRow *> stays;
    for (std::size_t i = 0; i < job.rows.size(); ++i) {
        const int record = job.firstRecordOf[i];
        if (record >= 0 && shownAt[std::size_t(record)])
            stays.insert(shownAt[std::size_t(record)]);
    }
    for (int row = rowCount() - 1; row >= 0; --row) {
        const FileListRow *shown = m_rows[std::size_t(row)].get();
        if (listing->shown.contains(shown) && !stays.contains(shown))
            removeRange(row, row);
    }

    // The new rows go in at the end, then one reordering puts every row in its place.
    QHash<const FileListRow *, int> current;
    for (int row = 0; row < rowCount(); ++row)
        current.insert(m_rows[std::size_t(row)].get(), row);
    std::vector<int> order;
    order.reserve(job.rows.size() + m_rows.size());
    std::size_t added = 0;
    for (std::size_t i = 0; i < job.rows.size(); ++i)
        added += job.firstRecordOf[i] < 0;
    const int oldCount = rowCount();
    if (added > 0)
        beginInsertRows({}, oldCount, oldCount + int(added) - 1);
    for (std::size_t i = 0; i < job.rows.size(); ++i) {
        const int record = job.firstRecordOf[i];
        if (record < 0) {
            order.push_back(int(m_rows.size()));
            m_rows.push_back(std::move(job.rows[i]));
        } else if (const FileListRow *shown = shownAt[std::size_t(record)]) {
            order.push_back(current.value(shown));
        }
    }
    if (added > 0)
        endInsertRows();
    // Rows that scans or searches added meanwhile take their places as they would
    // have behind a finished listing.
    std::vector<int> extras;
    for (int row = 0; row < oldCount; ++row) {
        if (!stays.contains(m_rows[std::size_t(row)].get()))
            extras.push_back(row);
    }
    if (!extras.empty()) {
        std::vector<int> merged;
        merged.reserve(order.size() + extras.size());
        std::merge(order.begin(), order.end(), extras.begin(), extras.end(), std::back_inserter(merged),
                   [this, &job](int extra, int listed) {
                       return rowLess(*m_rows[std::size_t(extra)], *m_rows[std::size_t(listed)], job.column);
                   });
        order = std::move(merged);
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    reorder(order);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    if (m_sortColumn != job.column)
        sortWithLayoutChange();
    freeDisposedRows();
    startBackgroundFill(0);
    Q_EMIT listingFinished();
}

void FileListModel::forgetListedRows(int first, int last)
{
    if (!m_listing)
        return;
    for (int i = first; i <= last; ++i)
        m_listing->shown.remove(m_rows[std::size_t(i)].get());
}
