#pragma once
// One node of the tree cut out of a page: an element (or the DOCTYPE declaration), an attribute, a comment or a
// run of text. Nodes, their lists and their strings belong to the parser that made them and stay valid until it
// is reset or destroyed.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace NKXML {

class CXMLParser;
struct CNode;

// Node kinds (CNode::m_nType).
constexpr int XML_ATTRIBUTE = 0;
constexpr int XML_ELEMENT = 1;
constexpr int XML_COMMENT = 2;
constexpr int XML_TEXT = 3;

// The children or attributes of a node: a read-only array of node pointers whose storage lives in the parser's
// node arena (growing it allocates nothing on the heap).
class CNodeList {
public:
    using value_type = CNode *;
    using const_iterator = CNode *const *;

    const_iterator begin() const { return m_pItems; }
    const_iterator end() const { return m_pItems + m_nCount; }
    size_t size() const { return m_nCount; }
    bool empty() const { return m_nCount == 0; }
    CNode *operator[](size_t i) const { return m_pItems[i]; }
    CNode *front() const { return m_pItems[0]; }
    CNode *back() const { return m_pItems[m_nCount - 1]; }

private:
    friend class CXMLParser;
    CNode **m_pItems = nullptr;
    uint32_t m_nCount = 0;
    uint32_t m_nCapacity = 0;
};

struct CNode {
    int m_nType = XML_ATTRIBUTE;
    uint32_t m_nFlags = 0;          // element flags of the element's name (XMLF_EMPTY, XMLF_OPTIONAL_END)
    char16_t *m_pszName = nullptr;  // as written in the page, case kept; null for text and comments
    char16_t *m_pszValue = nullptr; // attribute value, text, comment text or DOCTYPE body; null for others
    uint16_t m_nAtom = 0;           // atom of the name; 0 for text and comments
    CNodeList m_attributes;         // attribute nodes in the order written
    CNodeList m_children;           // child nodes in document order
    CNode *m_pParent = nullptr;     // enclosing element (for an attribute: its element); null for a root

    // Appends to out, in document order, this node and every descendant (attributes are never candidates) that
    // has the tag atom (0: any node) and, when attrAtom is not 0 and value is not null, an attribute with that
    // atom whose value equals value exactly. out is not cleared. Walks with its own stack, so any depth is fine.
    void FindElements(std::vector<CNode *> &out, uint16_t tagAtom, uint16_t attrAtom, const char16_t *value);
};

} // namespace NKXML
