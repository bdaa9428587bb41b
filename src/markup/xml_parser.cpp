#include "markup/xml_parser.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <string>

#include "platform/wide_text.h"

namespace NKXML {

namespace {

constexpr size_t MAX_ATOMS = 65534;

} // namespace

CXMLParser::CXMLParser(bool html) : m_bHtml(html) {
    InitElementFlags();
}

void CXMLParser::InitElementFlags() {
    m_flagMap.clear();
    if (!m_bHtml)
        return;
    for (const CElementFlagsEntry *row = g_elementFlags; row->m_pszName; ++row) {
        std::u16string name = platform::WidenAscii(row->m_pszName);
        uint16_t atom = AddAtom(name.c_str());
        if (m_flagMap.size() <= atom)
            m_flagMap.resize(size_t(atom) + 1, 0);
        m_flagMap[atom] = row->m_nFlags;
    }
}

void CXMLParser::Reset() {
    // Nodes live in the arena: releasing it frees the whole tree at once, however deep it is.
    m_roots.clear();
    m_arena.Release();
    m_retiredCopies.clear();
    m_pszCopy = nullptr;
    m_pszSource = nullptr;
    m_nLength = 0;
    m_atomMap.Clear();
    m_atomNames.clear();
    m_ownedNames.clear();
    InitElementFlags();
}

int CXMLParser::PositionOf(const char16_t *p) const {
    // A name outside the copy (one the caller passed in) gets a position outside the text: no line is shown.
    std::less<const char16_t *> before;
    if (!m_pszCopy || before(p, m_pszCopy) || before(m_pszCopy + m_nLength, p))
        return -1;
    return int(p - m_pszCopy);
}

namespace {

// Html names fold as the "C" locale's iswupper + towlower do: only the ASCII capitals change (an upper-case
// letter beyond ASCII has no lower case in that locale).
inline char16_t Fold(char16_t c) {
    return platform::ToLowerW(c);
}

// The key of a name is compared and hashed as it is folded, so a lookup needs no copy of the name: a name of
// several megabytes costs neither stack nor heap.
uint32_t FoldedHash(const char16_t *name, size_t length, bool fold) {
    // Every code unit goes in: names that share long stretches must not share a hash, or the table's lookups
    // compare each new name with all the others.
    uint32_t h = CAtomMap::SEED;
    for (size_t i = 0; i < length; ++i)
        h = CAtomMap::Step(h, fold ? Fold(name[i]) : name[i]);
    return h;
}

bool SameKey(std::u16string_view key, const char16_t *name, size_t length, bool fold) {
    if (key.size() != length)
        return false;
    if (!fold)
        return std::char_traits<char16_t>::compare(key.data(), name, length) == 0;
    for (size_t i = 0; i < length; ++i)
        if (key[i] != Fold(name[i]))
            return false;
    return true;
}

} // namespace

uint16_t CXMLParser::InternName(const char16_t *name, size_t length) {
    const uint32_t hash = FoldedHash(name, length, m_bHtml);
    if (uint16_t atom =
            m_atomMap.FindIf(hash, [&](std::u16string_view key) { return SameKey(key, name, length, m_bHtml); }))
        return atom;
    size_t n = m_atomNames.size();
    if (n >= MAX_ATOMS)
        ThrowXMLException(PositionOf(name), u"Atom number overflow");
    // A name from the page that folding leaves unchanged is kept as a view of the copy, which lives as long as
    // the atoms do; other names are stored.
    bool folds = false;
    if (m_bHtml)
        for (size_t i = 0; i < length && !folds; ++i)
            folds = Fold(name[i]) != name[i];
    std::u16string_view key(name, length);
    if (folds || PositionOf(name) < 0) {
        std::u16string &owned = m_ownedNames.emplace_back(name, length);
        if (m_bHtml)
            for (char16_t &c : owned)
                c = Fold(c);
        key = owned;
    }
    m_atomNames.push_back(key);
    uint16_t atom = uint16_t(n + 1);
    m_atomMap.Insert(key, hash, atom);
    if (atom < m_openCount.size())
        m_openCount[atom] = 0;
    return atom;
}

uint16_t CXMLParser::FindName(const char16_t *name, size_t length) const {
    const uint32_t hash = FoldedHash(name, length, m_bHtml);
    return m_atomMap.FindIf(hash, [&](std::u16string_view key) { return SameKey(key, name, length, m_bHtml); });
}

uint16_t CXMLParser::AddAtom(const char16_t *name) {
    if (!name)
        name = u"";
    return InternName(name, std::char_traits<char16_t>::length(name));
}

uint16_t CXMLParser::FindAtom(const char16_t *name) const {
    if (!name)
        return 0;
    return FindName(name, std::char_traits<char16_t>::length(name));
}

void CXMLParser::Append(CNodeList &list, CNode *node) {
    if (list.m_nCount == list.m_nCapacity) {
        uint32_t capacity = list.m_nCapacity ? list.m_nCapacity * 2 : 2;
        auto items = static_cast<CNode **>(m_arena.Allocate(sizeof(CNode *) * capacity));
        if (list.m_nCount)
            std::memcpy(items, list.m_pItems, sizeof(CNode *) * list.m_nCount);
        list.m_pItems = items;
        list.m_nCapacity = capacity;
    }
    list.m_pItems[list.m_nCount++] = node;
}

CNode *CXMLParser::CreateNode(CNode *parent, int type) {
    CNode *node = new (m_arena.Allocate(sizeof(CNode))) CNode();
    node->m_nType = type;
    node->m_pParent = parent;
    if (parent)
        Append(parent->m_children, node);
    else
        m_roots.push_back(node);
    return node;
}

CNode *CXMLParser::CreateAttribute(CNode *element) {
    CNode *node = new (m_arena.Allocate(sizeof(CNode))) CNode();
    node->m_nType = XML_ATTRIBUTE;
    node->m_pParent = element;
    Append(element->m_attributes, node);
    return node;
}

void CXMLParser::FindElements(std::vector<CNode *> &out, const char16_t *tag, const char16_t *attrName,
                              const char16_t *attrValue) {
    if (!tag)
        return;
    uint16_t tagAtom = 0;
    if (!(tag[0] == u'*' && tag[1] == 0)) {
        tagAtom = FindAtom(tag);
        if (!tagAtom)
            return;
    }
    uint16_t attrAtom = 0;
    if (attrName) {
        attrAtom = FindAtom(attrName);
        if (!attrAtom)
            return;
    }
    for (CNode *root : m_roots)
        root->FindElements(out, tagAtom, attrAtom, attrValue);
}

std::u16string CXMLParser::FormatError(const CXMLException &error) const {
    char16_t message[512];
    error.GetErrorMessage(message, 512);
    std::u16string result = message;
    const int p = error.m_nPosition;
    if (p < 0 || p >= m_nLength || !m_pszSource)
        return result;
    const char16_t *text = m_pszSource;
    auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n'; };
    unsigned line = 1;
    for (int i = 0; i < p; ++i)
        line += text[i] == u'\n';
    // The line the position is on. A position on a line break belongs to the line that the break ends (for
    // CR LF both code units do), so that line is shown, with the number counted above.
    int end = p;
    if (isBreak(text[p])) {
        if (text[p] == u'\n' && p > 0 && text[p - 1] == u'\r')
            --end;
    } else {
        while (end < m_nLength && !isBreak(text[end]))
            ++end;
    }
    int start = end;
    while (start > 0 && !isBreak(text[start - 1]))
        --start;
    result += u":\r\nLine ";
    result += platform::WidenAscii(std::to_string(line));
    result += u':';
    result.append(text + start, size_t(end - start));
    return result;
}

} // namespace NKXML
