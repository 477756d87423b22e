#include "FileListModel.h"

#include "Catalog.h"
#include "ConnectedDrives.h"
#include "DeleteDuplicates.h"
#include "DisplayText.h"
#include "FileIconCache.h"
#include "FileRecord.h"
#include "FileStamp.h"
#include "FileTypeCache.h"
#include "RecordRowBuilder.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QPalette>
#include <QElapsedTimer>
#include <QHash>
#include <QThread>
#include <QThreadPool>
#include <QSet>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <thread>

namespace {

// One slice of the idle pass; short enough that typing and scrolling go on.
constexpr qint64 kFillSliceMSecs = 8;
// Rows read in one batch: enough to spread the disk's answers over two cores,
// few enough to stay near one slice.
constexpr int kFillBatchRows = 8192;
// Beyond this many separate blocks, one reset is cheaper than a signal per block.
constexpr int kMaxRemovalBlocks = 64;

QString columnCaption(int column)
{
    switch (column) {
    case NameColumn:
        return QStringLiteral("Name");
    case ExtensionColumn:
        return QStringLiteral("Extension");
    case TypeColumn:
        return QStringLiteral("Type");
    case LastModifiedColumn:
        return QStringLiteral("Last Modified");
    case KeywordsColumn:
        return QStringLiteral("Keywords");
    default:
        return {};
    }
}

QDateTime modifiedTime(const FileListRow &row)
{
    if (row.details != FileListRow::Details::Read && row.details != FileListRow::Details::Dated)
        return {};
    return QDateTime::fromMSecsSinceEpoch(row.modifiedMSecs);
}

} // namespace

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

// Freeing a few hundred thousand rows held the window's thread for a fifth of a
// second at every click; a pool thread frees big lists instead.
constexpr std::size_t kRowsFreedElsewhere = 20000;

void freeOnPoolThread(FileListRows rows)
{
    if (rows.size() < kRowsFreedElsewhere)
        return;
    // Owned by the task alone: a reference left here could be the last one, and the
    // rows would be freed on this thread after all.
    auto *doomed = new FileListRows(std::move(rows));
    QThreadPool::globalInstance()->start([doomed] { delete doomed; });
}

void removeDuplicatePaths(FileListRows &rows)
{
    DeleteDuplicates(rows, [](const std::unique_ptr<FileListRow> &row) -> const QString & { return row->path; });
}

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

struct FileListModel::Listing {
    std::shared_ptr<ListingJob> job;
    std::size_t firstCount = 0;
    // The rows listed at once that are still in the list, by their record.
    QHash<const FileListRow *, int> shown;
};

FileListModel::FileListModel(FileIconCache &icons, FileTypeCache &types, QObject *parent)
    : QAbstractTableModel(parent)
    , m_icons(icons)
    , m_types(types)
{
    m_fillTimer.setSingleShot(true);
    m_fillTimer.setInterval(0);
    connect(&m_fillTimer, &QTimer::timeout, this, &FileListModel::fillSomeDetails);
}

FileListModel::~FileListModel()
{
    abandonListing();
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_rows.size());
}

int FileListModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return FileListColumnCount;
}

