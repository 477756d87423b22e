#pragma once

#include <QStringList>

#include <functional>

class Catalog;

// Edits of the catalog that move or remove records, written as single linear passes
// that leave the record list exactly as the record-by-record rules would.
namespace CatalogEdits {

// Marks the records of the category and of every category below it.
void RemoveDirectory(Catalog &catalog, int categoryIndex);

// Runs a piece of work and returns when it is done, on this thread or another.
using WorkRunner = std::function<void(const std::function<void()> &work)>;

// Deletes a category with everything below it and the records filed there; the
// remaining records follow their categories to the new indexes. The pass over the
// records goes to runWork with the records taken out of the catalog, so that a
// window may have it done on a worker thread while it keeps painting.
void deleteCategory(Catalog &catalog, int categoryIndex,
                    const WorkRunner &runWork = [](const std::function<void()> &work) { work(); });

// Refiles every record whose path is one of the dropped paths under the target
// category. Each refiled record moves to position 1, behind the first record, so
// the last one refiled comes first. Returns how many records were refiled.
int MoveDroppedFiles(Catalog &catalog, const QStringList &droppedPaths, int targetIndex);

// Removes every record whose path is one of paths. Returns how many went.
int removeRecordsWithPaths(Catalog &catalog, const QStringList &paths);

} // namespace CatalogEdits
