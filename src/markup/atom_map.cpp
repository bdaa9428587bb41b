#include "markup/atom_map.h"

namespace NKXML {

void CAtomMap::Insert(std::u16string_view key, uint32_t hash, uint16_t atom) {
    if ((m_keys.size() + 1) * 2 > m_slots.size())
        Grow();
    m_keys.resize(atom);
    m_keys[atom - 1] = key;
    size_t i = hash & m_mask;
    while (m_slots[i].atom != 0)
        i = (i + 1) & m_mask;
    m_slots[i] = Slot{hash, atom};
}

void CAtomMap::Clear() {
    m_keys.clear();
    m_slots.assign(m_slots.size(), Slot{0, 0});
}

void CAtomMap::Grow() {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? 64 : old.size() * 2, Slot{0, 0});
    m_mask = m_slots.size() - 1;
    for (const Slot &slot : old) {
        if (slot.atom == 0)
            continue;
        size_t i = slot.hash & m_mask;
        while (m_slots[i].atom != 0)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }
}

} // namespace NKXML
