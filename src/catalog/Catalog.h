#pragma once

#include "CategoryTree.h"
#include "MissingRecords.h"
#include "RecordList.h"

#include <QObject>

#include <memory>
#include <vector>

// The whole catalog in memory: the category tree, the record list beside it, the
// index of the system category "Temporary" and whether everything is saved.
class Catalog : public QObject
{
    Q_OBJECT

public:
    static inline const QString kTemporaryName = QStringLiteral("Temporary");

    explicit Catalog(QObject *parent = nullptr);

    CategoryTree &tree() { return *m_tree; }
    const CategoryTree &tree() const { return *m_tree; }
    RecordList &records() { return m_records; }
    const RecordList &records() const { return m_records; }
    // The records the last load left out because their files were not found. They
    // follow the renumbering of categories like the records do. Clearing or replacing
    // the catalog starts a new set and leaves the old one to whoever still holds it.
    const std::shared_ptr<MissingRecords> &missingRecords() const { return m_missingRecords; }

    bool FileListSaved() const { return m_fileListSaved; }
    void markChanged() { setFileListSaved(false); }
    void markSaved() { setFileListSaved(true); }

    // The index last found for "Temporary", or -1.
    int TemporaryIndex() const { return m_temporaryIndex; }
    void setTemporaryIndex(int index) { m_temporaryIndex = index; }
    // Finds the system category, the last top-level node named exactly "Temporary",
    // stores its index and returns it. A sub-category of that name (older catalogs
    // allowed one) is the user's own.
    int findTemporary();

    // Every node remembers its current index in its tag.
    void TagIndex();
    // Moves each record to the index of the first node (in index order) whose tag
    // holds the record's old index; records matching no tag stay as they are.
    void ChangecategoryIndexForFiles();

    // Where ChangecategoryIndexForFiles sends a record of an index: the first node, in
    // index order, whose tag holds it.
    class TagMap
    {
    public:
        explicit TagMap(const CategoryTree &tree);
        // The map the tree will give once the nodes of those indexes are removed.
        static TagMap afterRemoving(const CategoryTree &tree, const std::vector<int> &removed);
        // The new index for an old one, or 0 when no node holds it.
        int newIndexFor(int oldIndex) const
        {
            return oldIndex >= -kOffset && oldIndex < kOffset ? m_newIndex[std::size_t(oldIndex + kOffset)] : 0;
        }

    private:
        TagMap() = default;
        static constexpr int kOffset = 1 << 15; // tags are 16-bit
        std::vector<int> m_newIndex;
    };

    // The pass of ChangecategoryIndexForFiles over the records alone, which a caller
    // may run on another thread with the records taken out of the catalog; then
    // finishRenumbering does the rest.
    static void renumberRecords(RecordList &records, const TagMap &tags);
    void finishRenumbering(const TagMap &tags);

    // No categories, no records at all.
    void clear();
    // Replaces this catalog by the other one, a catalog loaded elsewhere; the other
    // is left empty.
    void takeContentsOf(Catalog &other);
    // The empty catalog of a fresh start or File > New: only the sentinel record.
    void resetToEmpty();

Q_SIGNALS:
    void savedStateChanged(bool saved);

private:
    void setFileListSaved(bool saved);

    CategoryTree *m_tree;
    RecordList m_records;
    std::shared_ptr<MissingRecords> m_missingRecords = std::make_shared<MissingRecords>();
    bool m_fileListSaved = true;
    int m_temporaryIndex = -1;
};
