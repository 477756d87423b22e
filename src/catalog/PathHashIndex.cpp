#include "PathHashIndex.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kMinSlots = 64;
constexpr std::size_t kHugePage = std::size_t(2) << 20;

} // namespace

void PathHashIndex::SlotsDeleter::operator()(Slot *slots) const
{
    std::free(slots);
}

// A table of a million records spans megabytes touched in random order. Where the
// system offers huge pages they are asked for: in small pages, first touching the
// table costs more than filling it.
PathHashIndex::Slots PathHashIndex::allocateSlots(std::size_t count)
{
    const std::size_t bytes = count * sizeof(Slot);
    void *memory = nullptr;
    if (bytes >= kHugePage) {
        if (posix_memalign(&memory, kHugePage, bytes) != 0)
            memory = nullptr;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (memory)
            madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    } else {
        memory = std::malloc(bytes);
    }
    if (!memory)
        throw std::bad_alloc();
    std::memset(memory, 0, bytes); // every slot free
    return Slots(static_cast<Slot *>(memory));
}

void PathHashIndex::clear()
{
    m_slots.reset();
    m_slotCount = 0;
    m_mask = 0;
    m_shift = 32;
    m_count = 0;
}

void PathHashIndex::reserve(std::size_t count)
{
    std::size_t slots = kMinSlots;
    while (slots < 2 * count)
        slots *= 2;
    if (slots > m_slotCount)
        grow(slots);
}

void PathHashIndex::grow(std::size_t slotCount)
{
    Slots old = std::move(m_slots);
    const std::size_t oldCount = m_slotCount;
    m_slots = allocateSlots(slotCount);
    m_slotCount = slotCount;
    m_mask = slotCount - 1;
    int bits = 0;
    while ((std::size_t(1) << bits) < slotCount)
        ++bits;
    m_shift = 32 - bits;
    for (std::size_t k = 0; k < oldCount; ++k) {
        const Slot &slot = old[k];
        if (slot.chunk == kEmpty)
            continue;
        std::size_t i = home(slot.hash);
        while (m_slots[i].chunk != kEmpty)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }
}

void PathHashIndex::insert(quint32 hash, quint32 chunk)
{
    // At most half full keeps the probe runs short.
    if (2 * (m_count + 1) > m_slotCount)
        grow(m_slotCount == 0 ? kMinSlots : 2 * m_slotCount);
    std::size_t i = home(hash);
    while (m_slots[i].chunk != kEmpty)
        i = (i + 1) & m_mask;
    m_slots[i] = Slot{hash, chunk};
    ++m_count;
}

std::size_t PathHashIndex::find(quint32 hash, quint32 chunk) const
{
    for (std::size_t i = home(hash);; i = (i + 1) & m_mask) {
        const Slot &slot = m_slots[i];
        assert(slot.chunk != kEmpty);
        if (slot.hash == hash && slot.chunk == chunk)
            return i;
    }
}

void PathHashIndex::retarget(quint32 hash, quint32 fromChunk, quint32 toChunk)
{
    m_slots[find(hash, fromChunk)].chunk = toChunk;
}

void PathHashIndex::erase(quint32 hash, quint32 chunk)
{
    std::size_t hole = find(hash, chunk);
    m_slots[hole] = Slot{};
    --m_count;
    // Every entry of the run behind the hole that could have sat in it moves back,
    // so that no probe stops early at the hole.
    for (std::size_t i = (hole + 1) & m_mask; m_slots[i].chunk != kEmpty; i = (i + 1) & m_mask) {
        const std::size_t wanted = home(m_slots[i].hash);
        const bool reachable = hole <= i ? (wanted <= hole || wanted > i) : (wanted <= hole && wanted > i);
        if (!reachable)
            continue;
        m_slots[hole] = m_slots[i];
        m_slots[i] = Slot{};
        hole = i;
    }
}
