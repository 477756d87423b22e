#pragma once

#include <QStringList>

class Catalog;

// Edits of the catalog that move or remove records, written as single linear passes
// that leave the record list exactly as the record-by-record rules would.
namespace CatalogEdits {

// Marks the records of the category and of every category below it.
void RemoveDirectory(Catalog &catalog, int categoryIndex);

// Deletes a category with everything below it and the records filed there; the
// remaining records follow their categories to the new indexes.
void deleteCategory(Catalog &catalog, int categoryIndex);

// Refiles every record whose path is one of the dropped paths under the target
// category. Each refiled record moves to position 1, behind the first record, so
// the last one refiled comes first. Returns how many records were refiled.
int MoveDroppedFiles(Catalog &catalog, const QStringList &droppedPaths, int targetIndex);

// Removes every record whose path is one of paths. Returns how many went.
int removeRecordsWithPaths(Catalog &catalog, const QStringList &paths);

} // namespace CatalogEdits
