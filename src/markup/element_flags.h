#pragma once
// HTML elements that have no content, or whose end tag may be left out.
#include <cstdint>

namespace NKXML {

// Bits of CNode::m_nFlags.
constexpr uint32_t XMLF_OPTIONAL_END = 0x10000; // recorded only; the parser never infers an end tag
constexpr uint32_t XMLF_EMPTY = 0x20000;        // closed at the '>' of its start tag

struct CElementFlagsEntry {
    const char *m_pszName;
    uint32_t m_nFlags;
};

// 28 rows ended by a row with a null name. In html mode their names are atoms 1 to 28 in this order.
extern const CElementFlagsEntry g_elementFlags[29];

} // namespace NKXML
