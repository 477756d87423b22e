#include "RecordList.h"

#include "FileRecord.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr quint32 kBlockBytes = 1u << 20;
// Entries a chunk holds at most: moving one chunk's entries costs microseconds, and a
// million records need a few hundred chunks.
constexpr int kChunkEntries = 4096;
// A chunk this small after removals joins a neighbour.
constexpr int kSmallChunk = kChunkEntries / 4;

// Eight bytes a step: a million paths hash in a few milliseconds. Equal hashes are
// always checked against the text, so a fair spread is all it needs.
quint32 hashOfPathBytes(QByteArrayView path)
{
    const char *bytes = path.data();
    std::size_t left = std::size_t(path.size());
    quint64 hash = 0x9e3779b97f4a7c15ull ^ left;
    for (; left >= 8; left -= 8, bytes += 8) {
        quint64 word;
        std::memcpy(&word, bytes, 8);
        hash = (hash ^ word) * 0xff51afd7ed558ccdull;
        hash ^= hash >> 32;
    }
    quint64 tail = 0;
    std::memcpy(&tail, bytes, left);
    hash = (hash ^ tail) * 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 29;
    return quint32(hash ^ (hash >> 32));
}

QByteArrayView pathPart(QByteArrayView record)
{
    return record.first(qMax<qsizetype>(record.lastIndexOf('/'), 0));
}
// Below this much dead text a rewrite is not worth its time.
constexpr qint64 kMinWasteBytes = 4 << 20;

} // namespace

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

RecordList::Place RecordList::store(const QString &record)
{
    // Nearly every record is ASCII: then its UTF-8 is its Latin-1, written in place.
    const qsizetype length = record.size();
    const auto *units = reinterpret_cast<const char16_t *>(record.utf16());
    bool ascii = true;
    for (qsizetype i = 0; i < length && ascii; ++i)
        ascii = units[i] < 0x80;
    if (!ascii) {
        const QByteArray utf8 = record.toUtf8();
        return storeBytes(utf8.constData(), quint32(utf8.size()));
    }
    const Place place = storeBytes(nullptr, quint32(length));
    char *out = m_blocks[place.block].get() + place.offset;
    for (qsizetype i = 0; i < length; ++i)
        out[i] = char(units[i]);
    return place;
}

// With null data only makes room for the bytes.
RecordList::Place RecordList::storeBytes(const char *data, quint32 length)
{
    if (m_blocks.empty() || m_blockSizes.back() - m_used < length) {
        const quint32 size = std::max(kBlockBytes, length);
        // Left uninitialised: every byte is written before it is read.
        m_blocks.push_back(std::unique_ptr<char[]>(new char[size]));
        m_blockSizes.push_back(size);
        m_heldBytes += size;
        m_used = 0;
    }
    const Place place{quint32(m_blocks.size() - 1), m_used, length};
    if (data && length)
        std::memcpy(m_blocks.back().get() + m_used, data, length);
    m_used += length;
    m_liveBytes += length;
    return place;
}

void RecordList::compactIfWasteful()
{
    const qint64 waste = m_heldBytes - m_liveBytes;
    if (waste < kMinWasteBytes || waste < m_liveBytes)
        return;
    std::vector<std::unique_ptr<char[]>> oldBlocks = std::move(m_blocks);
    m_blocks.clear();
    m_blockSizes.clear();
    m_used = 0;
    m_liveBytes = 0;
    m_heldBytes = 0;
    for (const auto &chunk : m_chunks) {
        for (Entry &entry : chunk->entries)
            entry.place = storeBytes(oldBlocks[entry.place.block].get() + entry.place.offset, entry.place.length);
    }
}

qint64 RecordList::textBytes() const
{
    return m_heldBytes;
}

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

quint32 RecordList::pathHashOf(const Place &place) const
{
    return hashOfPathBytes(pathPart(bytesOf(place)));
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

void RecordList::hashPaths()
{
    if (m_pathHashesKnown)
        return;
    for (const auto &chunk : m_chunks) {
        for (Entry &entry : chunk->entries)
            entry.pathHash = pathHashOf(entry.place);
    }
    m_pathHashesKnown = true;
}

void RecordList::buildPathIndex()
{
    if (m_pathIndexBuilt)
        return;
    hashPaths();
    m_pathIndex.clear();
    m_pathIndex.reserve(std::size_t(m_size));
    constexpr std::size_t kAhead = 16;
    for (const auto &chunk : m_chunks) {
        const std::vector<Entry> &entries = chunk->entries;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i + kAhead < entries.size())
                m_pathIndex.prefetch(entries[i + kAhead].pathHash);
            m_pathIndex.insert(entries[i].pathHash, chunk->number);
        }
    }
    m_pathIndexBuilt = true;
}

std::vector<int> RecordList::positionsOfPaths(const QStringList &paths)
{
    buildPathIndex();
    // Path by path each look-up reads the chunks that hold the path's hash; with paths
    // by the thousand one pass over all entries reads less.
    QHash<quint32, QList<QStringView>> wanted;
    for (const QString &path : paths) {
        QList<QStringView> &same = wanted[hashOfPathBytes(path.toUtf8())];
        if (!same.contains(QStringView(path)))
            same.append(QStringView(path));
    }
    std::vector<int> found;
    auto check = [&](const Entry &entry, const QList<QStringView> &candidates, int position) {
        // Compared as text, as the record reads, not as bytes.
        const QString path = QString::fromUtf8(pathPart(bytesOf(entry.place)));
        if (candidates.contains(QStringView(path)))
            found.push_back(position);
    };
    if (qint64(wanted.size()) * kChunkEntries > m_size) {
        int position = 0;
        for (const auto &chunk : m_chunks) {
            for (const Entry &entry : chunk->entries) {
                const auto candidates = wanted.constFind(entry.pathHash);
                if (candidates != wanted.constEnd())
                    check(entry, *candidates, position);
                ++position;
            }
        }
        return found;
    }
    std::vector<quint32> chunks;
    for (auto it = wanted.constBegin(); it != wanted.constEnd(); ++it) {
        const quint32 hash = it.key();
        chunks.clear();
        m_pathIndex.forEach(hash, [&](quint32 chunk) { chunks.push_back(chunk); });
        std::sort(chunks.begin(), chunks.end());
        chunks.erase(std::unique(chunks.begin(), chunks.end()), chunks.end());
        for (const quint32 number : chunks) {
            const Chunk &chunk = *m_chunkByNumber[number];
            const int start = m_chunkStarts[std::size_t(chunk.ordinal)];
            for (std::size_t i = 0; i < chunk.entries.size(); ++i) {
                if (chunk.entries[i].pathHash == hash)
                    check(chunk.entries[i], it.value(), start + int(i));
            }
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}
