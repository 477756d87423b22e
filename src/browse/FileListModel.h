#pragma once

#include "FileListRows.h"
#include "FileListSorting.h"

#include <QAbstractTableModel>
#include <QList>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

class Catalog;
class FileIconCache;
class OfflineVolumes;
class FileTypeCache;

// The rows of the file list: one per listed file, with the columns "Name",
// "Extension", "Type", "Last Modified" and "Keywords". Rows are built from the
// records alone; a row's type, date and icon are read from the disk the first time
// anyone asks for them (a view painting it, sorting by date) and by an idle pass
// after a listing. A row keeps its file name in UTF-8 and shares its folder and
// keywords with its neighbours; the texts shown are made when a view asks for them,
// so a list of a million rows costs about what its records do in the catalog file.
//
// A listing shows the rows of its first records at once and builds the whole list on
// a worker thread, so a category of a million files never freezes the window; the
// finished list then takes the place of the first rows in one step, and is the one
// a listing in a single pass gives.
//
// Sorting follows the header clicks: "Type" cannot be sorted by, the order is
// always ascending, and once a listing has switched sorting on every later row
// (scans, searches) goes to its place in that order.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        PathRole = Qt::UserRole + 1, // the row's tag: the file's full path
        KeywordsRole,
        ModifiedRole, // QDateTime, invalid when the file cannot be read
        OfflineRole, // bool: the file is on a drive that is not connected
    };
    static inline const QString kOfflineType = QStringLiteral("Drive not connected");

    FileListModel(FileIconCache &icons, FileTypeCache &types, QObject *parent = nullptr);
    ~FileListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Dragged rows leave as a list of files, copied by whoever takes them.
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    // A header click: the order argument is ignored, the list always ascends.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Clear List: every row goes; records, categories and the sort state stay.
    void clear();
    // Lists the files of the category: the catalog's records in order, the sentinel
    // left out, sorted by the current column, duplicate paths removed keeping the
    // last. An index below 1 is no category at all and lists nothing. The records
    // are taken as they stand now; the first rows are listed before this returns,
    // the rest follow, and listingFinished() says when the last one is in. A new
    // listing or Clear List abandons the one under way. A header click meanwhile
    // sorts the rows shown, and the finished list again.
    void ShowCategoryFiles(const Catalog &catalog, int categoryIndex);
    bool isListing() const { return m_listing != nullptr; }
    // How many records a listing lists at once, before the rest is built.
    void setListingSteps(int firstRows);
    // Rows added by scans and searches; they take their place in the sort order once
    // sorting is on, and go to the end before that.
    void appendRow(const QString &path, const QString &keywords, RowNaming naming = RowNaming::WithoutExtension);
    void appendRows(FileListRows rows);
    // The same, but in a list sorted by date the rows' times are read on a worker
    // thread first, and the rows come when they are; a Clear List or a listing
    // meanwhile drops them.
    void appendRowsOnceDated(FileListRows rows);
    bool isDatingRows() const { return m_rowsBeingDated != nullptr; }
    void removeRowsAt(QList<int> rows);
    void setKeywords(const QList<int> &rows, const QString &keywords);

    QString rowPath(int row) const;
    QString rowKeywords(int row) const;
    // The row as it stands; its type, date and icon may not have been read yet.
    std::optional<FileListRow> rowAt(int row) const;

    int sortColumn() const { return m_sortColumn; }
    bool isSorted() const { return m_sorted; }

    // Reads every row's type, date and icon that has not been read: one look at
    // the disk per row.
    void fillAllDetails();
    bool allDetailsFilled() const;
    // The idle pass after a listing; on by default.
    void setBackgroundFillEnabled(bool enabled);

Q_SIGNALS:
    // The sort column or the sorting switch changed.
    void sortingChanged(int column);
    // The idle pass has read the details of the last row.
    void detailsFilled();
    // The listing under way has listed its last row.
    void listingFinished();

private:
    // Checks quietly: views and testers probe indexes that may be gone.
    bool isRowIndex(const QModelIndex &index) const;
    PackedRow &packedRow(int row) const { return m_rows.rows[std::size_t(row)]; }
    void fillDetails(PackedRow &row) const;
    void applyDetails(PackedRow &row, const QString &path, std::optional<qint64> modified) const;
    // Which drives are connected, looked at once per listing or search.
    const OfflineVolumes &drives() const;
    void fillDetailsOf(int first, int last);
    void sortWithLayoutChange();
    void removeRange(int first, int last);
    void startBackgroundFill(int fromRow);
    void fillSomeDetails();
    void reorder(const std::vector<int> &order);

    // Rows that left the list are freed once no listing is being built.
    void disposeOfRows(FileListRows rows);
    void freeDisposedRows();

    struct Listing;
    void abandonListing();
    // The whole listing is built: its rows replace those listed at once.
    void handOverListing();

    FileIconCache &m_icons;
    FileTypeCache &m_types;
    // Mutable for the details read when a view first asks for them.
    mutable FileListRows m_rows;
    mutable std::shared_ptr<const OfflineVolumes> m_drives;
    int m_sortColumn = NameColumn;
    bool m_sorted = false;

    std::unique_ptr<Listing> m_listing;
    struct RowsBeingDated;
    std::shared_ptr<RowsBeingDated> m_rowsBeingDated;
    void abandonRowsBeingDated();
    std::vector<FileListRows> m_disposedRows;
    int m_firstListingRows = 2000;

    QTimer m_fillTimer;
    bool m_backgroundFill = true;
    int m_fillCursor = 0;
};