bool FileListModel::isRowIndex(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && !index.parent().isValid() && index.row() < rowCount()
        && index.column() < FileListColumnCount;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    if (!isRowIndex(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList FileListModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData *FileListModel::mimeData(const QModelIndexList &indexes) const
{
    // One URL per row, in the list's order, whatever order the view hands the cells in.
    std::vector<int> rows;
    for (const QModelIndex &index : indexes) {
        if (isRowIndex(index))
            rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<QUrl> urls;
    urls.reserve(qsizetype(rows.size()));
    for (int row : rows)
        urls.append(QUrl::fromLocalFile(m_rows[std::size_t(row)]->path));
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions FileListModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!isRowIndex(index))
        return {};
    FileListRow &row = *m_rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return row.name;
        case ExtensionColumn:
            return row.extension;
        case TypeColumn:
            fillDetails(row);
            return row.details == FileListRow::Details::Offline ? kOfflineType : row.type;
        case LastModifiedColumn:
            fillDetails(row);
            return GeneralDate(modifiedTime(row));
        case KeywordsColumn:
            return row.keywords;
        }
        return {};
    case Qt::DecorationRole: {
        if (index.column() != NameColumn)
            return {};
        fillDetails(row);
        const QIcon icon = m_icons.icon(row.iconIndex);
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::ForegroundRole:
        fillDetails(row);
        if (row.details != FileListRow::Details::Offline)
            return {};
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    case Qt::ToolTipRole:
        return index.column() == NameColumn ? QVariant(row.path) : QVariant();
    case OfflineRole:
        fillDetails(row);
        return row.details == FileListRow::Details::Offline;
    case PathRole:
        return row.path;
    case KeywordsRole:
        return row.keywords;
    case ModifiedRole:
        fillDetails(row);
        return modifiedTime(row);
    }
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const QString caption = columnCaption(section);
    return caption.isEmpty() ? QVariant() : QVariant(caption);
}

void FileListModel::sort(int column, Qt::SortOrder)
{
    if (!isSortColumn(column))
        return;
    m_sortColumn = column;
    m_sorted = true;
    sortWithLayoutChange();
    Q_EMIT sortingChanged(m_sortColumn);
}

void FileListModel::clear()
{
    // Searches and scans start with a clear list: their rows look at the drives anew.
    m_drives.reset();
    m_fillTimer.stop();
    abandonListing();
    if (m_rows.empty())
        return;
    beginResetModel();
    FileListRows old = std::move(m_rows);
    endResetModel();
    disposeOfRows(std::move(old));
    freeDisposedRows();
}

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

void FileListModel::disposeOfRows(FileListRows rows)
{
    m_disposedRows.push_back(std::move(rows));
}

void FileListModel::freeDisposedRows()
{
    // Not while a listing is built: it wants both cores, and its rows come first.
    if (m_listing)
        return;
    for (FileListRows &rows : m_disposedRows)
        freeOnPoolThread(std::move(rows));
    m_disposedRows.clear();
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

void FileListModel::appendRow(FileListRow row)
{
    auto added = std::make_unique<FileListRow>(std::move(row));
    std::size_t position = m_rows.size();
    if (m_sorted) {
        // Sorting by date read every row's date, and every row added since read
        // its own here, so the rows it is compared with all have theirs.
        if (m_sortColumn == LastModifiedColumn)
            fillDetails(*added);
        position = sortedInsertPosition(m_rows, *added, FileListColumn(m_sortColumn));
    }
    beginInsertRows({}, int(position), int(position));
    m_rows.insert(m_rows.begin() + std::ptrdiff_t(position), std::move(added));
    endInsertRows();
    m_fillCursor = std::min(m_fillCursor, int(position));
}

void FileListModel::appendRows(std::vector<FileListRow> rows)
{
    FileListRows made;
    made.reserve(rows.size());
    for (FileListRow &row : rows)
        made.push_back(std::make_unique<FileListRow>(std::move(row)));
    appendRows(std::move(made));
}

void FileListModel::appendRows(FileListRows rows)
{
    if (rows.empty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
    // Stable, so this is where adding them one by one would have put them. Rows that
    // arrive already in order behind the last one (a scan sorts its rows before it
    // hands them over, batch by batch) are where they belong.
    if (m_sorted && !isInOrderFrom(m_rows, std::size_t(first), FileListColumn(m_sortColumn)))
        sortWithLayoutChange();
    m_fillCursor = std::min(m_fillCursor, m_sorted ? 0 : first);
}

void FileListModel::removeRowsAt(QList<int> rows)
{
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int row) { return row < 0 || row >= rowCount(); }),
               rows.end());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    QList<std::pair<int, int>> blocks; // first, last
    for (int row : rows) {
        if (!blocks.isEmpty() && blocks.last().second + 1 == row)
            blocks.last().second = row;
        else
            blocks.append({row, row});
    }
    m_fillCursor = std::min(m_fillCursor, rows.first());
    if (blocks.size() <= kMaxRemovalBlocks) {
        // From the last block up, so that the earlier blocks keep their positions.
        for (auto it = blocks.crbegin(); it != blocks.crend(); ++it)
            removeRange(it->first, it->second);
        return;
    }
    for (int row : rows)
        forgetListedRows(row, row);
    beginResetModel();
    std::vector<char> doomed(m_rows.size(), 0);
    for (int row : rows)
        doomed[std::size_t(row)] = 1;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (!doomed[i])
            m_rows[kept++] = std::move(m_rows[i]);
    }
    m_rows.resize(kept);
    endResetModel();
}

