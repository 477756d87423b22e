#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "PathHashIndex.h"

#include <memory>
#include <vector>

// The ordered list of file records, each with a scratch mark that operations use and
// always leave cleared. The category index of every record is parsed once, when the
// record is stored, so that walks over a million records need not parse strings.
//
// The records are kept as UTF-8 in blocks of a megabyte: a path is nearly always
// plain ASCII, so a record costs one byte a character plus its entry, where a string
// of its own would cost two a character and a heap block. A record is read out as a
// new string; replaced and removed records leave their bytes behind until the dead
// bytes outweigh the live ones and the blocks are rewritten.
//
// The entries stand in chunks of a few thousand, so that inserting at position 1 (as
// the scanner and a drop do) or removing one record moves one chunk's entries, not a
// million. The records of a path are found through an index from the path's hash to
// the chunks holding it, built on first use and kept up to date by every change from
// then on: an edit of a few files costs what it edits whatever the catalog's size.
class RecordList
{
public:
    RecordList();
    ~RecordList();
    RecordList(RecordList &&other) noexcept;
    RecordList &operator=(RecordList &&other) noexcept;
    void swap(RecordList &other) noexcept;

    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    QString at(int position) const { return QString::fromUtf8(utf8At(position)); }
    QByteArrayView utf8At(int position) const { return bytesOf(entryAt(position).place); }
    int categoryAt(int position) const { return entryAt(position).category; }

    bool isMarked(int position) const { return entryAt(position).mark != 0; }
    void setMarked(int position, bool marked);
    // Costs nothing when no record is marked, as operations leave them.
    void clearMarks();
    int markedCount() const { return m_markedCount; }

    void append(const QString &record);
    // For callers that built the record from a known index.
    void append(QString &&record, int categoryIndex);
    // A record already in UTF-8, as a catalog file holds it.
    void appendUtf8(QByteArrayView record, int categoryIndex);
    void insert(int position, const QString &record);
    // Inserts another list's records at one position in a single move, keeping their
    // order and taking over their text instead of copying it: a batch built on another
    // thread goes in without any text work here.
    void insert(int position, RecordList &&batch);
    void replace(int position, const QString &record);
    // For a record whose path stays as it was (a new category or new keywords): the
    // path index need not look at it.
    void replaceKeepingPath(int position, const QString &record);
    void removeAt(int position);
    // Removes the records at the given positions, which ascend without repeats.
    void removePositions(const std::vector<int> &positions);
    // Removes every marked record, keeping the others in order. Linear.
    void removeMarked();
    void clear();
    void reserve(int count);

    // The positions, ascending, of every record whose path (the text before its last
    // "/") equals one of paths exactly, letter case included.
    std::vector<int> positionsOfPaths(const QStringList &paths);
    // Builds the index that positionsOfPaths uses, which otherwise the first look-up
    // builds: a loader on a worker thread saves the window that moment.
    void buildPathIndex();
    // Works out the hashes the path index needs for every record, now and for records
    // added later: for a batch built on a worker thread, to be inserted into a list
    // that has the index.
    void hashPaths();

    // Bytes held for the records' text, and how many of them belong to records
    // still in the list.
    qint64 textBytes() const;
    qint64 liveTextBytes() const { return m_liveBytes; }

private:
    struct Place {
        quint32 block;
        quint32 offset;
        quint32 length;
    };
    struct Entry {
        Place place;
        int category;
        quint32 pathHash; // valid while m_pathHashesKnown
        char mark;
    };
    struct Chunk {
        std::vector<Entry> entries;
        int ordinal = 0; // place in m_chunks
        quint32 number = 0; // stable name in the path index, from 1
    };
    struct Location {
        int chunk;
        int offset;
    };

    QByteArrayView bytesOf(const Place &place) const
    {
        return QByteArrayView(m_blocks[place.block].get() + place.offset, qsizetype(place.length));
    }
    Location locate(int position) const;
    const Entry &entryAt(int position) const
    {
        const Location at = locate(position);
        return m_chunks[std::size_t(at.chunk)]->entries[std::size_t(at.offset)];
    }
    Entry &entryAt(int position)
    {
        const Location at = locate(position);
        return m_chunks[std::size_t(at.chunk)]->entries[std::size_t(at.offset)];
    }

    Place store(const QString &record);
    Place storeBytes(const char *data, quint32 length);
    void release(const Place &place) { m_liveBytes -= place.length; }
    void compactIfWasteful();

    Entry newEntry(const Place &place, int category) const;
    void appendEntry(const Entry &entry);
    void insertEntry(int position, const Entry &entry);
    Chunk &insertChunk(int ordinal);
    void dropChunk(int ordinal);
    void splitIfFull(int ordinal);
    // Moves source's entries [first, last) into target before its entry at.
    void moveEntries(Chunk &source, int first, int last, Chunk &target, int at);
    // Empty chunks go, and a small chunk joins its neighbour when both fit in one.
    void tidyChunks();
    // Ordinals and starts of the chunks from fromOrdinal on, and the runs table.
    void renumberChunks(int fromOrdinal);
    quint32 pathHashOf(const Place &place) const;

    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<quint32> m_blockSizes;
    quint32 m_used = 0; // in the last block
    qint64 m_liveBytes = 0;
    qint64 m_heldBytes = 0;

    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::vector<int> m_chunkStarts; // the position of each chunk's first entry
    // For every run of kChunkEntries positions, the chunk holding its first one.
    std::vector<int> m_chunkOfRun;
    std::vector<Chunk *> m_chunkByNumber; // [0] unused
    std::vector<quint32> m_freeNumbers;
    int m_size = 0;
    int m_markedCount = 0;
    int m_expectedSize = 0; // as given to reserve

    PathHashIndex m_pathIndex;
    bool m_pathIndexBuilt = false;
    bool m_pathHashesKnown = false; // always, while the index is built
};
