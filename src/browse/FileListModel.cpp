#include "FileListModel.h"

#include "FileListListing.h"
#include "FileListRowDates.h"
#include "DisplayText.h"
#include "FileIconCache.h"
#include "FileTypeCache.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QPalette>
#include <QHash>
#include <QSet>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <numeric>

namespace {

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

QDateTime modifiedTime(const PackedRow &row)
{
    if (row.details != FileListRow::Details::Read && row.details != FileListRow::Details::Dated)
        return {};
    return QDateTime::fromMSecsSinceEpoch(row.modifiedMSecs);
}

} // namespace

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
    abandonRowsBeingDated();
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
        urls.append(QUrl::fromLocalFile(::rowPath(packedRow(row))));
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
    PackedRow &row = packedRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return rowName(row);
        case ExtensionColumn:
            return rowExtension(row);
        case TypeColumn:
            fillDetails(row);
            if (row.details == FileListRow::Details::Offline)
                return kOfflineType;
            return row.details == FileListRow::Details::Read ? m_types.description(rowExtensionAsWritten(row)) : QString();
        case LastModifiedColumn:
            fillDetails(row);
            return GeneralDate(modifiedTime(row));
        case KeywordsColumn:
            return *row.keywords;
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
        return index.column() == NameColumn ? QVariant(::rowPath(row)) : QVariant();
    case OfflineRole:
        fillDetails(row);
        return row.details == FileListRow::Details::Offline;
    case PathRole:
        return ::rowPath(row);
    case KeywordsRole:
        return *row.keywords;
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
    abandonRowsBeingDated();
    if (m_rows.empty())
        return;
    beginResetModel();
    FileListRows old;
    std::swap(old, m_rows);
    endResetModel();
    disposeOfRows(std::move(old));
    freeDisposedRows();
}

void FileListModel::appendRow(const QString &path, const QString &keywords, RowNaming naming)
{
    // Made at the end, where its texts go, then moved to its place.
    m_rows.add(path, keywords, naming);
    PackedRow added = m_rows.rows.back();
    m_rows.rows.pop_back();
    std::size_t position = m_rows.size();
    if (m_sorted) {
        // Sorting by date read every row's date, and every row added since read
        // its own here, so the rows it is compared with all have theirs.
        if (m_sortColumn == LastModifiedColumn)
            fillDetails(added);
        position = sortedInsertPosition(m_rows.rows, added, FileListColumn(m_sortColumn));
    }
    beginInsertRows({}, int(position), int(position));
    m_rows.rows.insert(m_rows.rows.begin() + std::ptrdiff_t(position), added);
    endInsertRows();
    m_fillCursor = std::min(m_fillCursor, int(position));
}

void FileListModel::appendRows(FileListRows rows)
{
    if (rows.empty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.append(std::move(rows));
    endInsertRows();
    // Stable, so this is where adding them one by one would have put them. Rows that
    // arrive already in order behind the last one (a scan sorts its rows before it
    // hands them over, batch by batch) are where they belong.
    if (m_sorted && !isInOrderFrom(m_rows.rows, std::size_t(first), FileListColumn(m_sortColumn)))
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
    beginResetModel();
    std::vector<char> doomed(m_rows.size(), 0);
    for (int row : rows)
        doomed[std::size_t(row)] = 1;
    PackedRows &packed = m_rows.rows;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < packed.size(); ++i) {
        if (!doomed[i])
            packed[kept++] = packed[i];
    }
    packed.resize(kept);
    endResetModel();
}

void FileListModel::removeRange(int first, int last)
{
    beginRemoveRows({}, first, last);
    m_rows.rows.erase(m_rows.rows.begin() + first, m_rows.rows.begin() + last + 1);
    endRemoveRows();
}

void FileListModel::setKeywords(const QList<int> &rows, const QString &keywords)
{
    const QString *text = m_rows.keywordsText(keywords);
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        packedRow(row).keywords = text;
        const QModelIndex cell = index(row, KeywordsColumn);
        Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, KeywordsRole});
    }
}

QString FileListModel::rowPath(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return ::rowPath(packedRow(row));
}

QString FileListModel::rowKeywords(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return *packedRow(row).keywords;
}

std::optional<FileListRow> FileListModel::rowAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    const PackedRow &packed = packedRow(row);
    FileListRow unpacked = unpackedRow(packed);
    if (packed.details == FileListRow::Details::Read)
        unpacked.type = m_types.description(rowExtensionAsWritten(packed));
    return unpacked;
}

void FileListModel::sortWithLayoutChange()
{
    // Only the times are needed to sort by them; type and icon follow when shown.
    if (m_sortColumn == LastModifiedColumn)
        dateRows(m_rows.rows.data(), m_rows.size(), drives());
    const std::vector<int> order = sortedOrder(m_rows.rows, FileListColumn(m_sortColumn));
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
    applyOrder(m_rows.rows, order);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newPosition[std::size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
}
