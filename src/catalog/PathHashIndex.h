#pragma once

#include <QtGlobal>

#include <memory>
#include <utility>

// A multimap from the hash of a record's path to the chunk of the record list that
// holds the record, one entry per record. Open addressing with linear probing: eight
// bytes an entry, no allocation per entry, and removal by shifting the entries behind
// back, so that lookups never wade through tombstones however long the catalog is edited.
class PathHashIndex
{
public:
    PathHashIndex() = default;
    PathHashIndex(PathHashIndex &&other) noexcept { swap(other); }
    PathHashIndex &operator=(PathHashIndex &&other) noexcept
    {
        PathHashIndex taken(std::move(other));
        swap(taken);
        return *this;
    }
    void swap(PathHashIndex &other) noexcept
    {
        std::swap(m_slots, other.m_slots);
        std::swap(m_slotCount, other.m_slotCount);
        std::swap(m_mask, other.m_mask);
        std::swap(m_shift, other.m_shift);
        std::swap(m_count, other.m_count);
    }

    void clear();
    void reserve(std::size_t count);
    std::size_t size() const { return m_count; }

    void insert(quint32 hash, quint32 chunk);
    // Asks for the slots of a hash to be fetched from memory ahead of an insert: a
    // million inserts in a row otherwise wait for memory one at a time.
    void prefetch(quint32 hash) const
    {
        if (m_slotCount)
            __builtin_prefetch(&m_slots[home(hash)], 1);
    }
    // Removes one entry of that hash and chunk; there must be one.
    void erase(quint32 hash, quint32 chunk);
    // Points one entry of that hash from one chunk to another.
    void retarget(quint32 hash, quint32 fromChunk, quint32 toChunk);

    // Calls found(chunk) for every entry of the hash; a chunk holding several records
    // of the hash comes as often.
    template<typename Found>
    void forEach(quint32 hash, Found found) const
    {
        if (!m_slotCount)
            return;
        for (std::size_t i = home(hash);; i = (i + 1) & m_mask) {
            const Slot &slot = m_slots[i];
            if (slot.chunk == kEmpty)
                return;
            if (slot.hash == hash)
                found(slot.chunk);
        }
    }

private:
    // Chunk numbers start at 1, so 0 marks a free slot.
    static constexpr quint32 kEmpty = 0;
    struct Slot {
        quint32 hash = 0;
        quint32 chunk = kEmpty;
    };

    std::size_t home(quint32 hash) const { return std::size_t((hash * 2654435769u) >> m_shift) & m_mask; }
    std::size_t find(quint32 hash, quint32 chunk) const;
    void grow(std::size_t slotCount);

    struct SlotsDeleter {
        void operator()(Slot *slots) const;
    };
    using Slots = std::unique_ptr<Slot[], SlotsDeleter>;
    static Slots allocateSlots(std::size_t count);

    Slots m_slots;
    std::size_t m_slotCount = 0;
    std::size_t m_mask = 0;
    int m_shift = 32;
    std::size_t m_count = 0;
};
