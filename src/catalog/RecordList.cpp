#include "RecordList.h"

#include "FileRecord.h"
#include "RecordListSizes.h"

#include <algorithm>
#include <iterator>

using namespace RecordListSizes;

RecordList::RecordList() = default;
RecordList::~RecordList() = default;
// A list moved from is empty, as a list of standard containers would be.
RecordList::RecordList(RecordList &&other) noexcept
{
    swap(other);
}

RecordList &RecordList::operator=(RecordList &&other) noexcept
{
    RecordList taken(std::move(other));
    swap(taken);
    return *this;
}

void RecordList::swap(RecordList &other) noexcept
{
    std::swap(m_blocks, other.m_blocks);
    std::swap(m_blockSizes, other.m_blockSizes);
    std::swap(m_used, other.m_used);
    std::swap(m_liveBytes, other.m_liveBytes);
    std::swap(m_heldBytes, other.m_heldBytes);
    std::swap(m_chunks, other.m_chunks);
    std::swap(m_chunkStarts, other.m_chunkStarts);
    std::swap(m_chunkOfRun, other.m_chunkOfRun);
    std::swap(m_chunkByNumber, other.m_chunkByNumber);
    std::swap(m_freeNumbers, other.m_freeNumbers);
    std::swap(m_size, other.m_size);
    std::swap(m_markedCount, other.m_markedCount);
    std::swap(m_expectedSize, other.m_expectedSize);
    m_pathIndex.swap(other.m_pathIndex);
    std::swap(m_pathIndexBuilt, other.m_pathIndexBuilt);
    std::swap(m_pathHashesKnown, other.m_pathHashesKnown);
}

void RecordList::setMarked(int position, bool marked)
{
    Entry &entry = entryAt(position);
    const char value = marked ? 1 : 0;
    if (entry.mark == value)
        return;
    entry.mark = value;
    m_markedCount += marked ? 1 : -1;
}

void RecordList::clearMarks()
{
    if (m_markedCount == 0)
        return;
    for (const auto &chunk : m_chunks) {
        for (Entry &entry : chunk->entries)
            entry.mark = 0;
    }
    m_markedCount = 0;
}

void RecordList::append(const QString &record)
{
    const Place place = store(record);
    appendEntry(newEntry(place, recordCategoryIndex(record)));
}

void RecordList::append(QString &&record, int categoryIndex)
{
    appendEntry(newEntry(store(record), categoryIndex));
}

void RecordList::appendUtf8(QByteArrayView record, int categoryIndex)
{
    appendEntry(newEntry(storeBytes(record.data(), quint32(record.size())), categoryIndex));
}

void RecordList::insert(int position, const QString &record)
{
    const Place place = store(record);
    insertEntry(position, newEntry(place, recordCategoryIndex(record)));
}

void RecordList::insert(int position, RecordList &&batch)
{
    if (batch.isEmpty())
        return;
    std::vector<Entry> incoming;
    incoming.reserve(std::size_t(batch.m_size));
    if (batch.m_liveBytes < kBlockBytes / 4) {
        // A few records, as a drop brings: their text is copied, rather than a block
        // of a megabyte taken over for it that would soon have the list rewritten.
        for (const auto &chunk : batch.m_chunks) {
            for (Entry entry : chunk->entries) {
                const QByteArrayView bytes = batch.bytesOf(entry.place);
                entry.place = storeBytes(bytes.data(), quint32(bytes.size()));
                entry.mark = 0;
                incoming.push_back(entry);
            }
        }
    } else {
        // The batch's blocks follow ours, and its last block takes the records stored
        // from now on; what was left free in our last block stays unused.
        const auto firstBlock = quint32(m_blocks.size());
        for (const auto &chunk : batch.m_chunks) {
            for (Entry entry : chunk->entries) {
                entry.place.block += firstBlock;
                entry.mark = 0;
                incoming.push_back(entry);
            }
        }
        std::move(batch.m_blocks.begin(), batch.m_blocks.end(), std::back_inserter(m_blocks));
        m_blockSizes.insert(m_blockSizes.end(), batch.m_blockSizes.begin(), batch.m_blockSizes.end());
        m_used = batch.m_used;
        m_heldBytes += batch.m_heldBytes;
        m_liveBytes += batch.m_liveBytes;
    }
    const bool hashesKnown = batch.m_pathHashesKnown;
    batch.clear();
    if (m_pathHashesKnown && !hashesKnown) {
        for (Entry &entry : incoming)
            entry.pathHash = pathHashOf(entry.place);
    }

    if (position >= m_size) {
        for (const Entry &entry : incoming)
            appendEntry(entry);
        return;
    }
    const int count = int(incoming.size());
    const Location at = locate(position);
    Chunk &target = *m_chunks[std::size_t(at.chunk)];
    if (int(target.entries.size()) + count <= kChunkEntries) {
        target.entries.insert(target.entries.begin() + at.offset, incoming.begin(), incoming.end());
        if (m_pathIndexBuilt) {
            for (const Entry &entry : incoming)
                m_pathIndex.insert(entry.pathHash, target.number);
        }
        m_size += count;
        renumberChunks(at.chunk);
        return;
    }
    // Too many for the chunk: it is cut at the position and the batch goes between
    // its halves in chunks of its own.
    int ordinal = at.chunk + 1;
    const int tail = int(target.entries.size()) - at.offset;
    if (tail > 0)
        moveEntries(target, at.offset, at.offset + tail, insertChunk(ordinal), 0);
    for (int first = 0; first < count; first += kChunkEntries) {
        Chunk &piece = insertChunk(ordinal++);
        const int last = qMin(count, first + kChunkEntries);
        piece.entries.assign(incoming.begin() + first, incoming.begin() + last);
        if (m_pathIndexBuilt) {
            for (int i = first; i < last; ++i)
                m_pathIndex.insert(incoming[std::size_t(i)].pathHash, piece.number);
        }
    }
    m_size += count;
    tidyChunks();
    renumberChunks(0);
}

