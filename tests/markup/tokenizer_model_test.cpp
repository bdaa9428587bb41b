// The tokenizer against a plain model of it: one code unit per step through the numbered states, names ended
// with NULs in a copy, atoms in a std::map, nothing skipped ahead and no per-name counts. Random texts made of
// the pieces that steer the states must give the same tree (names, values, atoms, flags, attributes), the same
// atom list and the same error, message and position.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "markup/xml_parser.h"
#include "platform/wide_text.h"

using namespace NKXML;

namespace {

struct ModelError {
    std::u16string message;
    int position;
};

class Model {
public:
    explicit Model(bool html) : m_html(html) {
        // The elements that carry flags, in atom order: empty ones, and those marked '*' whose end tag is optional.
        static const char TABLE[] = "area base basefont body* br col colgroup* dd* dt* frame head* hr html* img input "
                                    "isindex li* link meta option* p* param tbody* td* tfoot* th* thead* tr*";
        if (!html)
            return;
        std::istringstream names(TABLE);
        for (std::string name; names >> name;) {
            const bool optionalEnd = name.back() == '*';
            if (optionalEnd)
                name.pop_back();
            m_flags[Intern(platform::WidenAscii(name), -1)] = optionalEnd ? XMLF_OPTIONAL_END : XMLF_EMPTY;
        }
    }

    void Parse(const std::u16string &text);
    std::string Dump() const;

private:
    struct Node {
        int type;
        uint32_t flags = 0;
        long name = -1; // offsets into the copy; -1: none
        long value = -1;
        uint16_t atom = 0;
        std::vector<Node *> attributes, children;
        Node *parent = nullptr;
    };

    uint16_t Intern(std::u16string name, int position) {
        Fold(name);
        auto found = m_atoms.find(name);
        if (found != m_atoms.end())
            return found->second;
        if (m_names.size() >= 65534)
            throw ModelError{u"Atom number overflow", position};
        m_names.push_back(name);
        return m_atoms[name] = uint16_t(m_names.size());
    }
    uint16_t Find(std::u16string name) {
        Fold(name);
        auto found = m_atoms.find(name);
        return found == m_atoms.end() ? 0 : found->second;
    }
    // iswupper, then towlower, of the "C" locale.
    void Fold(std::u16string &name) const {
        if (m_html)
            for (char16_t &c : name)
                if (platform::IsUpperW(c))
                    c = platform::ToLowerW(c);
    }
    std::u16string At(long offset) const {
        std::u16string s;
        for (long i = offset; offset >= 0 && m_copy[i]; ++i)
            s += m_copy[i];
        return s;
    }
    Node *Create(Node *parent, int type) {
        m_nodes.push_back(std::make_unique<Node>());
        Node *node = m_nodes.back().get();
        node->type = type;
        node->parent = parent;
        (parent ? parent->children : m_roots).push_back(node);
        return node;
    }
    bool Begins(long i, const char16_t *marker) const {
        for (; *marker; ++marker, ++i)
            if (m_copy[i] != *marker)
                return false;
        return true;
    }
    long Search(long i, const char16_t *marker) const {
        for (; m_copy[i]; ++i)
            if (Begins(i, marker))
                return i;
        return -1;
    }
    static ModelError Unexpected(char16_t c, long i) {
        return ModelError{u"Unexpected char: " + std::u16string(1, c) + u"\n", int(i)};
    }
    std::string Dump(const Node *node) const;

