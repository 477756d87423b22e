#include "MissingRecords.h"

#include <cstring>

namespace {

void appendVarint(QByteArray &out, quint32 value)
{
    while (value >= 0x80) {
        out += char(0x80 | (value & 0x7F));
        value >>= 7;
    }
    out += char(value);
}

quint32 readVarint(const char *&p)
{
    quint32 value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*p++);
        value |= quint32(byte & 0x7F) << shift;
        if (byte < 0x80)
            return value;
    }
}

qint32 readCategory(const char *p)
{
    qint32 category;
    std::memcpy(&category, p, sizeof category);
    return category;
}

} // namespace

void MissingRecords::append(QByteArrayView pathUtf8, QByteArrayView keywordsUtf8, int category, int loadedBefore)
{
    m_starts.push_back(quint32(m_bytes.size()));
    const qint32 stored = category;
    m_bytes.append(reinterpret_cast<const char *>(&stored), sizeof stored);
    appendVarint(m_bytes, quint32(loadedBefore));
    appendVarint(m_bytes, quint32(pathUtf8.size()));
    m_bytes.append(pathUtf8.data(), pathUtf8.size());
    appendVarint(m_bytes, quint32(keywordsUtf8.size()));
    m_bytes.append(keywordsUtf8.data(), keywordsUtf8.size());
}

QByteArrayView MissingRecords::pathUtf8(int i) const
{
    const char *p = recordAt(i) + sizeof(qint32);
    readVarint(p);
    const quint32 length = readVarint(p);
    return QByteArrayView(p, qsizetype(length));
}

int MissingRecords::category(int i) const
{
    return readCategory(recordAt(i));
}

MissingRecords::Record MissingRecords::at(int i) const
{
    Record record;
    const char *p = recordAt(i);
    record.category = readCategory(p);
    p += sizeof(qint32);
    record.loadedBefore = int(readVarint(p));
    const quint32 pathLength = readVarint(p);
    record.path = QString::fromUtf8(p, qsizetype(pathLength));
    p += pathLength;
    const quint32 keywordsLength = readVarint(p);
    record.keywords = QString::fromUtf8(p, qsizetype(keywordsLength));
    return record;
}

void MissingRecords::remapCategories(const std::function<int(int)> &newIndexFor)
{
    for (const quint32 start : m_starts) {
        const qint32 old = readCategory(m_bytes.constData() + start);
        // Records filed under no category (0 and below) stay so; they had no category to lose.
        if (old <= 0)
            continue;
        const int mapped = newIndexFor(old);
        const qint32 stored = mapped == 0 ? kCategoryDeleted : mapped;
        std::memcpy(m_bytes.data() + start, &stored, sizeof stored);
    }
}

void MissingRecords::removeAt(const std::vector<int> &ascendingPositions)
{
    if (ascendingPositions.empty())
        return;
    QByteArray kept;
    std::vector<quint32> keptStarts;
    keptStarts.reserve(m_starts.size() - ascendingPositions.size());
    auto doomed = ascendingPositions.cbegin();
    for (int i = 0; i < size(); ++i) {
        if (doomed != ascendingPositions.cend() && *doomed == i) {
            ++doomed;
            continue;
        }
        const quint32 start = m_starts[std::size_t(i)];
        const quint32 end = std::size_t(i) + 1 < m_starts.size() ? m_starts[std::size_t(i) + 1] : quint32(m_bytes.size());
        keptStarts.push_back(quint32(kept.size()));
        kept.append(m_bytes.constData() + start, qsizetype(end - start));
    }
    m_bytes = std::move(kept);
    m_starts = std::move(keptStarts);
}

void MissingRecords::clear()
{
    m_bytes = QByteArray();
    m_starts = {};
}
