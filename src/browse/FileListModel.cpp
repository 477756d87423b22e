#include "FileListModel.h"

#include "Catalog.h"
#include "DisplayText.h"
#include "FileIconCache.h"
#include "FileRecord.h"
#include "FileStamp.h"
#include "FileTypeCache.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

// One slice of the idle pass; short enough that typing and scrolling go on.
constexpr qint64 kFillSliceMSecs = 8;
// One step of a listing: input waits at most about this long, plus the merge.
constexpr qint64 kListSliceMSecs = 6;
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
    if (row.details != FileListRow::Details::Read)
        return {};
    return QDateTime::fromMSecsSinceEpoch(row.modifiedMSecs);
}

} // namespace

struct FileListModel::Listing {
    // The row listed so far for a path, and the step that listed it.
    struct Listed {
        FileListRow *row = nullptr;
        quint64 step = 0;
        std::size_t index = 0; // in that step's batch
    };

    std::vector<QString> records; // the category's, as they were at the click
    std::size_t next = 0;
    quint64 step = 0;
    QHash<QString, Listed> byPath;
    QHash<QString, QString> extensions;
};

FileListModel::FileListModel(FileIconCache &icons, FileTypeCache &types, QObject *parent)
    : QAbstractTableModel(parent)
    , m_icons(icons)
    , m_types(types)
{
    m_fillTimer.setSingleShot(true);
    m_fillTimer.setInterval(0);
    connect(&m_fillTimer, &QTimer::timeout, this, &FileListModel::fillSomeDetails);
    m_listTimer.setSingleShot(true);
    m_listTimer.setInterval(0);
    connect(&m_listTimer, &QTimer::timeout, this, &FileListModel::listSomeRows);
}

FileListModel::~FileListModel() = default;

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
            return row.type;
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
    case Qt::ToolTipRole:
        return index.column() == NameColumn ? QVariant(row.path) : QVariant();
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
    m_fillTimer.stop();
    abandonListing();
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void FileListModel::ShowCategoryFiles(const Catalog &catalog, int categoryIndex)
{
    m_fillTimer.stop();
    abandonListing();
    // The records are copied out first: the catalog may change while the listing
    // runs, and the list must be what it was at the click.
    auto listing = std::make_unique<Listing>();
    const RecordList &records = catalog.records();
    for (int i = 0; categoryIndex > 0 && i < records.size(); ++i) {
        // The cached index spares parsing the records of every other category.
        if (records.categoryAt(i) != categoryIndex)
            continue;
        QString record = records.at(i);
        if (!isSentinel(record))
            listing->records.push_back(std::move(record));
    }
    m_listing = std::move(listing);
    const bool sortingWasOn = m_sorted;
    m_sorted = true;
    beginResetModel();
    m_rows.clear();
    listStep(std::size_t(m_firstListingRows), 0, true);
    endResetModel();
    if (!sortingWasOn)
        Q_EMIT sortingChanged(m_sortColumn);
    continueListing();
}

void FileListModel::setListingSteps(int firstRows, int rowsPerStep)
{
    m_firstListingRows = std::max(1, firstRows);
    m_listingStepRows = std::max(1, rowsPerStep);
}

void FileListModel::abandonListing()
{
    m_listTimer.stop();
    m_listing.reset();
}

void FileListModel::continueListing()
{
    if (!m_listing)
        return;
    if (m_listing->next < m_listing->records.size()) {
        m_listTimer.start();
        return;
    }
    m_listing.reset();
    startBackgroundFill(0);
    Q_EMIT listingFinished();
}

void FileListModel::listSomeRows()
{
    if (!m_listing)
        return;
    listStep(std::size_t(m_listingStepRows), kListSliceMSecs, false);
    continueListing();
}

