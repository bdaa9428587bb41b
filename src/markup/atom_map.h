#pragma once
// Interned name -> atom, an open-addressing hash table. The keys are views of the names kept in the parser's
// atom name list, so a lookup hashes and compares the (folded) name once and allocates nothing.
#include <cstdint>
#include <string_view>
#include <vector>

namespace NKXML {

class CAtomMap {
public:
    // FNV-1a over every code unit of the (folded) name: a hash of part of it lets names that share that part
    // collide, and lookups among many of them turn quadratic.
    static constexpr uint32_t SEED = 2166136261u;
    static constexpr uint32_t Step(uint32_t h, char16_t c) { return (h ^ c) * 16777619u; }

    // Atom of the key for which same(storedKey) holds among those with this hash, or 0.
    template <typename Same> uint16_t FindIf(uint32_t hash, Same same) const {
        if (m_slots.empty())
            return 0;
        for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot &slot = m_slots[i];
            if (slot.atom == 0)
                return 0;
            if (slot.hash == hash && same(m_keys[slot.atom - 1]))
                return slot.atom;
        }
    }

    // Records key -> atom; key must stay valid and must not be in the map yet. Atoms come in order 1, 2, ...
    void Insert(std::u16string_view key, uint32_t hash, uint16_t atom);

    void Clear();
    size_t Size() const { return m_keys.size(); }

private:
    struct Slot {
        uint32_t hash;
        uint16_t atom; // 0: empty
    };
    void Grow();

    std::vector<Slot> m_slots; // power-of-two size, at most half full
    size_t m_mask = 0;
    std::vector<std::u16string_view> m_keys; // key of atom n at n - 1
};

} // namespace NKXML