void RecordList::replace(int position, const QString &record)
{
    const Location at = locate(position);
    Chunk &chunk = *m_chunks[std::size_t(at.chunk)];
    Entry &entry = chunk.entries[std::size_t(at.offset)];
    release(entry.place);
    entry.place = store(record);
    entry.category = recordCategoryIndex(record);
    if (m_pathHashesKnown) {
        const quint32 hash = pathHashOf(entry.place);
        if (m_pathIndexBuilt && hash != entry.pathHash) {
            m_pathIndex.erase(entry.pathHash, chunk.number);
            m_pathIndex.insert(hash, chunk.number);
        }
        entry.pathHash = hash;
    }
    compactIfWasteful();
}

void RecordList::replaceKeepingPath(int position, const QString &record)
{
    Entry &entry = entryAt(position);
    release(entry.place);
    entry.place = store(record);
    entry.category = recordCategoryIndex(record);
    compactIfWasteful();
}

void RecordList::removeAt(int position)
{
    removePositions({position});
}

void RecordList::removePositions(const std::vector<int> &positions)
{
    if (positions.empty())
        return;
    // Each chunk that loses records is closed up once. The chunk starts are renumbered
    // only at the end, so they still hold for the positions as given.
    for (std::size_t next = 0; next < positions.size();) {
        const Location at = locate(positions[next]);
        Chunk &chunk = *m_chunks[std::size_t(at.chunk)];
        std::vector<Entry> &entries = chunk.entries;
        const int start = m_chunkStarts[std::size_t(at.chunk)];
        std::size_t kept = std::size_t(at.offset);
        for (int offset = at.offset; offset < int(entries.size()); ++offset) {
            const Entry &entry = entries[std::size_t(offset)];
            if (next < positions.size() && positions[next] == start + offset) {
                ++next;
                release(entry.place);
                if (entry.mark)
                    --m_markedCount;
                if (m_pathIndexBuilt)
                    m_pathIndex.erase(entry.pathHash, chunk.number);
                continue;
            }
            entries[kept++] = entry;
        }
        entries.resize(kept);
    }
    m_size -= int(positions.size());
    tidyChunks();
    renumberChunks(0);
    compactIfWasteful();
}

void RecordList::removeMarked()
{
    if (m_markedCount == 0)
        return;
    for (const auto &chunk : m_chunks) {
        std::vector<Entry> &entries = chunk->entries;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry &entry = entries[i];
            if (entry.mark) {
                release(entry.place);
                if (m_pathIndexBuilt)
                    m_pathIndex.erase(entry.pathHash, chunk->number);
                continue;
            }
            entries[kept++] = entry;
        }
        m_size -= int(entries.size() - kept);
        entries.resize(kept);
    }
    m_markedCount = 0;
    tidyChunks();
    renumberChunks(0);
    compactIfWasteful();
}

void RecordList::clear()
{
    m_chunks.clear();
    m_chunkStarts.clear();
    m_chunkOfRun.clear();
    m_chunkByNumber.clear();
    m_freeNumbers.clear();
    m_size = 0;
    m_markedCount = 0;
    m_expectedSize = 0;
    m_pathIndex.clear();
    m_pathIndexBuilt = false;
    m_pathHashesKnown = false;
    m_blocks.clear();
    m_blockSizes.clear();
    m_used = 0;
    m_liveBytes = 0;
    m_heldBytes = 0;
}

void RecordList::reserve(int count)
{
    m_expectedSize = count;
    const auto chunks = std::size_t(count / kChunkEntries + 1);
    m_chunks.reserve(chunks);
    m_chunkStarts.reserve(chunks);
    m_chunkOfRun.reserve(chunks);
    m_chunkByNumber.reserve(chunks + 1);
}
