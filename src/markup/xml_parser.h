#pragma once
// The tolerant HTML/XML parser of result pages. It copies a page's text once and cuts the copy up in place into a
// tree of element, attribute, text and comment nodes; tag and attribute names become 16-bit atoms, so searches
// compare numbers. In html mode names are case-folded for atoms, the elements that never have content close
// themselves, end tags that skip open elements are resolved leniently, and no end tag is ever inferred.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "markup/atom_map.h"
#include "markup/element_flags.h"
#include "markup/node_arena.h"
#include "markup/xml_exception.h"
#include "markup/xml_node.h"

namespace NKXML {

class CXMLParser {
public:
    // html selects html mode (the document's choice); false gives strict mode: exact names, no element flags,
    // a mismatched end tag is an error.
    explicit CXMLParser(bool html);
    ~CXMLParser() = default;
    CXMLParser(const CXMLParser &) = delete;
    CXMLParser &operator=(const CXMLParser &) = delete;

    // Builds the tree of text (length in code units; negative: NUL-terminated). Call Reset first. Throws
    // CXMLException on text it cannot read; the tree built up to that point stays and can be searched. text must
    // stay alive while an error is formatted.
    void Parse(const char16_t *text, int length);

    // Back to the empty state: no text, no copy, no nodes; in html mode the 28 element-flag names as atoms 1-28.
    // Every node, name and value pointer of the last page becomes invalid.
    void Reset();

    // Interns name (NUL-terminated) and returns its atom (1..65534). Throws "Atom number overflow" when a new
    // name would need a 65535th atom.
    uint16_t AddAtom(const char16_t *name);
    // Atom of name, or 0 when it is not interned. Never adds a name.
    uint16_t FindAtom(const char16_t *name) const;

    // Appends to out, in document order, every node whose name is tag ("*": any node, text and comments too)
    // and, when attrName and attrValue are given, that has an attribute attrName with exactly attrValue. A tag or
    // attribute name that was never interned appends nothing. out is not cleared.
    void FindElements(std::vector<CNode *> &out, const char16_t *tag, const char16_t *attrName,
                      const char16_t *attrValue);

    // A new node of the given kind at the end of parent's children (of the roots when parent is null).
    CNode *CreateNode(CNode *parent, int type);

    // Fills the element-flag atoms and table (html mode only).
    void InitElementFlags();

    // Decodes character references in place (the fifteen named ones and numeric ones); text is NUL-terminated.
    static void DecodeEntities(char16_t *text);
    // The same for text[0..length), which must be followed by a NUL; returns the decoded length.
    static size_t DecodeEntities(char16_t *text, size_t length);

    // Status text of an error of the last Parse: the message, and for a position inside the text ":\r\nLine n:"
    // with the text of that line.
    std::u16string FormatError(const CXMLException &error) const;

    uint32_t FlagsOf(uint16_t atom) const { return atom < m_flagMap.size() ? m_flagMap[atom] : 0; }

    bool m_bHtml;
    const char16_t *m_pszSource = nullptr; // the text given to Parse (not owned)
    int m_nLength = 0;
    char16_t *m_pszCopy = nullptr; // the parser's copy, m_nLength + 1 code units; null when empty
    std::vector<CNode *> m_roots;
    std::vector<std::u16string_view> m_atomNames; // atom n is entry n - 1 (lower case in html mode); valid until Reset
    CAtomMap m_atomMap;
    std::vector<uint32_t> m_flagMap; // element flags by atom; empty in strict mode
    char16_t m_chQuote = 0;
    uint16_t m_nAtomScript = 0;
    uint16_t m_nAtomStyle = 0;

private:
    // A copy buffer larger than this (in code units) is replaced when a page needs less than a quarter of it.
    static constexpr size_t RETAINED_COPY = 8 * 1024 * 1024;

    uint16_t InternName(const char16_t *name, size_t length);
    uint16_t FindName(const char16_t *name, size_t length) const;
    CNode *CreateAttribute(CNode *element);
    void Append(CNodeList &list, CNode *node);
    int PositionOf(const char16_t *p) const;
    // The steps before the tokenizer runs: the text copied into the pass's own buffer; the atoms of the raw-text
    // elements looked up and the counts of open elements cleared.
    void CopySource(const char16_t *text, int length);
    void ClearOpenCounts();

    CNodeArena m_arena;
    std::unique_ptr<char16_t[]> m_copyBuffer;
    size_t m_copyCapacity = 0;
    std::deque<std::u16string> m_ownedNames;                  // atom names that are not views of the copy
    std::vector<std::unique_ptr<char16_t[]>> m_retiredCopies; // copies of passes made without a Reset between
    // While parsing: how many elements with each atom are open (on the way from the current node to the root),
    // so that an end tag that matches nothing open is dismissed without climbing the tree.
    std::vector<uint32_t> m_openCount;
};

} // namespace NKXML
