// Score tables inside the result cells of other score tables: a cell's text takes in every table nested in it.
// The exported score tables of generated pages must equal what a plain reading of every cell's whole text gives,
// and tables nested a hundred thousand deep must still be read.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "conversion/dsc_doc.h"
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

// Each ScoreTable of the export as "tag value|rows text".
Strings ExportedScoreTables(const std::string &pbn) {
    Strings tables;
    const std::string open = "\r\n[ScoreTable \"";
    for (size_t at = pbn.find(open); at != std::string::npos; at = pbn.find(open, at + 1)) {
        const size_t tagEnd = pbn.find("\"]\r\n", at);
        const size_t rowsStart = tagEnd + 4;
        size_t rowsEnd = pbn.find("\r\n[Event \"", rowsStart);
        std::string rows =
            pbn.substr(rowsStart, rowsEnd == std::string::npos ? std::string::npos : rowsEnd - rowsStart);
        while (rows.size() >= 4 && rows.compare(rows.size() - 4, 4, "\r\n\r\n") == 0)
            rows.resize(rows.size() - 2);
        tables.push_back(pbn.substr(at + open.size(), tagEnd - at - open.size()) + "|" + rows);
    }
    return tables;
}

// The score table of a table element worked out the slow way: every cell's text gathered from its whole subtree,
// then each rule applied to it as it stands.
class ReferenceTable {
public:
    ReferenceTable(NKXML::CXMLParser &parser) : m_parser(parser) {}

