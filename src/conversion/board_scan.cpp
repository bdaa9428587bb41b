#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/dsc_doc.h"
#include "conversion/node_reading.h"
#include "conversion/recap_header.h"
#include "conversion/scan_result.h"
#include "markup/tree_walk.h"
#include "platform/wide_text.h"

namespace {

// The rows of the page's hand diagram in cell order (North, West, East, South), by seat (N, E, S, W).
constexpr int g_seatRow[4] = {0, 2, 3, 1};
constexpr std::u16string_view SEAT_LETTERS = u"NESW";
constexpr char16_t EM_DASH = u'\u2014'; // the page's mark of a void
constexpr int CELL_COUNT = 16;

// The parts of a board division that it takes once: the first span of each label class among its descendants and
// the first score table.
enum BoardPart { PART_BOARD_LABEL, PART_DEALER_LABEL, PART_VULNERABLE_LABEL, PART_SCORE_TABLE, PART_COUNT };
constexpr const char16_t *LABEL_CLASSES[PART_SCORE_TABLE] = {u"tslabelboard", u"tslabeldealer", u"tslabelvul"};

// A hand cell's ranks as PBN writes them: "10" as "T", white space and the void mark dropped.
void AppendCleanHolding(const char16_t *text, std::u16string &out) {
    if (!text)
        return;
    for (const char16_t *c = text; *c; ++c) {
        if (*c == u'1') {
            out += u'T';
            if (c[1])
                ++c; // the "0" of "10"
        } else if (platform::IsSpaceW(*c) || *c == EM_DASH) {
            continue;
        } else {
            // Anything else is kept as it stands, so that a card the page wrote oddly shows in the Deal value.
            out += *c;
        }
    }
}

// The record fields of the label spans: the board number, the dealer's seat (-1 for none) and the vulnerability.
std::u16string BoardNumberField(const char16_t *text) {
    int number = 0;
    if (text) {
        while (*text && !platform::IsDigitW(*text))
            ++text;
        number = platform::WToI(text);
    }
    return number >= 1 ? platform::WidenAscii(std::to_string(number)) : u"?";
}

int DealerSeat(const char16_t *text) {
    size_t seat = text && *text ? SEAT_LETTERS.find(*text) : std::u16string_view::npos;
    return seat != std::u16string_view::npos ? static_cast<int>(seat) : -1;
}

std::u16string_view VulnerabilityField(const char16_t *text) {
    if (!text)
        return u"?";
    std::u16string_view label = text;
    if (label.substr(0, 4) == u"None")
        return u"None";
    switch (label.empty() ? 0 : label[0]) {
    case u'N':
        return u"NS";
    case u'E':
        return u"EW";
    case u'B':
        return u"All";
    default:
        return u"?";
    }
}

// A board division that encloses the node being visited, with what it has taken so far.
struct OpenBoard {
    const NKXML::CNode *node;
    size_t indexInParent;
    size_t record; // in the board list
    int dealerSeat = -1;
    bool hasScoreTable = false;
    int cellCount = 0;
    uint32_t cells[CELL_COUNT] = {}; // in OpenBoards' cell holdings
};

// The board divisions that enclose the node being visited, outermost first. A division takes the first of each
// part among its descendants, so it takes a part that a division inside it also takes when it has none of its
// own before. A division that opens inside another is visited after everything the outer one took already: the
// divisions still waiting for a part are always the innermost ones, a tail of the stack. A part found goes at once
// to that tail, and each division takes each part once, so the scan stays linear however deep divisions nest.
class OpenBoards {
public:
    std::vector<OpenBoard> m_boards;

    void Open(const NKXML::CNode *node, size_t indexInParent, size_t record) {
        m_boards.push_back({node, indexInParent, record});
    }
    // Drops the innermost division, once its record is built.
    void Close() {
        m_boards.pop_back();
        for (size_t &first : m_waiting)
            first = std::min(first, m_boards.size());
        m_waitingForCells = std::min(m_waitingForCells, m_boards.size());
        if (m_boards.empty()) {
            m_holdings.clear();
            m_holdingEnds.clear();
        }
    }

    bool Waits(BoardPart part) const { return m_waiting[part] < m_boards.size(); }
    // The divisions that take the part found now; after them none waits for it.
    std::span<OpenBoard> Take(BoardPart part) {
        const size_t first = m_waiting[part];
        m_waiting[part] = m_boards.size();
        return std::span<OpenBoard>(m_boards).subspan(first);
    }

