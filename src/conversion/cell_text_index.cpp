#include "conversion/cell_text_index.h"

#include <algorithm>

#include "conversion/dsc_doc.h"
#include "conversion/node_reading.h"
#include "markup/tree_walk.h"

namespace {

constexpr std::u16string_view VERSUS = u" vs ";

// A "tsst" or "tsstshade" row in the body of a "tsst" table: the rows whose cells the score tables read.
bool IsResultRow(const NKXML::CNode *node, const uint16_t atoms[]) {
    if (node->m_nAtom != atoms[ATOM_TR])
        return false;
    const char16_t *rowClass = tree::FirstAttributeValue(node, atoms[ATOM_CLASS]);
    if (!tree::ValueEquals(rowClass, u"tsst") && !tree::ValueEquals(rowClass, u"tsstshade"))
        return false;
    const NKXML::CNode *body = node->m_pParent;
    if (!body || body->m_nType != NKXML::XML_ELEMENT || body->m_nAtom != atoms[ATOM_TBODY])
        return false;
    const NKXML::CNode *table = body->m_pParent;
    return table && table->m_nType == NKXML::XML_ELEMENT && table->m_nAtom == atoms[ATOM_TABLE] &&
           tree::HasAttributeValue(table, atoms[ATOM_CLASS], u"tsst");
}

} // namespace

bool InRunAboveAscii(TextRun kind, char16_t c) {
    switch (kind) {
    case RUN_LETTERS:
        return platform::IsAlphaW(c);
    case RUN_SPACES:
        return platform::IsSpaceW(c);
    case RUN_DIGITS:
        return DecimalDigitValueAboveAscii(c) < 10;
    case RUN_ZEROS:
        return DecimalDigitValueAboveAscii(c) == 0;
    case RUN_TOKEN:
        return !NeedsQuotes(c);
    default:
        return false;
    }
}

unsigned DecimalDigitValueAboveAscii(char16_t c) {
    size_t consumed = 0;
    const uint32_t value = platform::WcsToUL(std::u16string_view(&c, 1), &consumed, 10);
    return consumed == 1 ? value : 10;
}

void IndexedText::Index(std::initializer_list<TextRun> kinds, bool withVersus) {
    const size_t size = m_text.size();
    for (TextRun kind : kinds) {
        std::vector<uint32_t> &ends = m_runEnds[kind];
        ends.resize(size);
        uint32_t end = static_cast<uint32_t>(size);
        for (size_t p = size; p-- > 0;) {
            if (!InRun(kind, m_text[p]))
                end = static_cast<uint32_t>(p);
            ends[p] = end;
        }
    }
    if (withVersus) {
        m_versus.resize(size);
        uint32_t next = static_cast<uint32_t>(size);
        for (size_t p = size; p-- > 0;) {
            if (std::u16string_view(m_text).substr(p, VERSUS.size()) == VERSUS)
                next = static_cast<uint32_t>(p);
            m_versus[p] = next;
        }
    }
}

size_t IndexedText::RunEnd(TextRun kind, size_t from) const {
    if (!m_runEnds[kind].empty())
        return from < m_text.size() ? m_runEnds[kind][from] : from;
    while (from < m_text.size() && InRun(kind, m_text[from]))
        ++from;
    return from;
}

void IndexedText::Clear() {
    m_text = std::u16string();
    for (std::vector<uint32_t> &ends : m_runEnds)
        ends = std::vector<uint32_t>();
    m_versus = std::vector<uint32_t>();
}

bool HoldsNestedElements(const NKXML::CNode *cell) {
    for (const NKXML::CNode *child : cell->m_children) {
        if (child->m_nType != NKXML::XML_TEXT && !child->m_children.empty())
            return true;
    }
    return false;
}