void FileListModel::listStep(std::size_t maxRows, qint64 sliceMSecs, bool intoEmptyList)
{
    Listing &listing = *m_listing;
    const auto column = FileListColumn(m_sortColumn);
    QElapsedTimer clock;
    clock.start();

    FileListRows batch;
    const std::size_t end = std::min(listing.records.size(), listing.next + maxRows);
    while (listing.next < end) {
        QString &record = listing.records[listing.next++];
        auto row = std::make_unique<FileListRow>(makeFileListRow(recordPath(record), recordKeywords(record)));
        record = QString();
        // A category holds a handful of extensions: one shared copy of each.
        auto known = listing.extensions.constFind(row->extension);
        if (known == listing.extensions.constEnd())
            known = listing.extensions.insert(row->extension, row->extension);
        row->extension = known.value();
        batch.push_back(std::move(row));
        if (sliceMSecs > 0 && batch.size() % 256 == 0 && clock.hasExpired(sliceMSecs))
            break;
    }
    if (column == LastModifiedColumn) {
        std::vector<const QString *> paths;
        paths.reserve(batch.size());
        for (const auto &row : batch)
            paths.push_back(&row->path);
        const std::vector<std::optional<qint64>> stamps = readModifiedMSecs(paths);
        for (std::size_t i = 0; i < batch.size(); ++i)
            applyDetails(*batch[i], stamps[i]);
    }

    // Of the rows of one path, the one that sorts last stays: on equal keys the
    // later record's. A row listed in an earlier step gives its place to the row
    // that supersedes it.
    ++listing.step;
    std::vector<FileListRow *> supersedes(batch.size(), nullptr);
    std::vector<char> dropped(batch.size(), 0);
    for (std::size_t i = 0; i < batch.size(); ++i) {
        FileListRow *row = batch[i].get();
        auto found = listing.byPath.find(row->path);
        if (found == listing.byPath.end()) {
            listing.byPath.insert(row->path, {row, listing.step, i});
            continue;
        }
        Listing::Listed &earlier = found.value();
        if (rowLess(*row, *earlier.row, column)) {
            dropped[i] = 1;
            continue;
        }
        if (earlier.step == listing.step) {
            dropped[earlier.index] = 1;
            supersedes[i] = supersedes[earlier.index];
        } else {
            supersedes[i] = earlier.row;
        }
        earlier = {row, listing.step, i};
    }
    std::vector<std::size_t> survivors;
    survivors.reserve(batch.size());
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (!dropped[i])
            survivors.push_back(i);
    }
    std::stable_sort(survivors.begin(), survivors.end(),
                     [&](std::size_t a, std::size_t b) { return rowLess(*batch[a], *batch[b], column); });

    if (intoEmptyList) {
        for (std::size_t i : survivors)
            m_rows.push_back(std::move(batch[i]));
        return;
    }

    // Every new row gets a place in the list first: the place of the row it
    // supersedes, or a new one at the end. One reordering then puts them all where
    // they belong, between rows that keep their order.
    const std::size_t oldCount = m_rows.size();
    std::vector<int> slotOf(batch.size(), -1);
    std::vector<char> taken(oldCount, 0);
    for (std::size_t i : survivors) {
        if (!supersedes[i])
            continue;
        const std::size_t at = positionOf(supersedes[i]);
        slotOf[i] = int(at);
        taken[at] = 1;
    }
    std::vector<std::size_t> appended;
    for (std::size_t i : survivors) {
        if (slotOf[i] < 0)
            appended.push_back(i);
    }
    std::sort(appended.begin(), appended.end()); // record order, so the end of the list reads as the records do
    if (!appended.empty()) {
        beginInsertRows({}, int(oldCount), int(oldCount + appended.size()) - 1);
        for (std::size_t i : appended) {
            slotOf[i] = int(m_rows.size());
            m_rows.push_back(std::move(batch[i]));
        }
        endInsertRows();
    }

    std::vector<int> kept;
    kept.reserve(oldCount);
    for (std::size_t i = 0; i < oldCount; ++i) {
        if (!taken[i])
            kept.push_back(int(i));
    }
    std::vector<int> order;
    order.reserve(m_rows.size());
    auto next = kept.cbegin();
    for (std::size_t i : survivors) {
        const FileListRow *row = batch[i] ? batch[i].get() : m_rows[std::size_t(slotOf[i])].get();
        const auto to = std::upper_bound(next, kept.cend(), row, [&](const FileListRow *value, int old) {
            return rowLess(*value, *m_rows[std::size_t(old)], column);
        });
        order.insert(order.end(), next, to);
        next = to;
        order.push_back(slotOf[i]);
    }
    order.insert(order.end(), next, kept.cend());

    bool inPlace = true;
    for (std::size_t i = 0; i < order.size() && inPlace; ++i)
        inPlace = order[i] == int(i);
    if (inPlace && std::none_of(supersedes.begin(), supersedes.end(), [](FileListRow *row) { return row; }))
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    for (std::size_t i : survivors) {
        if (batch[i])
            m_rows[std::size_t(slotOf[i])] = std::move(batch[i]);
    }
    reorder(order);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::size_t FileListModel::positionOf(const FileListRow *row) const
{
    // The list is sorted, so the row sits among those of its key; a list that an
    // edit has put out of order is searched through.
    const auto column = FileListColumn(m_sortColumn);
    const auto low = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                                      [&](const auto &a, const FileListRow *b) { return rowLess(*a, *b, column); });
    const auto high = std::upper_bound(low, m_rows.end(), row,
                                       [&](const FileListRow *a, const auto &b) { return rowLess(*a, *b, column); });
    for (auto it = low; it != high; ++it) {
        if (it->get() == row)
            return std::size_t(it - m_rows.begin());
    }
    const auto found = std::find_if(m_rows.begin(), m_rows.end(), [row](const auto &each) { return each.get() == row; });
    return std::size_t(found - m_rows.begin());
}

void FileListModel::forgetListedRows(int first, int last)
{
    if (!m_listing)
        return;
    for (int i = first; i <= last; ++i) {
        const FileListRow *row = m_rows[std::size_t(i)].get();
        const auto found = m_listing->byPath.constFind(row->path);
        if (found != m_listing->byPath.constEnd() && found->row == row)
            m_listing->byPath.erase(found);
    }
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
    if (row.details != FileListRow::Details::NotRead)
        return;
    applyDetails(row, readModifiedMSecs(row.path));
}

void FileListModel::applyDetails(FileListRow &row, std::optional<qint64> modified) const
{
    if (!modified) {
        // Nothing of any other file: no type, no date, no icon.
        row.details = FileListRow::Details::Unreadable;
        return;
    }
    row.modifiedMSecs = *modified;
    row.type = m_types.descriptionForPath(row.path);
    row.iconIndex = m_icons.iconIndexForExistingFile(row.path);
    row.details = FileListRow::Details::Read;
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
                       [](const auto &row) { return row->details != FileListRow::Details::NotRead; });
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
