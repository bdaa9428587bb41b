// Board divisions inside board divisions: each board takes the first labels, the first sixteen hand cells and the
// first score table among all its descendants, so an outer board may take what belongs to a board inside it. The
// export of generated pages, nested, closed and mixed, must equal what a plain search of every board's subtree
// with the markup's element search gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "markup/xml_node.h"
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
    const char *const names[6] = {"Board", "Section", "Dealer", "Vulnerable", "Deal", "ScoreTable"};
    size_t start = 0;
    for (size_t end; (end = pbn.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = pbn.substr(start, end - start);
        if (line.rfind("[Event ", 0) == 0)
            flush();
        if (line.empty() || line[0] == '%')
            continue;
        if (line[0] != '[') {
            rows += (rows.empty() ? "" : "/") + line;
            continue;
        }
        for (int tag = 0; tag < 6; ++tag) {
            const std::string open = std::string("[") + names[tag] + " \"";
            if (line.rfind(open, 0) == 0)
                tags[tag] = line.substr(open.size(), line.size() - open.size() - 2);
        }
    }
    flush();
    return boards;
}

// What the board scan makes of each board, worked out the slow way: a search of the board's whole subtree for each
// part, the section from the siblings before the board, the table after it when none is inside.
class Reference {
public:
    explicit Reference(NKXML::CXMLParser &parser) : m_parser(parser) {}