    // "tag value|rows text", empty when the table has no result rows.
    std::u16string Build(const CNode *table) {
        std::vector<const CNode *> rows;
        for (const CNode *body : table->m_children) {
            if (!IsElement(body, u"tbody"))
                continue;
            for (const CNode *row : body->m_children) {
                const std::u16string_view rowClass = ClassOf(row);
                if (IsElement(row, u"tr") && (rowClass == u"tsst" || rowClass == u"tsstshade"))
                    rows.push_back(row);
            }
        }
        if (rows.empty())
            return u"";
        static const char16_t *const classes[13] = {
            u"tsstcontract", u"tsstdeclarer", u"tsstmade",  u"tsstlead",   u"tsstscorens", u"tsstscoreew", u"tsstmpns",
            u"tsstmpew",     u"tsstimpns",    u"tsstimpew", u"tsstpairns", u"tsstpairew",  u"tsstpairs"};
        static const int columns[13] = {3, 4, 6, 5, 7, 8, 9, 10, 11, 12, 1, 2, 1};
        std::vector<int> entries;
        bool present[15] = {};
        for (const CNode *cell : rows[0]->m_children) {
            int entry = -1;
            for (int e = 0; e < 13 && IsElement(cell, u"td"); ++e) {
                if (ClassOf(cell) == classes[e]) {
                    entry = e;
                    break;
                }
            }
            entries.push_back(entry);
            if (entry < 0)
                continue;
            present[columns[entry]] = true;
            if (entry >= 10)
                present[0] = true;
            if (entry == 10 || entry == 12)
                present[13] = true;
            if (entry == 11 || entry == 12)
                present[14] = present[2] = true;
        }
        std::vector<std::vector<std::u16string>> values;
        for (const CNode *row : rows) {
            std::vector<std::u16string> value(15);
            for (size_t position = 0; position < entries.size() && position < row->m_children.size(); ++position) {
                const int entry = entries[position];
                const std::u16string raw = TextBelow(row->m_children[position]);
                std::u16string cleaned;
                for (char16_t c : raw) {
                    const std::u16string_view symbols = u"\u2660\u2665\u2666\u2663\u2212\u00D7";
                    const size_t symbol = symbols.find(c);
                    if (symbol != std::u16string_view::npos)
                        c = u"SHDC-X"[symbol];
                    if (!platform::IsSpaceW(c))
                        cleaned += c;
                }
                if (entry < 0) {
                    continue;
                } else if (entry == 2) {
                    const int64_t made = platform::WToI(cleaned);
                    const int64_t level = platform::WToI(value[3]);
                    if (made == 0) {
                        value[6] = u"0";
                    } else if (made > 0 || level >= 1) {
                        const int64_t tricks = made + 6 + (made > 0 ? 0 : level);
                        if (tricks != 255)
                            value[6] = Decimal(static_cast<int32_t>(static_cast<uint32_t>(tricks)));
                    }
                } else if (entry == 3) {
                    if (cleaned.size() == 3 && cleaned.substr(1) == u"10")
                        cleaned = cleaned.substr(0, 1) + u"T";
                    value[5] = Token(cleaned);
                } else if (entry < 10) {
                    value[columns[entry]] = Token(cleaned);
                } else if (entry < 12) {
                    Pair(raw, value, entry - 10);
                } else if (raw.find(u" vs ") != std::u16string::npos) {
                    Pair(raw.substr(0, raw.find(u" vs ")), value, 0);
                    Pair(raw.substr(raw.find(u" vs ") + 4), value, 1);
                }
            }
            values.push_back(value);
        }
        static const char16_t *const names[15] = {u"Section", u"PairId_NS", u"PairId_EW", u"Contract", u"Declarer",
                                                  u"Lead",    u"Result",    u"Score_NS",  u"Score_EW", u"MP_NS",
                                                  u"MP_EW",   u"IMP_NS",    u"IMP_EW",    u"Names_NS", u"Names_EW"};
        const std::u16string_view right = u"011000111111100";
        size_t widths[15] = {};
        int last = -1;
        std::u16string tag;
        for (int column = 0; column < 15; ++column) {
            for (const auto &value : values)
                widths[column] = std::max(widths[column], value[column].size());
            if (!present[column])
                continue;
            last = column;
            tag += (tag.empty() ? u"" : u";") + std::u16string(names[column]);
            if (widths[column] >= 2)
                tag += u"\\" + Decimal(static_cast<int64_t>(widths[column])) + (right[column] == u'1' ? u"R" : u"");
        }
        std::u16string text;
        for (const auto &value : values) {
            std::u16string line;
            for (int column = 0; column < 15; ++column) {
                if (!present[column])
                    continue;
                std::u16string cell = value[column].empty() ? u"-" : value[column];
                const size_t padding = column == last ? 0 : widths[column] - std::min(widths[column], cell.size());
                cell =
                    right[column] == u'1' ? std::u16string(padding, u' ') + cell : cell + std::u16string(padding, u' ');
                line += (line.empty() ? u"" : u" ") + cell;
            }
            text += line + u"\r\n";
        }
        return tag + u"|" + text;
    }

private:
    static std::u16string Decimal(int64_t value) { return platform::WidenAscii(std::to_string(value)); }
    static std::u16string Token(const std::u16string &value) {
        if (value.empty())
            return u"-";
        bool quoted = false;
        for (char16_t c : value)
            quoted = quoted || c < 0x21 || c > 0x7E || std::u16string_view(u"[]{};%\"").find(c) != std::u16string::npos;
        if (!quoted)
            return value;
        std::u16string token = u"\"";
        for (char16_t c : value)
            token += (c == u'"' || c == u'\\' ? u"\\" : u"") + std::u16string(1, c < u' ' ? u' ' : c);
        return token + u"\"";
    }
    static void Pair(const std::u16string &text, std::vector<std::u16string> &value, int side) {
        size_t run = 0;
        while (run < text.size() && platform::IsAlphaW(text[run]))
            ++run;
        if (value[0].empty())
            value[0] = text.substr(0, run);
        size_t consumed = 0;
        value[1 + side] = Decimal(platform::WcsToUL(std::u16string_view(text).substr(run), &consumed, 10));
        std::u16string rest = text.substr(run + consumed);
        if (!rest.empty() && rest[0] == u'-')
            rest.erase(0, 1);
        value[13 + side] = Token(rest);
    }
    bool IsElement(const CNode *node, const char16_t *tag) const {
        return node->m_nType == NKXML::XML_ELEMENT && node->m_nAtom == m_parser.FindAtom(tag);
    }
    std::u16string_view ClassOf(const CNode *node) const {
        for (const CNode *attribute : node->m_attributes)
            if (attribute->m_nAtom == m_parser.FindAtom(u"class"))
                return attribute->m_pszValue ? attribute->m_pszValue : u"";
        return u"";
    }
    static std::u16string TextBelow(const CNode *node) {
        std::u16string text;
        std::vector<const CNode *> pending;
        auto pushChildren = [&pending](const CNode *parent) {
            for (size_t child = parent->m_children.size(); child-- > 0;)
                pending.push_back(parent->m_children[child]);
        };
        pushChildren(node);
        while (!pending.empty()) {
            const CNode *next = pending.back();
            pending.pop_back();
            if (next->m_nType == NKXML::XML_TEXT && next->m_pszValue)
                text += next->m_pszValue;
            pushChildren(next);
        }
        return text;
    }

