#include "RecordList.h"

#include "RecordListSizes.h"

#include <QHash>

#include <algorithm>
#include <cstring>

// Finding records by path: the hashes of the records' paths and the index from a hash
// to the chunks that hold it.

using namespace RecordListSizes;

namespace {

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

} // namespace

quint32 RecordList::pathHashOf(const Place &place) const
{
    return hashOfPathBytes(pathPart(bytesOf(place)));
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