    bool m_html;
    std::vector<char16_t> m_copy;
    std::vector<std::unique_ptr<Node>> m_nodes;
    std::vector<Node *> m_roots;
    std::map<std::u16string, uint16_t> m_atoms;
    std::vector<std::u16string> m_names;
    std::map<uint16_t, uint32_t> m_flags;
};

void Model::Parse(const std::u16string &text) {
    m_copy.assign(text.begin(), text.end());
    m_copy.push_back(0);
    const uint16_t script = Intern(u"script", -1), style = Intern(u"style", -1);
    auto isSpace = [](char16_t c) { return platform::IsSpaceW(c); };
    auto isNameStart = [](char16_t c) { return platform::IsAlphaW(c) || c == u':' || c == u'_'; };
    auto isNameChar = [](char16_t c) {
        return platform::IsAlnumW(c) || c == u'-' || c == u'.' || c == u':' || c == u'_';
    };
    long i = m_copy[0] == 0xFEFF ? 1 : 0;
    int state = 0;
    Node *cur = nullptr, *attribute = nullptr;
    long slash = -1;
    char16_t quote = 0;
    auto toContent = [&] { state = cur && (cur->atom == script || cur->atom == style) ? 15 : 9; };
    auto closeStartTag = [&] {
        if (cur->flags & XMLF_EMPTY)
            cur = cur->parent;
        toContent();
    };
    for (;;) {
        const char16_t c = m_copy[i];
        if (c == 0)
            return;
        switch (state) {
        case 0:
        case 9:
            if (!cur && isSpace(c)) {
                ++i;
            } else if (c == u'<' && Begins(i + 1, u"![CDATA[")) {
                cur = Create(cur, XML_TEXT);
                cur->value = i;
                const long end = Search(i + 9, u"]]>");
                if (end < 0)
                    throw ModelError{u"CDATA not terminated", int(i)};
                i = end + 3;
                state = 10;
            } else if (c == u'<') {
                ++i;
                state = 1;
            } else {
                cur = Create(cur, XML_TEXT);
                cur->value = i++;
                state = 10;
            }
            break;
        case 1:
            if (isSpace(c)) {
                ++i;
            } else if (isNameStart(c) || c == u'!') {
                cur = Create(cur, XML_ELEMENT);
                if (Begins(i, u"!--")) {
                    cur->type = XML_COMMENT;
                    cur->value = i + 3;
                    ++i; // the end is looked for from the first '-'
                    state = 14;
                    break;
                }
                cur->name = i++;
                if (c == u'!') {
                    if (!m_copy[i])
                        return;
                    ++i;
                }
                state = 2;
            } else if (c == u'/') {
                slash = i++;
                state = 11;
            } else {
                throw Unexpected(c, i);
            }
            break;
        case 2:
            if (isNameChar(c)) {
                ++i;
                break;
            }
            m_copy[i] = 0;
            cur->atom = Intern(At(cur->name), int(cur->name));
            cur->flags = m_flags.count(cur->atom) ? m_flags[cur->atom] : 0;
            ++i;
            if (At(cur->name) == u"!DOCTYPE") {
                cur->value = i;
                state = 12;
            } else if (isSpace(c)) {
                state = 3;
            } else if (c == u'>') {
                closeStartTag();
            } else if (c == u'/') {
                state = 5;
            } else {
                throw Unexpected(c, i - 1);
            }
            break;
        case 3:
            if (isSpace(c) || (m_html && c == u'-')) {
                ++i;
            } else if (isNameStart(c)) {
                if (!cur)
                    throw ModelError{u"Tried to ascend from the root", int(i)};
                m_nodes.push_back(std::make_unique<Node>());
                attribute = m_nodes.back().get();
                attribute->type = XML_ATTRIBUTE;
                attribute->parent = cur;
                cur->attributes.push_back(attribute);
                attribute->name = i++;
                state = 4;
            } else if (c == u'>') {
                ++i;
                closeStartTag();
            } else if (c == u'/') {
                ++i;
                state = 5;
            } else if (c == u'=') {
                // The value goes to the last attribute when it has none yet, else nowhere.
                ++i;
                attribute =
                    !cur->attributes.empty() && cur->attributes.back()->value < 0 ? cur->attributes.back() : nullptr;
                state = 6;
            } else {
                throw Unexpected(c, i);
            }
            break;
        case 4:
            if (!isSpace(c) && c != u'>' && c != u'=') {
                ++i;
                break;
            }
            m_copy[i++] = 0;
            attribute->atom = Intern(At(attribute->name), int(attribute->name));
            if (c == u'>')
                closeStartTag();
            else
                state = c == u'=' ? 6 : 3;
            break;
        case 5:
            if (c != u'>')
                throw Unexpected(c, i);
            ++i;
            if (cur)
                cur = cur->parent;
            toContent();
            break;
        case 6:
            if (isSpace(c)) {
                ++i;
            } else if (c == u'"' || c == u'\'') {
                quote = c;
                if (attribute)
                    attribute->value = i + 1;
                ++i;
                state = 8;
            } else {
                if (attribute)
                    attribute->value = i;
                ++i;
                state = 7;
            }
            break;
        case 7:
            if (isSpace(c)) {
                m_copy[i++] = 0;
                state = 3;
            } else if (c == u'/' && m_copy[i + 1] == u'>') {
                m_copy[i++] = 0;
                state = 5;
            } else if (c == u'>') {
                m_copy[i++] = 0;
                closeStartTag();
            } else {
                ++i;
            }
            break;
        case 8:
            if (c == quote) {
                m_copy[i] = 0;
                state = 3;
            }
            ++i;
            break;
        case 10:
            if (c == u'<' && Begins(i + 1, u"![CDATA[")) {
                const long end = Search(i + 9, u"]]>");
                if (end < 0)
                    throw ModelError{u"CDATA not terminated", int(i)};
                i = end + 3;
            } else if (c == u'<') {
                m_copy[i++] = 0;
                CXMLParser::DecodeEntities(&m_copy[cur->value]);
                cur = cur->parent;
                state = 1;
            } else {
                ++i;
            }
            break;
        case 11:
            if (c != u'>') {
                ++i;
                break;
            }
            m_copy[i] = 0;
            if (cur && At(cur->name) == At(slash + 1)) {
                cur = cur->parent;
            } else if (!m_html) {
                throw ModelError{u"No start tag corresponding to end tag", int(i)};
            } else if (cur) {
                const uint16_t atom = Find(At(slash + 1));
                Node *open = cur;
                while (open && !(atom && open->atom == atom))
                    open = open->parent;
                if (open)
                    cur = open->parent;
            }
            ++i;
            toContent();
            break;
        case 12:
            if (c == u'"' || c == u'\'') {
                quote = c;
                state = 13;
            } else if (c == u'>') {
                m_copy[i] = 0;
                ++i;
                toContent();
                break;
            }
            ++i;
            break;
        case 13:
            if (c == quote)
                state = 12;
            ++i;
            break;
        case 14:
            if (Begins(i, u"-->")) {
                m_copy[i] = 0;
                if (cur->value > i) // "<!-->" and "<!--->": an empty text
                    cur->value = i;
                cur = cur->parent;
                i += 3;
                toContent();
            } else {
                ++i;
            }
            break;
        case 15:
            if (Begins(i, u"//<![CDATA[")) {
                const long end = Search(i + 11, u"//]]>");
                if (end < 0)
                    throw ModelError{u"CDATA not terminated", int(i)};
                i = end + 5;
                break;
            }
            if (c == u'<')
                state = 16;
            ++i;
            break;
        case 16:
            state = c == u'/' ? 17 : 15;
            ++i;
            break;
        case 17:
            state = isNameStart(c) ? 18 : 15;
            ++i;
            break;
        case 18:
            if (c == u'>') {
                m_copy[i] = 0;
                if (cur)
                    cur = cur->parent;
                toContent();
            }
            ++i;
            break;
        }
    }
}

// name#atom/flags{value}(attribute#atom=value)[children] "text" <!comment>, roots split by " | ", then the atoms.
std::string Picture(const char16_t *name, uint16_t atom, uint32_t flags, const char16_t *value) {
    return platform::Utf16ToUtf8(name ? name : u"") + "#" + std::to_string(atom) + "/" + std::to_string(flags) +
           (value ? "{" + platform::Utf16ToUtf8(value) + "}" : "");
}

std::string Model::Dump(const Node *node) const {
    const std::u16string value = At(node->value);
    if (node->type == XML_TEXT)
        return "\"" + platform::Utf16ToUtf8(value) + "\"";
    if (node->type == XML_COMMENT)
        return "<!" + platform::Utf16ToUtf8(value) + ">";
    const std::u16string name = At(node->name);
    std::string out = Picture(name.c_str(), node->atom, node->flags, node->value < 0 ? nullptr : value.c_str());
    for (const Node *a : node->attributes) {
        const std::u16string attrName = At(a->name), attrValue = At(a->value);
        out += "(" + Picture(attrName.c_str(), a->atom, 0, a->value < 0 ? nullptr : attrValue.c_str()) + ")";
    }
    if (!node->children.empty()) {
        out += "[";
        for (const Node *child : node->children)
            out += Dump(child) + " ";
        out += "]";
    }
    return out;
}

std::string Model::Dump() const {
    std::string out;
    for (const Node *root : m_roots)
        out += Dump(root) + " | ";
    for (const std::u16string &name : m_names)
        out += platform::Utf16ToUtf8(name) + ",";
    return out;
}

std::string DumpNode(const CNode *node) {
    if (node->m_nType == XML_TEXT)
        return "\"" + platform::Utf16ToUtf8(node->m_pszValue) + "\"";
    if (node->m_nType == XML_COMMENT)
        return "<!" + platform::Utf16ToUtf8(node->m_pszValue) + ">";
    std::string out = Picture(node->m_pszName, node->m_nAtom, node->m_nFlags, node->m_pszValue);
    for (const CNode *a : node->m_attributes)
        out += "(" + Picture(a->m_pszName, a->m_nAtom, a->m_nFlags, a->m_pszValue) + ")";
    if (!node->m_children.empty()) {
        out += "[";
        for (const CNode *child : node->m_children)
            out += DumpNode(child) + " ";
        out += "]";
    }
    return out;
}

std::string DumpParser(const CXMLParser &parser) {
    std::string out;
    for (const CNode *root : parser.m_roots)
        out += DumpNode(root) + " | ";
    for (std::u16string_view name : parser.m_atomNames)
        out += platform::Utf16ToUtf8(name) + ",";
    return out;
}

void CompareWithModel(const std::vector<std::u16string> &pieces, uint32_t seed, int runs) {
    std::mt19937 rng(seed);
    CXMLParser parsers[2] = {CXMLParser(false), CXMLParser(true)}; // reused with Reset, as the document does
    int failures = 0;
    for (int run = 0; run < runs && failures < 5; ++run) {
        std::u16string text;
        for (int n = 1 + int(rng() % 30); n > 0; --n)
            text += pieces[rng() % pieces.size()];
        const bool html = rng() % 4 != 0;

        Model model(html);
        std::string modelError;
        try {
            model.Parse(text);
        } catch (const ModelError &e) {
            modelError = platform::Utf16ToUtf8(e.message) + " @" + std::to_string(e.position);
        }
        CXMLParser &parser = parsers[html];
        parser.Reset();
        std::string parserError;
        try {
            parser.Parse(text.c_str(), int(text.size()));
        } catch (const CXMLException &e) {
            parserError = platform::Utf16ToUtf8(e.m_strMessage) + " @" + std::to_string(e.m_nPosition);
        }
        const std::string expected = model.Dump(), actual = DumpParser(parser);
        if (expected != actual || modelError != parserError) {
            ++failures;
            ADD_FAILURE() << (html ? "html" : "strict") << " text [" << platform::Utf16ToUtf8(text) << "]\n model  "
                          << expected << " " << modelError << "\n parser " << actual << " " << parserError;
        }
    }
}

// The pieces of a random text, split at '|'.
std::vector<std::u16string> Pieces(std::u16string_view list) {
    std::vector<std::u16string> out;
    for (size_t start = 0, bar; start <= list.size(); start = bar + 1) {
        bar = std::min(list.find(u'|', start), list.size());
        out.emplace_back(list.substr(start, bar - start));
    }
    return out;
}

TEST(MarkupTokenizerModel, SingleCharactersAndMarkers) {
    CompareWithModel(
        Pieces(u"<|>|/|=|\"|'|!|-| |\n|a|B|p|br|td|TD|tr|script|STYLE|!DOCTYPE|&amp;|&|;|&#65;|<![CDATA[|]]>|"
               u"//<![CDATA[|//]]>|-->|<!--|x|1|\u00a0|\u00e9|\u00c9|:|_|.|#|</|\ufeff|\u3000|\u0416"),
        1, 20000);
}

TEST(MarkupTokenizerModel, TagsAndPieces) {
    CompareWithModel(
        Pieces(u"<a b=c>|<td x='1'>|text|&amp;|</a>|<br/>|<br>|<!-- c -->|<script>x<y</script>|<script>a</b>c|<p>|"
               u"</P>|<!DOCTYPE html>| |\n|<a b>|<a b = c>|<A -x>|<![CDATA[ a ]]>|<style>//<![CDATA[ x //]]></style>|"
               u"&lt;|&#x41;|&#13;|<Div Class=\"q\">|</div>|</DIV >|<tr>|</table>|<table>|<img src=a/b/>|<a href=x/>|"
               u"<!-->|<!--->|</>|< a>|<a\u00a0b='>'>|<x:y z_1=2>|</x:Y>|<!DOCTYPE x \"a>b\" 'c'>|<!doctype z>|"
               u"<b x=>|</script>|<STYLE>|<script a=1>|<p x= =3 y>|&|;|<"),
        2, 20000);
}

} // namespace