    NKXML::CXMLParser &m_parser;
};

// The reference's score table of every board division, in page order: the first "tsst" table inside it.
Strings ReferenceScoreTables(CDSCDoc &document) {
    Strings tables;
    std::vector<CNode *> boards;
    document.m_parser.FindElements(boards, u"div", u"class", u"tsboard");
    ReferenceTable reference(document.m_parser);
    for (CNode *board : boards) {
        std::vector<CNode *> found;
        board->FindElements(found, document.m_parser.FindAtom(u"table"), document.m_parser.FindAtom(u"class"), u"tsst");
        const std::u16string table = reference.Build(found.at(0));
        if (table.size() > 1)
            tables.push_back(platform::ConvertToCodePage(table, static_cast<unsigned>(document.m_nOutputCodePage)));
    }
    return tables;
}

// A board division holding a score table of random rows; its cells hold random text, elements and, up to `depth`
// levels, boards of their own.
class RandomPage {
public:
    explicit RandomPage(uint32_t seed) : m_random(seed) {}

    std::string Board(int depth) {
        std::string board = "<div class=\"tsboard\"><table class=\"tsst\"><tbody>";
        const int rows = 1 + Pick(3);
        for (int row = 0; row < rows; ++row) {
            board += row > 0 && Pick(6) == 0 ? "<tr class=\"other\">"
                     : Pick(2)               ? "<tr class=\"tsst\">"
                                             : "<tr class=\"tsstshade\">";
            const int cells = 1 + Pick(6);
            for (int cell = 0; cell < cells; ++cell) {
                if (Pick(8) == 0)
                    board += " "; // a text child takes a position too
                // A cell of a listed class, or one without a class, or a heading cell of a listed class.
                const int entry = Pick(3) == 0 ? FAVOURITES[Pick(6)] : Pick(15);
                const bool heading = entry == 14 && (row > 0 || cell > 0);
                board += heading ? "<th class=\"tsstcontract\">"
                         : entry < 13 || (row == 0 && cell == 0)
                             ? "<td class=\"" + std::string(CLASSES[entry % 13]) + "\">"
                             : "<td>";
                for (int piece = Pick(4); piece > 0; --piece)
                    board += Piece(depth);
                board += heading ? "</th>" : "</td>";
            }
            board += "</tr>";
        }
        return board + "</tbody></table></div>";
    }

    int m_nestedBoards = 0;

private:
    static constexpr const char *CLASSES[13] = {"tsstcontract", "tsstdeclarer", "tsstmade", "tsstlead",  "tsstscorens",
                                                "tsstscoreew",  "tsstmpns",     "tsstmpew", "tsstimpns", "tsstimpew",
                                                "tsstpairns",   "tsstpairew",   "tsstpairs"};

    // Contract, result, lead and pair cells: the cells that read what another cell of the row wrote.
    static constexpr int FAVOURITES[6] = {0, 2, 3, 10, 11, 12};

    int Pick(int choices) { return static_cast<int>(m_random() % static_cast<uint32_t>(choices)); }

