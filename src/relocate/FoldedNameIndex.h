#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// File names, compared without regard to case, each numbered in the order first
// added. Built for the walk's question about every file it meets: one hash and, for
// most names, one probe into a flat table; no allocation per name, so a million names
// are added and freed cheaply.
class FoldedNameIndex
{
public:
    // The number of a name equal to this one but for case, or -1.
    int find(std::string_view nameUtf8);
    // The number of the name, adding it when it is new.
    int add(std::string_view nameUtf8);
    int size() const { return int(m_keys.size()); }
    void reserve(std::size_t names);

    // The name as the index compares it: case folded. A view into the name itself
    // when folding changes nothing, else into a buffer that the next call reuses.
    std::string_view folded(std::string_view nameUtf8);

private:
    struct Slot {
        std::uint32_t hashTag = 0;
        // -1 for an empty slot.
        std::int32_t name = -1;
    };
    struct Key {
        std::size_t start = 0;
        std::size_t size = 0;
    };

    std::size_t findSlot(std::string_view key, std::size_t hash) const;
    std::string_view keyOf(int name) const;
    void grow();

    std::vector<Slot> m_slots;
    std::vector<Key> m_keys;
    std::string m_keyText;
    std::string m_foldBuffer;
};
