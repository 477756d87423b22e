#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <vector>

// The records a load left out because their files were not found, in the file's
// order, kept aside while the user may still locate the files elsewhere. A catalog
// of millions of missing files must not cost many times its size, so the records
// are packed into one buffer: per record four bytes of place and its category,
// then its place among the loaded records, its path and its keywords as UTF-8.
class MissingRecords
{
public:
    // The category of a record whose category was deleted meanwhile: such a record
    // is gone with its category, as a loaded one would be, and is never put back.
    static constexpr int kCategoryDeleted = -2147483647 - 1;

    struct Record {
        QString path;
        QString keywords;
        int category = 0;
        // How many records the file had before this one that were loaded.
        int loadedBefore = 0;
    };

    int size() const { return int(m_starts.size()); }
    bool isEmpty() const { return m_starts.empty(); }

    void append(QByteArrayView pathUtf8, QByteArrayView keywordsUtf8, int category, int loadedBefore);
    Record at(int i) const;
    QString path(int i) const { return QString::fromUtf8(pathUtf8(i)); }
    QByteArrayView pathUtf8(int i) const;
    int category(int i) const;

    // Every record's category through the renumbering of the category tree; a
    // record whose category is no more (remap gives nothing, 0) is marked deleted.
    void remapCategories(const std::function<int(int oldIndex)> &newIndexFor);
    // Takes out the records at these positions (ascending), keeping the others in order.
    void removeAt(const std::vector<int> &ascendingPositions);
    void clear();

    qint64 heldBytes() const { return m_bytes.capacity() + qint64(m_starts.capacity() * sizeof(quint32)); }

private:
    const char *recordAt(int i) const { return m_bytes.constData() + m_starts[std::size_t(i)]; }

    QByteArray m_bytes;
    std::vector<quint32> m_starts;
};
