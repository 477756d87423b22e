#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <vector>

// The ordered list of file records, each with a scratch mark that operations use and
// always leave cleared. The category index of every record is parsed once, when the
// record is stored, so that walks over a million records need not parse strings.
//
// The records are kept as UTF-8 in blocks of a megabyte: a path is nearly always
// plain ASCII, so a record costs one byte a character plus twelve for its place,
// where a string of its own would cost two a character and a heap block. A record
// is read out as a new string; replaced and removed records leave their bytes
// behind until the dead bytes outweigh the live ones and the blocks are rewritten.
class RecordList
{
public:
    RecordList();
    ~RecordList();
    RecordList(RecordList &&other) noexcept;
    RecordList &operator=(RecordList &&other) noexcept;

    int size() const { return int(m_places.size()); }
    bool isEmpty() const { return m_places.empty(); }

    QString at(int position) const { return QString::fromUtf8(utf8At(position)); }
    QByteArrayView utf8At(int position) const
    {
        const Place &place = m_places[std::size_t(position)];
        return QByteArrayView(m_blocks[place.block].get() + place.offset, qsizetype(place.length));
    }
    int categoryAt(int position) const { return m_categories[std::size_t(position)]; }

    bool isMarked(int position) const { return m_marks[std::size_t(position)] != 0; }
    void setMarked(int position, bool marked) { m_marks[std::size_t(position)] = marked ? 1 : 0; }
    void clearMarks();
    int markedCount() const;

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
    void removeAt(int position);
    // Removes every marked record, keeping the others in order. Linear.
    void removeMarked();
    void clear();
    void reserve(int count);

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

    Place store(const QString &record);
    Place storeBytes(const char *data, quint32 length);
    void release(const Place &place) { m_liveBytes -= place.length; }
    void compactIfWasteful();

    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<quint32> m_blockSizes;
    quint32 m_used = 0; // in the last block
    qint64 m_liveBytes = 0;
    qint64 m_heldBytes = 0;

    std::vector<Place> m_places;
    std::vector<int> m_categories;
    std::vector<char> m_marks;
};