    bool WaitsForCells() const { return m_waitingForCells < m_boards.size(); }
    // A hand cell found now: its holding, cleaned once, goes to every division that has fewer than sixteen.
    void TakeCell(const char16_t *text) {
        AppendCleanHolding(text, m_holdings);
        const auto cell = static_cast<uint32_t>(m_holdingEnds.size());
        m_holdingEnds.push_back(m_holdings.size());
        for (size_t board = m_waitingForCells; board < m_boards.size(); ++board)
            m_boards[board].cells[m_boards[board].cellCount++] = cell;
        // The outer divisions hold at least as many cells as the inner ones: the full ones lead the tail.
        while (m_waitingForCells < m_boards.size() && m_boards[m_waitingForCells].cellCount == CELL_COUNT)
            ++m_waitingForCells;
    }
    std::u16string_view Holding(uint32_t cell) const {
        const size_t start = cell == 0 ? 0 : m_holdingEnds[cell - 1];
        return std::u16string_view(m_holdings).substr(start, m_holdingEnds[cell] - start);
    }

private:
    size_t m_waiting[PART_COUNT] = {}; // the divisions from this index on lack the part
    size_t m_waitingForCells = 0;      // the divisions from this index on have fewer than sixteen cells
    std::u16string m_holdings;         // the cleaned holdings of the cells taken while divisions are open
    std::vector<size_t> m_holdingEnds;
};

// The Deal value of the board's cells, or empty when they show no card.
void BuildDealValue(const OpenBoards &open, const OpenBoard &board, std::u16string &deal) {
    std::u16string_view holdings[CELL_COUNT];
    for (int k = 0; k < board.cellCount; ++k)
        holdings[k] = open.Holding(board.cells[k]);
    const int firstSeat = board.dealerSeat >= 0 ? board.dealerSeat : 0;

    deal.clear();
    deal.reserve(80); // a full deal is 69 characters
    deal += SEAT_LETTERS[firstSeat];
    deal += u':';
    for (int hand = 0; hand < 4; ++hand) {
        int row = g_seatRow[(firstSeat + hand) & 3];
        for (int suit = 0; suit < 4; ++suit) {
            deal += holdings[row * 4 + suit];
            if (suit < 3)
                deal += u'.';
        }
        if (hand < 3)
            deal += u' ';
    }
    if (std::u16string_view(deal).substr(2) == u"... ... ... ...")
        deal.clear();
}

} // namespace

std::u16string CDSCDoc::FindSectionLetters(const NKXML::CNode *board, size_t index) const {
    const NKXML::CNode *parent = board->m_pParent;
    if (!parent)
        return {};
    const auto &siblings = parent->m_children;
    int divisionsSeen = 0;
    while (index > 0 && divisionsSeen < 2) {
        const NKXML::CNode *sibling = siblings[--index];
        if (sibling->m_nType != NKXML::XML_ELEMENT || sibling->m_nAtom != m_atoms[ATOM_DIV])
            continue;
        ++divisionsSeen;
        std::u16string_view id = tree::FirstAttributeValue(sibling, m_atoms[ATOM_ID]);
        if (id.substr(0, 5) != u"Board")
            continue;
        size_t end = 5;
        while (end < id.size() && platform::IsAlphaW(id[end]))
            ++end;
        return std::u16string(id.substr(5, end - 5));
    }
    return {};
}

