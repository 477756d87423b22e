#include "RecordList.h"

#include "RecordListSizes.h"

#include <algorithm>

// The entries in chunks: finding a position, adding an entry, and splitting, joining
// and numbering the chunks.

using namespace RecordListSizes;

namespace {

// A chunk this small after removals joins a neighbour.
constexpr int kSmallChunk = kChunkEntries / 4;

} // namespace

RecordList::Location RecordList::locate(int position) const
{
    // The run of positions points at a chunk at or just before the one wanted; chunks
    // are seldom much shorter than a run, so the walk is a step or two.
    int chunk = m_chunkOfRun[std::size_t(position / kChunkEntries)];
    const int last = int(m_chunks.size()) - 1;
    while (chunk < last && m_chunkStarts[std::size_t(chunk + 1)] <= position)
        ++chunk;
    return {chunk, position - m_chunkStarts[std::size_t(chunk)]};
}

void RecordList::renumberChunks(int fromOrdinal)
{
    const std::size_t count = m_chunks.size();
    m_chunkStarts.resize(count);
    for (std::size_t i = std::size_t(qMax(fromOrdinal, 0)); i < count; ++i) {
        m_chunks[i]->ordinal = int(i);
        m_chunkStarts[i] = i == 0 ? 0 : m_chunkStarts[i - 1] + int(m_chunks[i - 1]->entries.size());
    }
    m_chunkOfRun.resize(std::size_t((m_size + kChunkEntries - 1) / kChunkEntries));
    std::size_t chunk = 0;
    for (std::size_t run = 0; run < m_chunkOfRun.size(); ++run) {
        const int position = int(run) * kChunkEntries;
        while (chunk + 1 < count && m_chunkStarts[chunk + 1] <= position)
            ++chunk;
        m_chunkOfRun[run] = int(chunk);
    }
}

RecordList::Chunk &RecordList::insertChunk(int ordinal)
{
    auto chunk = std::make_unique<Chunk>();
    if (m_freeNumbers.empty()) {
        if (m_chunkByNumber.empty())
            m_chunkByNumber.push_back(nullptr); // numbers start at 1
        chunk->number = quint32(m_chunkByNumber.size());
        m_chunkByNumber.push_back(chunk.get());
    } else {
        chunk->number = m_freeNumbers.back();
        m_freeNumbers.pop_back();
        m_chunkByNumber[chunk->number] = chunk.get();
    }
    chunk->ordinal = ordinal;
    Chunk &inserted = *chunk;
    m_chunks.insert(m_chunks.begin() + ordinal, std::move(chunk));
    return inserted;
}

void RecordList::dropChunk(int ordinal)
{
    const quint32 number = m_chunks[std::size_t(ordinal)]->number;
    m_chunkByNumber[number] = nullptr;
    m_freeNumbers.push_back(number);
    m_chunks.erase(m_chunks.begin() + ordinal);
}

void RecordList::moveEntries(Chunk &source, int first, int last, Chunk &target, int at)
{
    if (m_pathIndexBuilt) {
        for (int i = first; i < last; ++i)
            m_pathIndex.retarget(source.entries[std::size_t(i)].pathHash, source.number, target.number);
    }
    target.entries.insert(target.entries.begin() + at, source.entries.begin() + first, source.entries.begin() + last);
    source.entries.erase(source.entries.begin() + first, source.entries.begin() + last);
}

void RecordList::splitIfFull(int ordinal)
{
    Chunk &full = *m_chunks[std::size_t(ordinal)];
    const int count = int(full.entries.size());
    if (count <= kChunkEntries)
        return;
    Chunk &second = insertChunk(ordinal + 1);
    moveEntries(full, count / 2, count, second, 0);
}

void RecordList::tidyChunks()
{
    for (std::size_t i = 0; i < m_chunks.size();) {
        Chunk &chunk = *m_chunks[i];
        if (chunk.entries.empty()) {
            dropChunk(int(i));
            continue;
        }
        if (i > 0) {
            Chunk &before = *m_chunks[i - 1];
            const int size = int(chunk.entries.size());
            const int beforeSize = int(before.entries.size());
            if ((size < kSmallChunk || beforeSize < kSmallChunk) && size + beforeSize <= kChunkEntries) {
                moveEntries(chunk, 0, size, before, beforeSize);
                dropChunk(int(i));
                continue;
            }
        }
        ++i;
    }
}

RecordList::Entry RecordList::newEntry(const Place &place, int category) const
{
    return Entry{place, category, m_pathHashesKnown ? pathHashOf(place) : 0u, 0};
}

void RecordList::appendEntry(const Entry &entry)
{
    if (m_chunks.empty() || int(m_chunks.back()->entries.size()) >= kChunkEntries) {
        Chunk &chunk = insertChunk(int(m_chunks.size()));
        m_chunkStarts.push_back(m_size);
        // A load that said how many records come fills whole chunks without regrowing them.
        if (m_expectedSize - m_size >= kChunkEntries)
            chunk.entries.reserve(kChunkEntries);
    }
    Chunk &last = *m_chunks.back();
    last.entries.push_back(entry);
    if (m_pathIndexBuilt)
        m_pathIndex.insert(entry.pathHash, last.number);
    if (m_size % kChunkEntries == 0)
        m_chunkOfRun.push_back(last.ordinal);
    ++m_size;
}

void RecordList::insertEntry(int position, const Entry &entry)
{
    if (position >= m_size) {
        appendEntry(entry);
        return;
    }
    const Location at = locate(position);
    Chunk &chunk = *m_chunks[std::size_t(at.chunk)];
    chunk.entries.insert(chunk.entries.begin() + at.offset, entry);
    if (m_pathIndexBuilt)
        m_pathIndex.insert(entry.pathHash, chunk.number);
    ++m_size;
    splitIfFull(at.chunk);
    renumberChunks(at.chunk);
}