    Strings Boards() {
        Strings result;
        std::vector<CNode *> boards;
        m_parser.FindElements(boards, u"div", u"class", u"tsboard");
        for (CNode *board : boards) {
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
            std::string vulText = "?";
            if (vul) {
                const std::u16string label = vul;
                vulText = label.rfind(u"None", 0) == 0 ? "None"
                          : label[0] == u'N'           ? "NS"
                          : label[0] == u'E'           ? "EW"
                          : label[0] == u'B'           ? "All"
                                                       : "?";
            }
            const std::string deal = Deal(board, seat == std::string::npos ? 0 : static_cast<int>(seat));
            std::string tableTag, rows;
            ScoreTable(board, tableTag, rows);
            if (deal.empty() && rows.empty())
                continue; // a board without cards and results is not written
            result.push_back(numberText + "|" + Section(board) + "|" +
                             (seat == std::string::npos ? "?" : seats.substr(seat, 1)) + "|" + vulText + "|" + deal +
                             "|" + tableTag + "|" + rows);
        }
        return result;
    }

private:
    static const char16_t *FirstText(const CNode *node) {
        for (const CNode *child : node->m_children)
            if (child->m_nType == NKXML::XML_TEXT)
                return child->m_pszValue;
        return nullptr;
    }
    static const char16_t *FirstAttribute(const CNode *node, uint16_t atom) {
        for (const CNode *attribute : node->m_attributes)
            if (attribute->m_nAtom == atom)
                return attribute->m_pszValue ? attribute->m_pszValue : u"";
        return u"";
    }
    std::vector<CNode *> Find(CNode *board, const char16_t *tag, const char16_t *className) {
        std::vector<CNode *> found;
        board->FindElements(found, m_parser.FindAtom(tag), m_parser.FindAtom(u"class"), className);
        return found;
    }
    const char16_t *SpanText(CNode *board, const char16_t *className) {
        std::vector<CNode *> spans = Find(board, u"span", className);
        return spans.empty() ? nullptr : FirstText(spans[0]);
    }
    std::string Deal(CNode *board, int firstSeat) {
        std::vector<CNode *> cells = Find(board, u"td", u"tshand");
        std::string holdings[16];
        for (size_t k = 0; k < cells.size() && k < 16; ++k) {
            const char16_t *text = FirstText(cells[k]);
            for (; text && *text; ++text) {
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
    // The generated tables hold one contract cell a row: the tag is "Contract\3" and each row its contract.
    void ScoreTable(CNode *board, std::string &tag, std::string &rows) {
        std::vector<CNode *> tables = Find(board, u"table", u"tsst");
        const CNode *table = tables.empty() ? nullptr : tables[0];
        const uint16_t classAtom = m_parser.FindAtom(u"class");
        if (!table && board->m_pParent) {
            const auto &siblings = board->m_pParent->m_children;
            size_t at = 0;
            while (siblings[at] != board)
                ++at;
            while (++at < siblings.size() && siblings[at]->m_nType != NKXML::XML_ELEMENT) {
            }
            if (at < siblings.size() && siblings[at]->m_nAtom == m_parser.FindAtom(u"table") &&
                std::u16string_view(FirstAttribute(siblings[at], classAtom)) == u"tsst")
                table = siblings[at];
        }
        if (!table)
            return;
        for (const CNode *body : table->m_children) {
            if (body->m_nAtom != m_parser.FindAtom(u"tbody"))
                continue;
            for (const CNode *row : body->m_children) {
                if (row->m_nAtom == m_parser.FindAtom(u"tr"))
                    rows += (rows.empty() ? "" : "/") + platform::Utf16ToUtf8(FirstText(row->m_children[0]));
            }
        }
        tag = rows.empty() ? "" : "Contract\\3";
    }
    std::string Section(const CNode *board) {
        if (!board->m_pParent)
            return "";
        const auto &siblings = board->m_pParent->m_children;
        size_t at = 0;
        while (siblings[at] != board)
            ++at;
        for (int divisions = 0; at > 0 && divisions < 2;) {
            const CNode *sibling = siblings[--at];
            if (sibling->m_nType != NKXML::XML_ELEMENT || sibling->m_nAtom != m_parser.FindAtom(u"div"))
                continue;
            ++divisions;
            std::string id = platform::Utf16ToUtf8(FirstAttribute(sibling, m_parser.FindAtom(u"id")));
            if (id.rfind("Board", 0) == 0) {
                size_t end = 5;
                while (end < id.size() && std::isalpha(static_cast<unsigned char>(id[end])))
                    ++end;
                return id.substr(5, end - 5);
            }
        }
        return "";
    }

    NKXML::CXMLParser &m_parser;
};

// A page of random pieces: board divisions that are closed or not, labels, hand cells, score tables (each with a
// contract of its own), section divisions and filler, in random order.
std::string RandomBody(std::mt19937 &random, int pieces) {
    auto pick = [&random](std::initializer_list<const char *> choices) {
        return std::string(choices.begin()[random() % choices.size()]);
    };
    std::string body;
    int open = 0;
    int contract = 100;
    for (int piece = 0; piece < pieces; ++piece) {
        switch (random() % 12) {
        case 0:
        case 1:
            body += pick({"<div class=\"tsboard\">", "<div class=\"x\" class=\"tsboard\">", "<DIV CLASS=tsboard>"});
            ++open;
            break;
        case 2:
            if (open > 0 && random() % 3 == 0) {
                body += "</div>";
                --open;
            }
            break;
        case 3:
            body += pick({"<div id=\"BoardAB\"></div>", "<div id=\"Board7\"></div>", "<div id=\"BoardC\"></div>",
                          "<div></div>", "<p>x</p>", "<div id=\"board D\"></div>"});
            break;
        case 4:
        case 5:
            body += "<span class=\"" + pick({"tslabelboard", "tslabeldealer", "tslabelvul"}) + "\"";
            body += pick({"", "", " class=\"tslabeldealer\""}) + ">";
            body += pick({"Board 12", "Bd. 7a", "3", "North", "East", "n", "None", "N-S", "E-W", "Both", "", "-",
                          "<b>9</b>South"});
            body += "</span>";
            break;
        case 6:
        case 7:
        case 8:
            body += "<td class=\"" + pick({"tshand", "tshand", "tshand", "other"}) + "\">";
            body += pick({"AK", "Q 10 4", "&mdash;", "", "J", "98 7", "<i>K</i>"}) + "</td>";
            break;
        case 9: {
            // A result table: two rows in a body, or rows without a body (no result rows at all).
            const bool withBody = random() % 4 != 0;
            std::string table = "<table class=\"" + pick({"tsst", "tsst", "tsst", "other"}) + "\">";
            table += withBody ? "<tbody>" : "";
            table += "<tr class=\"tsst\"><td class=\"tsstcontract\">" + std::to_string(contract++) + "</td></tr>";
            table += pick({"<tr class=\"tsstshade\"><td class=\"tsstcontract\">", "<tr class=\"tsst\"><td>"});
            table += std::to_string(contract++) + "</td></tr>";
            body += table + (withBody ? "</tbody></table>" : "</table>");
            break;
        }
        case 10:
            body += pick({"\n", " <!-- note --> ", "<br>", "<p>"});
            break;
        default:
            body += pick({"<table><tbody><tr>", "</tr></tbody></table>", "<div>", "</div>"});
            break;
        }
    }
    return body;
}

TEST(NestedBoards, ExportEqualsASearchOfEveryBoardsSubtree) {
    std::mt19937 random(20261207);
    int nestedBoards = 0;
    for (int page = 0; page < 300; ++page) {
        CDSCDoc document;
        const std::string body = RandomBody(random, 20 + page % 120);
        Load(document, body);
        const Strings expected = Reference(document.m_parser).Boards();
        ASSERT_EQ(ExportedBoards(document.m_strPbn), expected) << body;
        std::vector<CNode *> boards;
        document.m_parser.FindElements(boards, u"div", u"class", u"tsboard");
        for (const CNode *board : boards) {
            std::vector<CNode *> inner;
            const_cast<CNode *>(board)->FindElements(inner, board->m_nAtom, 0, nullptr);
            nestedBoards += inner.size() > 1;
        }
    }
    EXPECT_GT(nestedBoards, 1000); // the pages do nest boards
}

TEST(NestedBoards, AnOuterBoardTakesWhatItLacksFromTheBoardsInsideIt) {
    const std::string cells8 = "<td class=\"tshand\">A</td><td class=\"tshand\">K</td><td class=\"tshand\">Q</td>"
                               "<td class=\"tshand\">J</td><td class=\"tshand\">2</td><td class=\"tshand\">3</td>"
                               "<td class=\"tshand\">4</td><td class=\"tshand\">5</td>";
    const std::string table = "<table class=\"tsst\"><tbody><tr class=\"tsst\"><td class=\"tsstcontract\">";
    CDSCDoc document;
    // Board 1 has eight cells, no dealer and no table of its own; board 2, unclosed inside it, has all three. Board
    // 3 is closed inside board 2, board 4 follows as board 2's sibling inside board 1, its table after it.
    Load(document, "<div class=\"tsboard\"><span class=\"tslabelboard\">1</span>" + cells8 +
                       "<div id=\"BoardQ\"></div><div class=\"tsboard\"><span class=\"tslabelboard\">2</span>"
                       "<span class=\"tslabeldealer\">East</span>" +
                       cells8 + cells8 + table + "101</td></tr></tbody></table>" +
                       "<div class=\"tsboard\"><span class=\"tslabelboard\">3</span>" + cells8 + "</div>" +
                       "<div class=\"tsboard\"><span class=\"tslabelboard\">4</span><span class=\"tslabelvul\">"
                       "Both</span></div>" +
                       table + "102</td></tr></tbody></table>");
    EXPECT_EQ(ExportedBoards(document.m_strPbn),
              (Strings{"1||E|All|E:A.K.Q.J 2.3.4.5 2.3.4.5 A.K.Q.J|Contract\\3|101",
                       "2|Q|E|All|E:A.K.Q.J 2.3.4.5 2.3.4.5 A.K.Q.J|Contract\\3|101",
                       "3||?|?|N:A.K.Q.J ... ... 2.3.4.5||", "4||?|All||Contract\\3|102"}));
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

} // namespace
