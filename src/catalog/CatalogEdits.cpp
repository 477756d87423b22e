#include "CatalogEdits.h"

#include "Catalog.h"
#include "FileRecord.h"

#include <QSet>

#include <vector>

namespace CatalogEdits {

namespace {

// A record left marked by someone else goes with the found ones, as a pass that
// marks its finds and removes every marked record would have it.
void removeAtPositions(RecordList &records, const std::vector<int> &positions)
{
    if (records.markedCount() == 0) {
        records.removePositions(positions);
        return;
    }
    for (const int position : positions)
        records.setMarked(position, true);
    records.removeMarked();
}

} // namespace

namespace {

void markRecordsOf(RecordList &records, const std::vector<int> &categories)
{
    if (categories.empty())
        return;
    const QSet<int> indexes(categories.begin(), categories.end());
    for (int position = 0; position < records.size(); ++position) {
        if (indexes.contains(records.categoryAt(position)))
            records.setMarked(position, true);
    }
}

} // namespace

void RemoveDirectory(Catalog &catalog, int categoryIndex)
{
    markRecordsOf(catalog.records(), catalog.tree().subtreeChildrenFirst(categoryIndex));
}

void deleteCategory(Catalog &catalog, int categoryIndex, const WorkRunner &runWork)
{
    if (!catalog.tree().node(categoryIndex))
        return;
    catalog.records().clearMarks();
    catalog.TagIndex();
    const std::vector<int> doomed = catalog.tree().subtreeChildrenFirst(categoryIndex);
    const Catalog::TagMap tags = Catalog::TagMap::afterRemoving(catalog.tree(), doomed);
    // Out of the catalog while the work is under way: whatever runs on this thread
    // meanwhile sees no records rather than records half renumbered.
    RecordList records = std::move(catalog.records());
    runWork([&] {
        markRecordsOf(records, doomed);
        records.removeMarked();
        Catalog::renumberRecords(records, tags);
    });
    catalog.records() = std::move(records);
    catalog.tree().removeSubtree(categoryIndex);
    catalog.finishRenumbering(tags);
}

int MoveDroppedFiles(Catalog &catalog, const QStringList &droppedPaths, int targetIndex)
{
    RecordList &records = catalog.records();
    const std::vector<int> positions = records.positionsOfPaths(droppedPaths);
    if (positions.empty())
        return 0;
    std::vector<QString> refiled; // in the order of the records
    refiled.reserve(positions.size());
    for (const int position : positions) {
        const QString &record = records.at(position);
        const RecordViews parts = recordViews(record);
        refiled.push_back(MakeFileRecord(parts.path.toString(), targetIndex, parts.keywords.toString()));
    }

    // Each rewrite goes in at position 1, so the last one visited ends up first; a
    // rewrite of the very first record takes its place at the head instead.
    const bool firstWasRefiled = positions.front() == 0;
    removeAtPositions(records, positions);
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
    const std::vector<int> doomed = records.positionsOfPaths(paths);
    removeAtPositions(records, doomed);
    catalog.markChanged();
    return int(doomed.size());
}

} // namespace CatalogEdits
