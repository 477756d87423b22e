#include "CatalogEdits.h"

#include "Catalog.h"
#include "FileRecord.h"

#include <QSet>

#include <vector>

namespace CatalogEdits {

namespace {

QSet<QStringView> pathSet(const QStringList &paths)
{
    QSet<QStringView> set;
    set.reserve(paths.size());
    for (const QString &path : paths)
        set.insert(QStringView(path));
    return set;
}

} // namespace

void RemoveDirectory(Catalog &catalog, int categoryIndex)
{
    const std::vector<int> doomed = catalog.tree().subtreeChildrenFirst(categoryIndex);
    if (doomed.empty())
        return;
    QSet<int> indexes(doomed.begin(), doomed.end());
    RecordList &records = catalog.records();
    for (int position = 0; position < records.size(); ++position) {
        if (indexes.contains(records.categoryAt(position)))
            records.setMarked(position, true);
    }
}

void deleteCategory(Catalog &catalog, int categoryIndex)
{
    if (!catalog.tree().node(categoryIndex))
        return;
    catalog.records().clearMarks();
    catalog.TagIndex();
    RemoveDirectory(catalog, categoryIndex);
    catalog.records().removeMarked();
    catalog.tree().removeSubtree(categoryIndex);
    catalog.ChangecategoryIndexForFiles();
    catalog.markChanged();
}

int MoveDroppedFiles(Catalog &catalog, const QStringList &droppedPaths, int targetIndex)
{
    RecordList &records = catalog.records();
    const QSet<QStringView> dropped = pathSet(droppedPaths);
    std::vector<QString> refiled; // in the order the records are visited
    for (int position = 0; position < records.size(); ++position) {
        const QString &record = records.at(position);
        const RecordViews parts = recordViews(record);
        if (!dropped.contains(parts.path))
            continue;
        refiled.push_back(MakeFileRecord(parts.path.toString(), targetIndex, parts.keywords.toString()));
        records.setMarked(position, true);
    }
    if (refiled.empty())
        return 0;

    // Each rewrite goes in at position 1, so the last one visited ends up first; a
    // rewrite of the very first record takes its place at the head instead.
    const bool firstWasRefiled = records.isMarked(0);
    records.removeMarked();
    RecordList block;
    block.reserve(int(refiled.size()));
    if (firstWasRefiled)
        block.append(refiled.front());
    for (auto it = refiled.rbegin(); it != refiled.rend() - (firstWasRefiled ? 1 : 0); ++it)
        block.append(*it);
    records.insert(firstWasRefiled || records.isEmpty() ? 0 : 1, std::move(block));
    catalog.markChanged();
    return int(refiled.size());
}

int removeRecordsWithPaths(Catalog &catalog, const QStringList &paths)
{
    RecordList &records = catalog.records();
    const QSet<QStringView> doomed = pathSet(paths);
    int removed = 0;
    for (int position = 0; position < records.size(); ++position) {
        if (doomed.contains(recordViews(records.at(position)).path)) {
            records.setMarked(position, true);
            ++removed;
        }
    }
    records.removeMarked();
    catalog.markChanged();
    return removed;
}

} // namespace CatalogEdits
