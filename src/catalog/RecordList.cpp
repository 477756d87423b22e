#include "RecordList.h"

#include "FileRecord.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr quint32 kBlockBytes = 1u << 20;
// Below this much dead text a rewrite is not worth its time.
constexpr qint64 kMinWasteBytes = 4 << 20;

} // namespace

RecordList::RecordList() = default;
RecordList::~RecordList() = default;
RecordList::RecordList(RecordList &&other) noexcept = default;
RecordList &RecordList::operator=(RecordList &&other) noexcept = default;

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
    for (Place &place : m_places)
        place = storeBytes(oldBlocks[place.block].get() + place.offset, place.length);
}

qint64 RecordList::textBytes() const
{
    return m_heldBytes;
}

void RecordList::clearMarks()
{
    std::fill(m_marks.begin(), m_marks.end(), 0);
}

int RecordList::markedCount() const
{
    return int(std::count(m_marks.begin(), m_marks.end(), 1));
}

void RecordList::append(const QString &record)
{
    m_places.push_back(store(record));
    m_categories.push_back(recordCategoryIndex(record));
    m_marks.push_back(0);
}

void RecordList::append(QString &&record, int categoryIndex)
{
    m_places.push_back(store(record));
    m_categories.push_back(categoryIndex);
    m_marks.push_back(0);
}

void RecordList::appendUtf8(QByteArrayView record, int categoryIndex)
{
    m_places.push_back(storeBytes(record.data(), quint32(record.size())));
    m_categories.push_back(categoryIndex);
    m_marks.push_back(0);
}

void RecordList::insert(int position, const QString &record)
{
    const auto at = std::size_t(position);
    m_places.insert(m_places.begin() + at, store(record));
    m_categories.insert(m_categories.begin() + at, recordCategoryIndex(record));
    m_marks.insert(m_marks.begin() + at, 0);
}

void RecordList::insert(int position, RecordList &&batch)
{
    if (batch.isEmpty())
        return;
    // The batch's blocks follow ours, and its last block takes the records stored from
    // now on; what was left free in our last block stays unused.
    const auto firstBlock = quint32(m_blocks.size());
    for (Place &place : batch.m_places)
        place.block += firstBlock;
    std::move(batch.m_blocks.begin(), batch.m_blocks.end(), std::back_inserter(m_blocks));
    m_blockSizes.insert(m_blockSizes.end(), batch.m_blockSizes.begin(), batch.m_blockSizes.end());
    m_used = batch.m_used;
    m_heldBytes += batch.m_heldBytes;
    m_liveBytes += batch.m_liveBytes;
    const auto at = std::size_t(position);
    m_places.insert(m_places.begin() + at, batch.m_places.begin(), batch.m_places.end());
    m_categories.insert(m_categories.begin() + at, batch.m_categories.begin(), batch.m_categories.end());
    m_marks.insert(m_marks.begin() + at, batch.m_places.size(), 0);
    batch.clear();
}

void RecordList::replace(int position, const QString &record)
{
    const auto at = std::size_t(position);
    release(m_places[at]);
    m_places[at] = store(record);
    m_categories[at] = recordCategoryIndex(record);
    compactIfWasteful();
}

void RecordList::removeAt(int position)
{
    const auto at = std::size_t(position);
    release(m_places[at]);
    m_places.erase(m_places.begin() + at);
    m_categories.erase(m_categories.begin() + at);
    m_marks.erase(m_marks.begin() + at);
    compactIfWasteful();
}

void RecordList::removeMarked()
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_places.size(); ++i) {
        if (m_marks[i]) {
            release(m_places[i]);
            continue;
        }
        if (kept != i) {
            m_places[kept] = m_places[i];
            m_categories[kept] = m_categories[i];
        }
        ++kept;
    }
    m_places.resize(kept);
    m_categories.resize(kept);
    m_marks.assign(kept, 0);
    compactIfWasteful();
}

void RecordList::clear()
{
    m_places.clear();
    m_categories.clear();
    m_marks.clear();
    m_blocks.clear();
    m_blockSizes.clear();
    m_used = 0;
    m_liveBytes = 0;
    m_heldBytes = 0;
}

void RecordList::reserve(int count)
{
    m_places.reserve(std::size_t(count));
    m_categories.reserve(std::size_t(count));
    m_marks.reserve(std::size_t(count));
}