void CellTextIndex::Build(const std::vector<NKXML::CNode *> &roots, const uint16_t atoms[]) {
    Clear();
    m_built = true;
    // What the walk entered and follows until it leaves: result rows (whose children are the cells) and the
    // indexed cells, innermost last.
    struct Open {
        const NKXML::CNode *node;
        CellStretch *cell; // null for a row
    };
    std::vector<Open> open;
    size_t cellsOpen = 0;
    auto enter = [&](const NKXML::CNode *node, size_t) {
        if (node->m_nType == NKXML::XML_TEXT) {
            if (cellsOpen > 0 && node->m_pszValue) {
                m_raw.m_text += node->m_pszValue;
                for (const char16_t *p = node->m_pszValue; *p; ++p) {
                    char16_t c = *p;
                    if (CleanCellChar(c))
                        m_clean.m_text += c;
                }
            }
            return false;
        }
        if (node->m_nType != NKXML::XML_ELEMENT)
            return false;
        if (!open.empty() && !open.back().cell && open.back().node == node->m_pParent) {
            if (!HoldsNestedElements(node))
                return false; // read in place
            CellStretch &cell = m_cells[node];
            cell.rawBegin = static_cast<uint32_t>(m_raw.m_text.size());
            cell.cleanBegin = static_cast<uint32_t>(m_clean.m_text.size());
            open.push_back({node, &cell});
            ++cellsOpen;
            return true;
        }
        if (IsResultRow(node, atoms)) {
            open.push_back({node, nullptr});
            return true;
        }
        return false;
    };
    auto leave = [&] {
        if (CellStretch *cell = open.back().cell) {
            cell->rawEnd = static_cast<uint32_t>(m_raw.m_text.size());
            cell->cleanEnd = static_cast<uint32_t>(m_clean.m_text.size());
            --cellsOpen;
        }
        open.pop_back();
    };
    NKXML::WalkStack stack;
    for (const NKXML::CNode *root : roots)
        NKXML::WalkTree(root, stack, enter, leave);
    // Pair cells read letters, white space and numbers from the raw text; result cells a number from the cleaned,
    // and a contract cell that a later one replaces only its number and whether it would be quoted.
    m_raw.Index({RUN_LETTERS, RUN_SPACES, RUN_DIGITS, RUN_ZEROS}, true);
    m_clean.Index({RUN_DIGITS, RUN_ZEROS, RUN_TOKEN}, false);
}

void CellTextIndex::Clear() {
    m_raw.Clear();
    m_clean.Clear();
    m_cells = {};
    m_built = false;
}

const CellStretch *CellTextIndex::Find(const NKXML::CNode *cell) const {
    auto found = m_cells.find(cell);
    return found != m_cells.end() ? &found->second : nullptr;
}

size_t CellText::IndexedRunEnd(TextRun kind, size_t from) const {
    return std::min(m_indexed->RunEnd(kind, m_begin + from), m_begin + m_view.size()) - m_begin;
}

size_t CellText::FindVersus() const {
    if (!m_indexed)
        return m_view.find(VERSUS);
    const size_t at = m_indexed->VersusAt(m_begin);
    return at + VERSUS.size() <= m_begin + m_view.size() ? at - m_begin : std::u16string_view::npos;
}

CellText CellText::Part(size_t from, size_t to) const {
    CellText part = *this;
    part.m_view = m_view.substr(from, to - from);
    part.m_begin += from;
    return part;
}

namespace {

CellNumber NumberOf(uint64_t magnitude, bool negative, size_t consumed) {
    const bool overflow = magnitude > 0xFFFFFFFFu;
    const uint32_t saturated = overflow ? 0xFFFFFFFFu : static_cast<uint32_t>(magnitude);
    return {platform::UnsignedReading(saturated, negative, overflow),
            platform::SignedReading(saturated, negative, overflow), consumed};
}

// A plain text's number in one pass: the digits are read as they are found.
CellNumber ReadPlainNumber(std::u16string_view view, size_t from) {
    size_t p = from;
    while (p < view.size() && InRun(RUN_SPACES, view[p]))
        ++p;
    const bool negative = p < view.size() && view[p] == u'-';
    if (p < view.size() && (view[p] == u'-' || view[p] == u'+'))
        ++p;
    const size_t digits = p;
    uint64_t magnitude = 0;
    for (unsigned digit; p < view.size() && (digit = DecimalDigitValue(view[p])) < 10; ++p)
        magnitude = std::min<uint64_t>(magnitude * 10 + digit, uint64_t(1) << 32); // past 32 bits stays past
    if (p == digits)
        return {};
    return NumberOf(magnitude, negative, p - from);
}

// An indexed text's number: the runs of white space, digits and zeros are looked up, so that only the significant
// digits are read. Eleven of them overflow 32 bits, as any longer run does.
CellNumber ReadIndexedNumber(const CellText &text, size_t from) {
    const std::u16string_view view = text.View();
    size_t p = text.RunEnd(RUN_SPACES, from);
    const bool negative = p < view.size() && view[p] == u'-';
    if (p < view.size() && (view[p] == u'-' || view[p] == u'+'))
        ++p;
    const size_t digitsEnd = text.RunEnd(RUN_DIGITS, p);
    if (digitsEnd == p)
        return {};
    const size_t significant = text.RunEnd(RUN_ZEROS, p);
    uint64_t magnitude = 0;
    for (size_t d = significant; d < digitsEnd && d < significant + 11; ++d)
        magnitude = magnitude * 10 + DecimalDigitValue(view[d]);
    return NumberOf(magnitude, negative, digitsEnd - from);
}

} // namespace

CellNumber ReadCellNumber(const CellText &text, size_t from) {
    return text.IsIndexed() ? ReadIndexedNumber(text, from) : ReadPlainNumber(text.View(), from);
}
