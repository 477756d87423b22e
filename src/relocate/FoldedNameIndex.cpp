#include "FoldedNameIndex.h"

#include <QString>

#include <algorithm>
#include <functional>

namespace {

constexpr std::size_t kFirstSlotCount = 64;

std::size_t hashOf(std::string_view key)
{
    return std::hash<std::string_view>()(key);
}

// Bits the slot's position does not use, so that a probe rarely compares two names.
std::uint32_t tagOf(std::size_t hash)
{
    return std::uint32_t(std::uint64_t(hash) >> 32) | 1U;
}

} // namespace

std::string_view FoldedNameIndex::folded(std::string_view nameUtf8)
{
    bool capitals = false;
    for (const char c : nameUtf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            m_foldBuffer
                = QString::fromUtf8(nameUtf8.data(), qsizetype(nameUtf8.size())).toCaseFolded().toStdString();
            return m_foldBuffer;
        }
        capitals = capitals || (byte >= 'A' && byte <= 'Z');
    }
    // Most names on disk are plain lower-case ASCII and need no copy at all.
    if (!capitals)
        return nameUtf8;
    m_foldBuffer.assign(nameUtf8);
    for (char &c : m_foldBuffer) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return m_foldBuffer;
}

void FoldedNameIndex::reserve(std::size_t names)
{
    m_keys.reserve(names);
    std::size_t slotCount = kFirstSlotCount;
    while (slotCount < names * 2)
        slotCount *= 2;
    if (slotCount > m_slots.size()) {
        m_slots.clear();
        m_slots.resize(slotCount);
        for (int name = 0; name < int(m_keys.size()); ++name) {
            const std::size_t hash = hashOf(keyOf(name));
            m_slots[findSlot(keyOf(name), hash)] = {tagOf(hash), name};
        }
    }
}

int FoldedNameIndex::find(std::string_view nameUtf8)
{
    if (m_slots.empty())
        return -1;
    const std::string_view key = folded(nameUtf8);
    return m_slots[findSlot(key, hashOf(key))].name;
}

int FoldedNameIndex::add(std::string_view nameUtf8)
{
    if (m_keys.size() * 2 >= m_slots.size())
        grow();
    const std::string_view key = folded(nameUtf8);
    const std::size_t hash = hashOf(key);
    Slot &slot = m_slots[findSlot(key, hash)];
    if (slot.name >= 0)
        return slot.name;
    slot = {tagOf(hash), std::int32_t(m_keys.size())};
    m_keys.push_back({m_keyText.size(), key.size()});
    m_keyText += key;
    return slot.name;
}

std::size_t FoldedNameIndex::findSlot(std::string_view key, std::size_t hash) const
{
    // Linear probing in a table kept at most half full.
    const std::size_t mask = m_slots.size() - 1;
    const std::uint32_t tag = tagOf(hash);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.name < 0 || (slot.hashTag == tag && keyOf(slot.name) == key))
            return i;
    }
}

std::string_view FoldedNameIndex::keyOf(int name) const
{
    const Key &key = m_keys[std::size_t(name)];
    return std::string_view(m_keyText).substr(key.start, key.size);
}

void FoldedNameIndex::grow()
{
    reserve(std::max(m_keys.size() * 2, kFirstSlotCount / 2));
}
