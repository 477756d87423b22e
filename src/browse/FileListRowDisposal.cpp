#include "FileListModel.h"

#include <QThreadPool>

namespace {

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

} // namespace

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
