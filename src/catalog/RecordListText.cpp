#include "RecordList.h"

#include "RecordListSizes.h"

#include <algorithm>
#include <cstring>

// The records' text: UTF-8 in blocks of a megabyte, rewritten when the dead bytes
// outweigh the live ones.

using namespace RecordListSizes;

namespace {

// Below this much dead text a rewrite is not worth its time.
constexpr qint64 kMinWasteBytes = 4 << 20;

} // namespace

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
