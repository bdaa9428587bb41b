// Board divisions inside board divisions, and score tables inside the result cells of other score tables. Each board
// takes the first labels, the first sixteen hand cells and the first score table among all its descendants, and a
// cell's text takes in every table nested in it. The export of generated pages must equal what a plain search of
// every board's subtree and a plain reading of every cell's whole text give; pages nested very deep must still be
// read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "markup/xml_node.h"
#include "platform/code_page.h"
#include "platform/wide_text.h"
#include "support.h"

namespace {

using Strings = std::vector<std::string>;
using NKXML::CNode;

CDSCDoc &Load(CDSCDoc &document, const std::string &body) {
    support::BytesPageSource source(u"file:///results/page.htm",
                                    "<html><head><title>t</title></head><body>\n" + body + "\n</body></html>\n", 65001);
    document.LoadFromView(source);
    return document;
}

// Each written board of an export as one line: "Board|Section|Dealer|Vulnerable|Deal|ScoreTable|rows" (rows
// joined by '/'; an absent tag as "").
Strings ExportedBoards(const std::string &pbn) {
    static const char *const names[6] = {"Board", "Section", "Dealer", "Vulnerable", "Deal", "ScoreTable"};
    Strings boards;
    std::string tags[6], rows;
    auto flush = [&] {
        if (!tags[0].empty() || !tags[4].empty() || !rows.empty())
            boards.push_back(tags[0] + "|" + tags[1] + "|" + tags[2] + "|" + tags[3] + "|" + tags[4] + "|" + tags[5] +
                             "|" + rows);
        for (std::string &tag : tags)
            tag.clear();
        rows.clear();
    };
    for (size_t start = 0, end; (end = pbn.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = pbn.substr(start, end - start);
        if (line.rfind("[Event ", 0) == 0)
            flush();
        if (line.empty() || line[0] == '%')
            continue;
        if (line[0] != '[')
            rows += (rows.empty() ? "" : "/") + line;
        for (int tag = 0; tag < 6 && line[0] == '['; ++tag) {
            const std::string open = std::string("[") + names[tag] + " \"";
            if (line.rfind(open, 0) == 0)
                tags[tag] = line.substr(open.size(), line.size() - open.size() - 2);
        }
    }
    flush();
    return boards;
}

// What the conversion makes of each board, worked out the slow way: a search of the board's whole subtree for each
// part, the section from the siblings before the board, the table after it when none is inside, and that table as
// the conversion reads it when each cell holds its whole text as plain text (the golden pages check the rules).
class Reference {
public:
    explicit Reference(CDSCDoc &document) : m_parser(document.m_parser), m_codePage(document.m_nOutputCodePage) {}

    Strings Boards() {
        Strings result;
        for (CNode *board : Find(nullptr, u"div", u"tsboard")) {
            const char16_t *number = SpanText(board, u"tslabelboard");
            const char16_t *dealer = SpanText(board, u"tslabeldealer");
            const char16_t *vul = SpanText(board, u"tslabelvul");
            std::string numberText = "?";
            if (number) {
                while (*number && !(*number >= u'0' && *number <= u'9'))
                    ++number;
                int value = 0;
                while (*number >= u'0' && *number <= u'9' && value < 100000)
                    value = value * 10 + (*number++ - u'0');
                if (value >= 1)
                    numberText = std::to_string(value);
            }
            const std::string seats = "NESW";
            const size_t seat = dealer && *dealer ? seats.find(static_cast<char>(*dealer)) : std::string::npos;
            const std::u16string label = vul ? vul : u"";
            const std::string vulText = !vul                           ? "?"
                                        : label.rfind(u"None", 0) == 0 ? "None"
                                        : label[0] == u'N'             ? "NS"
                                        : label[0] == u'E'             ? "EW"
                                        : label[0] == u'B'             ? "All"
                                                                       : "?";
            const std::string deal = Deal(board, seat == std::string::npos ? 0 : static_cast<int>(seat));
            const std::string table = ScoreTable(board);
            if (deal.empty() && table == "|")
                continue; // a board without cards and results is not written
            result.push_back(numberText + "|" + Section(board) + "|" +
                             (seat == std::string::npos ? "?" : seats.substr(seat, 1)) + "|" + vulText + "|" + deal +
                             "|" + table);
        }
        return result;
    }

private:
    bool IsElement(const CNode *node, const char16_t *tag) const {
        return node->m_nType == NKXML::XML_ELEMENT && node->m_nAtom == m_parser.FindAtom(tag);
    }
    std::u16string_view Attribute(const CNode *node, const char16_t *name) const {
        for (const CNode *attribute : node->m_attributes)
            if (attribute->m_nAtom == m_parser.FindAtom(name))
                return attribute->m_pszValue ? attribute->m_pszValue : u"";
        return u"";
    }
    static const char16_t *FirstText(const CNode *node) {
        for (const CNode *child : node->m_children)
            if (child->m_nType == NKXML::XML_TEXT)
                return child->m_pszValue;
        return nullptr;
    }
    static std::u16string TextBelow(const CNode *node) { // not recursive: tables nest a hundred thousand deep
        std::u16string text;
        std::vector<const CNode *> pending{node};
        while (!pending.empty()) {
            const CNode *next = pending.back();
            pending.pop_back();
            if (next != node && next->m_nType == NKXML::XML_TEXT && next->m_pszValue)
                text += next->m_pszValue;
            for (size_t child = next->m_children.size(); child-- > 0;)
                pending.push_back(next->m_children[child]);
        }
        return text;
    }
    // Elements with the tag and class below `board`, or in the whole page.
    std::vector<CNode *> Find(CNode *board, const char16_t *tag, const char16_t *className) {
        std::vector<CNode *> found;
        if (board)
            board->FindElements(found, m_parser.FindAtom(tag), m_parser.FindAtom(u"class"), className);
        else
            m_parser.FindElements(found, tag, u"class", className);
        return found;
    }
    const char16_t *SpanText(CNode *board, const char16_t *className) {
        std::vector<CNode *> spans = Find(board, u"span", className);
        return spans.empty() ? nullptr : FirstText(spans[0]);
    }
    size_t IndexOf(const CNode *board) const {
        size_t at = 0;
        while (board->m_pParent->m_children[at] != board)
            ++at;
        return at;
    }
    std::string Deal(CNode *board, int firstSeat) {
        std::vector<CNode *> cells = Find(board, u"td", u"tshand");
        std::string holdings[16];
        for (size_t k = 0; k < cells.size() && k < 16; ++k) {
            for (const char16_t *text = FirstText(cells[k]); text && *text; ++text) {
                if (*text == u'1') {
                    holdings[k] += 'T';
                    text += text[1] ? 1 : 0;
                } else if (*text != u' ' && *text != u'\n' && *text != u'\u2014') {
                    holdings[k] += static_cast<char>(*text);
                }
            }
        }
        const int rowOfSeat[4] = {0, 2, 3, 1};
        std::string deal = std::string(1, "NESW"[firstSeat]) + ":";
        for (int hand = 0; hand < 4; ++hand) {
            const int row = rowOfSeat[(firstSeat + hand) % 4];
            deal += holdings[row * 4] + "." + holdings[row * 4 + 1] + "." + holdings[row * 4 + 2] + "." +
                    holdings[row * 4 + 3] + (hand < 3 ? " " : "");
        }
        return deal.substr(2) == "... ... ... ..." ? "" : deal;
    }
    std::string Section(const CNode *board) {
        if (!board->m_pParent)
            return "";
        const auto &siblings = board->m_pParent->m_children;
        for (size_t at = IndexOf(board), divisions = 0; at > 0 && divisions < 2;) {
            const CNode *sibling = siblings[--at];
            if (!IsElement(sibling, u"div"))
                continue;
            ++divisions;
            const std::string id = platform::Utf16ToUtf8(std::u16string(Attribute(sibling, u"id")));
            if (id.rfind("Board", 0) == 0) {
                size_t end = 5;
                while (end < id.size() && std::isalpha(static_cast<unsigned char>(id[end])))
                    ++end;
                return id.substr(5, end - 5);
            }
        }
        return "";
    }
    // "tag|rows" of the board's score table; "|" when it has none or the table no result rows.
    std::string ScoreTable(CNode *board) {
        std::vector<CNode *> tables = Find(board, u"table", u"tsst");
        const CNode *table = tables.empty() ? nullptr : tables[0];
        if (!table && board->m_pParent) {
            const auto &siblings = board->m_pParent->m_children;
            size_t at = IndexOf(board);
            while (++at < siblings.size() && siblings[at]->m_nType != NKXML::XML_ELEMENT) {
            }
            if (at < siblings.size() && IsElement(siblings[at], u"table") &&
                Attribute(siblings[at], u"class") == u"tsst")
                table = siblings[at];
        }
        return table ? Flattened(table) : "|";
    }
    // What the conversion makes of the table's result rows with every cell holding its whole text as plain text: a
    // cell's text must not depend on whether the text lies in tables nested in the cell.
    std::string Flattened(const CNode *table) {
        std::string page = "<div class=\"tsboard\"><table class=\"tsst\"><tbody>";
        for (const CNode *body : table->m_children) {
            for (const CNode *row : body->m_children) {
                const std::string rowClass = platform::Utf16ToUtf8(std::u16string(Attribute(row, u"class")));
                if (!IsElement(body, u"tbody") || !IsElement(row, u"tr") ||
                    (rowClass != "tsst" && rowClass != "tsstshade"))
                    continue;
                page += "<tr class=\"" + rowClass + "\">";
                for (const CNode *cell : row->m_children) { // a text or a comment takes a position too
                    const std::string name = cell->m_pszName ? platform::Utf16ToUtf8(cell->m_pszName) : "";
                    if (cell->m_nType == NKXML::XML_ELEMENT)
                        page += "<" + name + " class=\"" +
                                platform::Utf16ToUtf8(std::u16string(Attribute(cell, u"class"))) + "\">" +
                                Escaped(TextBelow(cell).c_str()) + "</" + name + ">";
                    else
                        page += cell->m_nType == NKXML::XML_TEXT ? Escaped(cell->m_pszValue) : "<!---->";
                }
                page += "</tr>";
            }
        }
        CDSCDoc document;
        const Strings boards = ExportedBoards(Load(document, page + "</tbody></table></div>").m_strPbn);
        return boards.empty() ? "|"
                              : platform::ConvertToCodePage(
                                    platform::ConvertFromCodePage(boards[0].substr(std::string("?||?|?||").size()),
                                                                  static_cast<unsigned>(document.m_nOutputCodePage)),
                                    static_cast<unsigned>(m_codePage));
    }
    static std::string Escaped(const char16_t *text) {
        std::string escaped;
        for (char c : platform::Utf16ToUtf8(text ? text : u""))
            escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : std::string(1, c);
        return escaped;
    }

    NKXML::CXMLParser &m_parser;
    int m_codePage; // the page's own: the flattened table may be written in another
};

// Random pages: pieces of boards (divisions closed or not, labels, hand cells, score tables, section divisions and
// filler) in random order, or board divisions holding a score table whose cells hold random text, elements and,
// down to a given depth, boards of their own.
class RandomPage {
public:
    explicit RandomPage(uint32_t seed) : m_random(seed) {}

    std::string Pieces(int count) {
        std::string body;
        for (int piece = 0, open = 0; piece < count; ++piece) {
            switch (Pick(12)) {
            case 0:
            case 1:
                body += Field("<div class=\"tsboard\">|<div class=\"x\" class=\"tsboard\">|<DIV CLASS=tsboard>");
                ++open;
                break;
            case 2:
                if (open > 0 && Pick(3) == 0) {
                    body += "</div>";
                    --open;
                }
                break;
            case 3:
                body += Field("<div id=\"BoardAB\"></div>|<div id=\"Board7\"></div>|<div id=\"BoardC\"></div>|"
                              "<div></div>|<p>x</p>|<div id=\"board D\"></div>");
                break;
            case 4:
            case 5:
                body += "<span class=\"" + Field("tslabelboard|tslabeldealer|tslabelvul") + "\"" +
                        Field("|| class=\"tslabeldealer\"") + ">" +
                        Field("Board 12|Bd. 7a|3|North|East|n|None|N-S|E-W|Both||-|<b>9</b>South") + "</span>";
                break;
            case 6:
            case 7:
            case 8:
                body += "<td class=\"" + Field("tshand|tshand|tshand|other") + "\">" +
                        Field("AK|Q 10 4|&mdash;||J|98 7|<i>K</i>") + "</td>";
                break;
            case 9: // a score table, one without a body (no result rows) or one of another class
                body += Pick(4) ? Table(0)
                                : Field("<table class=\"tsst\"><tr class=\"tsst\"><td class=\"tsstcontract\">1</td>"
                                        "</tr></table>|<table class=\"other\"><tbody><tr class=\"tsst\"><td "
                                        "class=\"tsstcontract\">2</td></tr></tbody></table>");
                break;
            case 10:
                body += Field("\n| <!-- note --> |<br>|<p>");
                break;
            default:
                body += Field("<table><tbody><tr>|</tr></tbody></table>|<div>|</div>");
                break;
            }
        }
        return body;
    }

    std::string Board(int depth) { return "<div class=\"tsboard\">" + Table(depth) + "</div>"; }

    int m_nestedBoards = 0;

private:
    std::string Table(int depth) {
        static const char *const classes[13] = {"tsstcontract", "tsstdeclarer", "tsstmade", "tsstlead",  "tsstscorens",
                                                "tsstscoreew",  "tsstmpns",     "tsstmpew", "tsstimpns", "tsstimpew",
                                                "tsstpairns",   "tsstpairew",   "tsstpairs"};
        // Contract, result, lead and pair cells: the cells that read what another cell of the row wrote.
        static const int favourites[6] = {0, 2, 3, 10, 11, 12};
        std::string table = "<table class=\"tsst\"><tbody>";
        for (int row = 0, rows = 1 + Pick(3); row < rows; ++row) {
            table += row > 0 && Pick(6) == 0 ? "<tr class=\"other\">"
                     : Pick(2)               ? "<tr class=\"tsst\">"
                                             : "<tr class=\"tsstshade\">";
            for (int cell = 0, cells = 1 + Pick(6); cell < cells; ++cell) {
                if (Pick(8) == 0)
                    table += " "; // a text child takes a position too
                // A cell of a listed class, or one without a class, or a heading cell of a listed class.
                const int entry = Pick(3) == 0 ? favourites[Pick(6)] : Pick(15);
                const bool heading = entry == 14 && (row > 0 || cell > 0);
                table += heading ? "<th class=\"tsstcontract\">"
                         : entry < 13 || (row == 0 && cell == 0)
                             ? "<td class=\"" + std::string(classes[entry % 13]) + "\">"
                             : "<td>";
                for (int piece = Pick(4); piece > 0; --piece)
                    table += Piece(depth);
                table += heading ? "</th>" : "</td>";
            }
            table += "</tr>";
        }
        return table + "</tbody></table>";
    }
    std::string Piece(int depth) {
        switch (Pick(6)) {
        case 0:
            return "<i>" + Piece(depth) + "</i>";
        case 1:
            m_nestedBoards += depth > 0;
            return depth > 0 ? Board(depth - 1) : "<b></b><!-- note -->";
        default:
            return Field(
                "| |\n|&nbsp;|4|-2|&minus;1|3NT|&spades;10|S10x|4&hearts;&times;|B12|7-East team|1 vs 2| vs |vs|"
                "0007|000000000000000000042|12345678901|4294967296|&#x0665;&#x0660;|&#xFF17;|"
                "&#x0660;&#x0660;&#xFF10;7|+3|-|\"q\\\"|a;b|2&eacute;|3;x|&minus;3|Ren&eacute;|AB|x|"
                "&#x3000;2 - Lee|99");
        }
    }
    int Pick(int choices) { return static_cast<int>(m_random() % static_cast<uint32_t>(choices)); }
    // One of the '|'-separated choices, at random.
    std::string Field(std::string_view choices) {
        size_t at = 0;
        for (int skip = Pick(static_cast<int>(std::count(choices.begin(), choices.end(), '|')) + 1); skip > 0; --skip)
            at = choices.find('|', at) + 1;
        return std::string(choices.substr(at, choices.find('|', at) - at));
    }

    std::mt19937 m_random;
};

TEST(NestedBoards, ExportEqualsASearchOfEveryBoardsSubtreeAndAReadingOfEveryCellsWholeText) {
    int nestedBoards = 0, nestedTables = 0;
    for (uint32_t page = 0; page < 700; ++page) {
        RandomPage generator(20261207 + page);
        std::string body;
        if (page < 300) {
            body = generator.Pieces(20 + static_cast<int>(page % 120));
        } else {
            for (int board = 0; board < 3; ++board)
                body += generator.Board(static_cast<int>(page % 5));
        }
        CDSCDoc document;
        Load(document, body);
        ASSERT_EQ(ExportedBoards(document.m_strPbn), Reference(document).Boards()) << body;
        nestedTables += generator.m_nestedBoards;
        std::vector<CNode *> boards;
        document.m_parser.FindElements(boards, u"div", u"class", u"tsboard");
        for (CNode *board : boards) {
            std::vector<CNode *> inner;
            board->FindElements(inner, board->m_nAtom, 0, nullptr);
            nestedBoards += page < 300 && inner.size() > 1;
        }
    }
    EXPECT_GT(nestedBoards, 1000); // the pages do nest boards
    EXPECT_GT(nestedTables, 2000); // and tables in cells
}

// Thousands of unclosed divisions, each with one cell, share the one label of the innermost (long, read once) and
// the one score table that lies a million elements deep in it; each board's deal holds its own cell and the next
// fifteen boards' cells.
TEST(NestedBoards, ThousandsOfUnclosedBoardsShareTheLabelAndTableOfTheInnermostOneAMillionDeep) {
    constexpr int BOARDS = 3000;
    constexpr int DEPTH = 1000000;
    const std::string ranks = "AKQJT98765432";
    std::string body;
    for (int board = 1; board <= BOARDS; ++board)
        body += "<div class=\"tsboard\"><td class=\"tshand\">" + ranks.substr(board % 13, 1) + "</td>";
    body += "<span class=\"tslabelboard\">" + std::string(100000, 'x') + "7</span>";
    body.reserve(body.size() + DEPTH * 3 + 200);
    for (int level = 0; level < DEPTH; ++level)
        body += "<i>";
    body += "<table class=\"tsst\"><tbody><tr class=\"tsst\"><td class=\"tsstcontract\">123</td></tr></tbody></table>";
    CDSCDoc document;
    const Strings boards = ExportedBoards(Load(document, body).m_strPbn);
    ASSERT_EQ(boards.size(), size_t(BOARDS));
    for (int board = 1; board <= BOARDS; ++board) {
        std::string rows[4]; // in diagram order: North, West, East, South
        for (int k = 0; k < 16; ++k)
            rows[k / 4] += (board + k <= BOARDS ? ranks.substr((board + k) % 13, 1) : "") + (k % 4 < 3 ? "." : "");
        ASSERT_EQ(boards[board - 1],
                  "7||?|?|N:" + rows[0] + " " + rows[2] + " " + rows[3] + " " + rows[1] + "|Contract\\3|123")
            << board;
    }
}

// Each board's pair cell holds "1", then the next board, whose result cell "2" follows its own pair cell: the
// outermost pair cell reads a number of 200,000 digits (saturated at 32 bits), every board one of its own, and
// writes no names. The pair reader must skip the digits without reading them again for every table.
TEST(NestedBoards, TablesNestedAHundredThousandDeepEachReadTheirWholeCells) {
    constexpr int BOARDS = 100000;
    std::string body;
    body.reserve(BOARDS * 160);
    for (int board = 0; board < BOARDS; ++board)
        body += "<div class=\"tsboard\"><table class=\"tsst\"><tbody><tr class=\"tsst\"><td class=\"tsstpairew\">1";
    for (int board = 0; board < BOARDS; ++board)
        body += "</td><td class=\"tsstmade\">2</td></tr></tbody></table></div>";
    CDSCDoc document;
    const Strings boards = ExportedBoards(Load(document, body).m_strPbn);
    ASSERT_EQ(boards.size(), size_t(BOARDS));
    for (int board = 0; board < BOARDS; ++board) {
        // Board b (from 0) reads BOARDS - b ones and BOARDS - b - 1 twos.
        const int inner = BOARDS - board;
        uint64_t number = 0;
        for (char digit : std::string(std::min(inner, 11), '1') + std::string(std::min(inner - 1, 11), '2'))
            number = std::min<uint64_t>(number * 10 + static_cast<uint64_t>(digit - '0'), 0xFFFFFFFFu);
        const std::string text = std::to_string(number);
        const std::string width = text.size() >= 2 ? "\\" + std::to_string(text.size()) + "R" : "";
        ASSERT_EQ(boards[board], "?||?|?||Section;PairId_EW" + width + ";Result;Names_EW|- " + text + " 8 -") << board;
    }
}

} // namespace