void CDSCDoc::ScanBoards(ScanResult &scan) {
    // A page whose name table overflowed has no atoms to search by (an atom of 0 would match every element).
    if (!HasAllAtoms())
        return;

    // One walk over the page finds the recap listing, the board divisions in document order, and the labels, hand
    // cells and score tables that the open divisions take. A board's record gets its labels and inner score table
    // when they are found, and the rest as soon as the walk leaves its division.
    const uint16_t preAtom = m_parser.FindAtom(u"pre");
    const uint16_t classAtom = m_atoms[ATOM_CLASS];
    const NKXML::CNode *recap = nullptr;
    OpenBoards open;
    auto takeLabel = [&](const NKXML::CNode *span, BoardPart part) {
        const char16_t *text = tree::FirstTextChild(span);
        if (part == PART_DEALER_LABEL) {
            const int seat = DealerSeat(text);
            for (OpenBoard &board : open.Take(part)) {
                board.dealerSeat = seat;
                scan.boards[board.record][BRF_DEALER] = seat >= 0 ? SEAT_LETTERS.substr(seat, 1) : u"?";
            }
            return;
        }
        const BoardRecordField field = part == PART_BOARD_LABEL ? BRF_BOARD : BRF_VULNERABLE;
        const std::u16string value =
            part == PART_BOARD_LABEL ? BoardNumberField(text) : std::u16string(VulnerabilityField(text));
        for (OpenBoard &board : open.Take(part))
            scan.boards[board.record][field] = value;
    };
    auto takeScoreTable = [&](const NKXML::CNode *table) {
        // Built once, however many divisions take it.
        std::span<OpenBoard> takers = open.Take(PART_SCORE_TABLE);
        CBoardRecord &first = scan.boards[takers.front().record];
        ParseScoreTable(table, first[BRF_SCORETABLE], first[BRF_SCORETABLE_ROWS]);
        for (OpenBoard &board : takers) {
            board.hasScoreTable = true;
            if (board.record != takers.front().record) {
                scan.boards[board.record][BRF_SCORETABLE] = first[BRF_SCORETABLE];
                scan.boards[board.record][BRF_SCORETABLE_ROWS] = first[BRF_SCORETABLE_ROWS];
            }
        }
    };
    // Entering a board division opens it; leaving it closes it.
    auto visit = [&](const NKXML::CNode *node, size_t indexInParent) {
        if (node->m_nType != NKXML::XML_ELEMENT)
            return false; // text and comments are neither labels, cells, tables nor boards
        const uint16_t atom = node->m_nAtom;
        if (atom == m_atoms[ATOM_SPAN]) {
            for (int part = 0; part < PART_SCORE_TABLE; ++part) {
                if (open.Waits(BoardPart(part)) && tree::HasAttributeValue(node, classAtom, LABEL_CLASSES[part]))
                    takeLabel(node, BoardPart(part));
            }
        } else if (atom == m_atoms[ATOM_TD]) {
            if (open.WaitsForCells() && tree::HasAttributeValue(node, classAtom, u"tshand"))
                open.TakeCell(tree::FirstTextChild(node));
        } else if (atom == m_atoms[ATOM_TABLE]) {
            if (open.Waits(PART_SCORE_TABLE) && tree::HasAttributeValue(node, classAtom, u"tsst"))
                takeScoreTable(node);
        } else if (atom == m_atoms[ATOM_DIV]) {
            if (tree::HasAttributeValue(node, classAtom, u"tsboard")) {
                open.Open(node, indexInParent, scan.boards.size());
                CBoardRecord &record = scan.boards.emplace_back();
                record[BRF_BOARD] = record[BRF_DEALER] = record[BRF_VULNERABLE] = u"?";
                return true;
            }
        } else if (!recap && preAtom != 0 && atom == preAtom) {
            if (tree::HasAttributeValue(node, m_atoms[ATOM_ID], u"tsrecap"))
                recap = node;
        }
        return false;
    };
    auto close = [&]() {
        const OpenBoard &board = open.m_boards.back();
        CBoardRecord &record = scan.boards[board.record];
        record[BRF_SECTION] = FindSectionLetters(board.node, board.indexInParent);
        BuildDealValue(open, board, record[BRF_DEAL]);
        if (!board.hasScoreTable) {
            if (const NKXML::CNode *table = FollowingScoreTable(board.node, board.indexInParent))
                ParseScoreTable(table, record[BRF_SCORETABLE], record[BRF_SCORETABLE_ROWS]);
        }
        open.Close();
    };
    NKXML::WalkStack stack;
    stack.reserve(64);
    m_scoreTable.index.Clear(); // the cell texts of this page are read when a table first needs them
    for (const NKXML::CNode *root : m_parser.m_roots)
        NKXML::WalkTree(root, stack, visit, close);
    m_scoreTable.index.Clear();

    if (recap) {
        if (const char16_t *text = tree::FirstTextChild(recap))
            scan.recapText = text;
        CRecapHeader header;
        ReadRecapHeader(scan.recapText, header);
        scan.event = header.m_fields[RECAP_EVENT];
        scan.site = !header.m_fields[RECAP_CLUB].empty() ? header.m_fields[RECAP_CLUB] : header.m_fields[RECAP_TOURN];
        scan.date = header.GetDateText();
    }
}