void FileListModel::removeRange(int first, int last)
{
    forgetListedRows(first, last);
    beginRemoveRows({}, first, last);
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
    endRemoveRows();
}

void FileListModel::setKeywords(const QList<int> &rows, const QString &keywords)
{
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        m_rows[std::size_t(row)]->keywords = keywords;
        const QModelIndex cell = index(row, KeywordsColumn);
        Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, KeywordsRole});
    }
}

QString FileListModel::rowPath(int row) const
{
    const FileListRow *found = rowAt(row);
    return found ? found->path : QString();
}

QString FileListModel::rowKeywords(int row) const
{
    const FileListRow *found = rowAt(row);
    return found ? found->keywords : QString();
}

const FileListRow *FileListModel::rowAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    return m_rows[std::size_t(row)].get();
}

void FileListModel::fillDetails(FileListRow &row) const
{
    if (row.details == FileListRow::Details::Dated)
        applyDetails(row, row.modifiedMSecs);
    if (row.details != FileListRow::Details::NotRead)
        return;
    applyDetails(row, readModifiedMSecs(row.path));
}

void FileListModel::applyDetails(FileListRow &row, std::optional<qint64> modified) const
{
    if (!modified) {
        // Nothing of any other file: no type, no date, no icon.
        row.details = drives().offlineVolumeOf(row.path).isEmpty() ? FileListRow::Details::Unreadable
                                                                   : FileListRow::Details::Offline;
        return;
    }
    row.modifiedMSecs = *modified;
    row.type = m_types.descriptionForPath(row.path);
    row.iconIndex = m_icons.iconIndexForExistingFile(row.path);
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
    std::vector<FileListRow *> pending;
    std::vector<const QString *> paths;
    for (int i = first; i < last; ++i) {
        FileListRow *row = m_rows[std::size_t(i)].get();
        if (row->details == FileListRow::Details::Dated)
            applyDetails(*row, row->modifiedMSecs);
        if (row->details == FileListRow::Details::NotRead) {
            pending.push_back(row);
            paths.push_back(&row->path);
        }
    }
    // The disk is asked in one batch; the caches are ours alone and are filled here.
    const std::vector<std::optional<qint64>> stamps = readModifiedMSecs(paths);
    for (std::size_t i = 0; i < pending.size(); ++i)
        applyDetails(*pending[i], stamps[i]);
}

bool FileListModel::allDetailsFilled() const
{
    return std::all_of(m_rows.begin(), m_rows.end(),
                       [](const auto &row) {
                           return row->details == FileListRow::Details::Read
                               || row->details == FileListRow::Details::Unreadable
                               || row->details == FileListRow::Details::Offline;
                       });
}

void FileListModel::setBackgroundFillEnabled(bool enabled)
{
    m_backgroundFill = enabled;
    if (!enabled)
        m_fillTimer.stop();
}

void FileListModel::sortWithLayoutChange()
{
    if (m_sortColumn == LastModifiedColumn)
        fillAllDetails();
    const std::vector<int> order = sortedOrder(m_rows, FileListColumn(m_sortColumn));
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    reorder(order);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    m_fillCursor = 0;
}

void FileListModel::reorder(const std::vector<int> &order)
{
    std::vector<int> newPosition(order.size());
    for (std::size_t to = 0; to < order.size(); ++to)
        newPosition[std::size_t(order[to])] = int(to);
    applyOrder(m_rows, order);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newPosition[std::size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
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