    std::string Piece(int depth) {
        static const char *const texts[] = {"",
                                            " ",
                                            "\n",
                                            "&nbsp;",
                                            "4",
                                            "-2",
                                            "&minus;1",
                                            "3NT",
                                            "&spades;10",
                                            "S10x",
                                            "4&hearts;&times;",
                                            "B12",
                                            "7-East team",
                                            "1 vs 2",
                                            " vs ",
                                            "vs",
                                            "0007",
                                            "000000000000000000042",
                                            "12345678901",
                                            "4294967296",
                                            "&#x0665;&#x0660;",
                                            "&#xFF17;",
                                            "&#x0660;&#x0660;&#xFF10;7",
                                            "+3",
                                            "-",
                                            "\"q\\\"",
                                            "a;b",
                                            "2&eacute;",
                                            "3;x",
                                            "&minus;3",
                                            "Ren&eacute;",
                                            "AB",
                                            "x",
                                            "&#x3000;2 - Lee",
                                            "99"};
        switch (Pick(6)) {
        case 0:
            return "<i>" + Piece(depth) + "</i>";
        case 1:
            if (depth > 0) {
                ++m_nestedBoards;
                return Board(depth - 1);
            }
            return "<b></b><!-- note -->";
        default:
            return texts[Pick(sizeof texts / sizeof texts[0])];
        }
    }

    std::mt19937 m_random;
};

TEST(NestedScoreTables, ExportEqualsAReadingOfEveryCellsWholeText) {
    int nestedBoards = 0;
    for (uint32_t page = 0; page < 400; ++page) {
        RandomPage generator(20261207 + page);
        std::string body;
        for (int board = 0; board < 3; ++board)
            body += generator.Board(static_cast<int>(page % 5));
        nestedBoards += generator.m_nestedBoards;
        CDSCDoc document;
        Load(document, body);
        ASSERT_EQ(ExportedScoreTables(document.m_strPbn), ReferenceScoreTables(document)) << body;
    }
    EXPECT_GT(nestedBoards, 2000); // the pages do nest tables in cells
}

// Digits of a number as wcstoul reads them, saturated at 32 bits.
std::string SaturatedNumber(const std::string &digits) {
    uint64_t value = 0;
    for (char digit : digits)
        value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(digit - '0'), 0xFFFFFFFFu);
    return std::to_string(value);
}

// Each board's pair cell holds "1", then the next board, whose result cell "2" follows its own pair cell: the
// outermost pair cell reads a number of 200,000 digits, every board one of its own, and writes no names. The
// pair reader skips the digits by tables made once for the page, not by reading them again for every table.
TEST(NestedScoreTables, TablesNestedAHundredThousandDeepEachReadTheirWholeCells) {
    constexpr int BOARDS = 100000;
    std::string body;
    body.reserve(BOARDS * 160);
    for (int board = 0; board < BOARDS; ++board)
        body += "<div class=\"tsboard\"><table class=\"tsst\"><tbody><tr class=\"tsst\"><td class=\"tsstpairew\">1";
    for (int board = 0; board < BOARDS; ++board)
        body += "</td><td class=\"tsstmade\">2</td></tr></tbody></table></div>";
    CDSCDoc document;
    const Strings tables = ExportedScoreTables(Load(document, body).m_strPbn);
    ASSERT_EQ(tables.size(), size_t(BOARDS));
    for (int board = 0; board < BOARDS; ++board) {
        // Board b (from 0) reads BOARDS - b ones and BOARDS - b - 1 twos.
        const int inner = BOARDS - board;
        const std::string number =
            SaturatedNumber(std::string(std::min(inner, 11), '1') + std::string(std::min(inner - 1, 11), '2'));
        const std::string width = number.size() >= 2 ? "\\" + std::to_string(number.size()) + "R" : "";
        ASSERT_EQ(tables[board], "Section;PairId_EW" + width + ";Result;Names_EW|- " + number + " 8 -\r\n") << board;
    }
}

} // namespace
