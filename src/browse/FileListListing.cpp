#include "FileListListing.h"

#include "Catalog.h"
#include "ConnectedDrives.h"
#include "FileRecord.h"
#include "FileListRowDates.h"
#include "FileStamp.h"

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

void buildRows(const RecordTexts &records, std::size_t first, std::size_t last, FileListRowTexts &texts,
               PackedRows &rows)
{
    for (std::size_t i = first; i < last; ++i) {
        const RecordUtf8Views parts = recordUtf8Views(records[i]);
        rows[i] = FileListRows::packUtf8(texts, parts.path, parts.keywords, RowNaming::WithoutExtension);
    }
}

FileListRows buildRows(const RecordTexts &records, std::size_t count)
{
    FileListRows rows;
    rows.rows.resize(count);
    auto texts = std::make_shared<FileListRowTexts>();
    buildRows(records, 0, count, *texts, rows.rows);
    rows.keepTexts(texts);
    return rows;
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

    // Every row of the listing, those of the records listed at once among them,
    // marked by their listedAt: the rows already shown stand for them.
    FileListRows rows;
};

namespace {

void buildListing(ListingJob &job, std::size_t firstCount)
{
    // Building the rows is most of the work, and the window's thread is idle
    // meanwhile: half of them are built on a second thread.
    const std::size_t half = job.records.size() / 2;
    FileListRows rows;
    rows.rows.resize(job.records.size());
    const auto firstTexts = std::make_shared<FileListRowTexts>();
    const auto secondTexts = std::make_shared<FileListRowTexts>();
    std::thread helper([&] { buildRows(job.records, half, job.records.size(), *secondTexts, rows.rows); });
    buildRows(job.records, 0, half, *firstTexts, rows.rows);
    helper.join();
    rows.keepTexts(firstTexts);
    rows.keepTexts(secondTexts);
    job.records = {};
    for (std::size_t i = 0; i < std::min(firstCount, rows.size()); ++i)
        rows.rows[i].listedAt = quint32(i + 1);
    if (job.abandoned)
        return;
    if (job.column == LastModifiedColumn)
        dateRows(rows.rows.data(), rows.size(), *job.drives, &job.abandoned);
    if (job.abandoned)
        return;
    applyOrder(rows.rows, sortedOrder(rows.rows, job.column));
    rows.removeDuplicatePaths();
    job.rows = std::move(rows);
}

} // namespace

void FileListModel::ShowCategoryFiles(const Catalog &catalog, int categoryIndex)
{
    m_fillTimer.stop();
    abandonListing();
    abandonRowsBeingDated();
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
    FileListRows first = buildRows(job->records, firstCount);
    if (job->column == LastModifiedColumn) {
        std::vector<QString> paths;
        for (const PackedRow &row : first.rows)
            paths.push_back(::rowPath(row));
        const std::vector<std::optional<qint64>> stamps = readModifiedMSecs(paths);
        for (std::size_t i = 0; i < first.size(); ++i)
            applyDetails(first.rows[i], paths[i], stamps[i]);
    }
    const bool complete = firstCount == job->records.size();
    for (std::size_t i = 0; !complete && i < first.size(); ++i)
        first.rows[i].listedAt = quint32(i + 1);
    applyOrder(first.rows, sortedOrder(first.rows, job->column));
    // Rows dropped here as duplicates are not shown, and take their marks with them.
    first.removeDuplicatePaths();

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

    auto listing = std::make_unique<Listing>();
    listing->job = job;
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
    PackedRows &built = job.rows.rows;

    // The shown rows whose records the whole listing dropped (a later record of the
    // same path) go; those the user removed meanwhile are gone already.
    std::vector<char> recordKept(listing->firstCount, 0);
    for (const PackedRow &row : built) {
        if (row.listedAt > 0)
            recordKept[row.listedAt - 1] = 1;
    }
    for (int row = rowCount() - 1; row >= 0; --row) {
        const quint32 listedAt = packedRow(row).listedAt;
        if (listedAt > 0 && !recordKept[listedAt - 1])
            removeRange(row, row);
    }

    // The new rows go in at the end, then one reordering puts every row in its place.
    std::vector<int> shownRowOf(listing->firstCount, -1);
    std::vector<int> extras; // rows that scans or searches added meanwhile
    const int oldCount = rowCount();
    for (int row = 0; row < oldCount; ++row) {
        const quint32 listedAt = packedRow(row).listedAt;
        if (listedAt > 0)
            shownRowOf[listedAt - 1] = row;
        else
            extras.push_back(row);
    }
    std::vector<int> order;
    order.reserve(built.size() + extras.size());
    std::size_t added = 0;
    for (const PackedRow &row : built) {
        if (row.listedAt == 0) {
            order.push_back(oldCount + int(added));
            built[added++] = row;
        } else if (const int shown = shownRowOf[row.listedAt - 1]; shown >= 0) {
            order.push_back(shown);
        }
    }
    built.resize(added);
    if (added > 0) {
        beginInsertRows({}, oldCount, oldCount + int(added) - 1);
        m_rows.append(std::move(job.rows));
        endInsertRows();
    }
    // The extras take their places as they would have behind a finished listing.
    if (!extras.empty()) {
        std::vector<int> merged;
        merged.reserve(order.size() + extras.size());
        RowComparer less(job.column);
        std::merge(order.begin(), order.end(), extras.begin(), extras.end(), std::back_inserter(merged),
                   [this, &less](int extra, int listed) { return less(packedRow(extra), packedRow(listed)); });
        order = std::move(merged);
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    reorder(order);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    for (PackedRow &row : m_rows.rows)
        row.listedAt = 0;
    if (m_sortColumn != job.column)
        sortWithLayoutChange();
    freeDisposedRows();
    startBackgroundFill(0);
    Q_EMIT listingFinished();
}
