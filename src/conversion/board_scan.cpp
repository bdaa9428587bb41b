#include <cstdint>
#include <string>

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
constexpr const char16_t *LABEL_CLASSES[LABEL_COUNT] = {u"tslabelboard", u"tslabeldealer", u"tslabelvul"};

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

} // namespace

const char16_t *CDSCDoc::GetSpanText(const NKXML::CNode *node, const char *className) {
    char16_t wideName[64];
    size_t length = 0;
    for (; className[length] && length + 1 < sizeof wideName / sizeof wideName[0]; ++length)
        wideName[length] = static_cast<unsigned char>(className[length]);
    wideName[length] = 0;
    m_matches.clear();
    // The search only reads the tree.
    const_cast<NKXML::CNode *>(node)->FindElements(m_matches, m_atoms[ATOM_SPAN], m_atoms[ATOM_CLASS], wideName);
    if (m_matches.empty())
        return nullptr;
    return tree::FirstTextChild(m_matches.front());
}

std::u16string CDSCDoc::FindSectionLetters(const NKXML::CNode *board) {
    return board->m_pParent ? SectionLettersBefore(board, tree::IndexInParent(board)) : std::u16string();
}

std::u16string CDSCDoc::SectionLettersBefore(const NKXML::CNode *board, size_t index) const {
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

void CDSCDoc::CollectBoardParts(const NKXML::CNode *node, BoardParts &parts) const {
    // What separate searches of the division for the label spans, the hand cells and the score table would find
    // first, in document order: the walk offers every node of the division in that order.
    if (node->m_nType != NKXML::XML_ELEMENT)
        return;
    const uint16_t classAtom = m_atoms[ATOM_CLASS];
    if (node->m_nAtom == m_atoms[ATOM_SPAN]) {
        for (int label = 0; label < LABEL_COUNT; ++label) {
            if (!parts.labelFound[label] && tree::HasAttributeValue(node, classAtom, LABEL_CLASSES[label])) {
                parts.labelFound[label] = true;
                parts.labelText[label] = tree::FirstTextChild(node);
            }
        }
    } else if (node->m_nAtom == m_atoms[ATOM_TD]) {
        if (parts.cellCount < 16 && tree::HasAttributeValue(node, classAtom, u"tshand"))
            parts.cells[parts.cellCount++] = node;
    } else if (node->m_nAtom == m_atoms[ATOM_TABLE]) {
        if (!parts.scoreTable && tree::HasAttributeValue(node, classAtom, u"tsst"))
            parts.scoreTable = node;
    }
}

void CDSCDoc::BuildDealValue(const BoardParts &parts, int firstSeat, std::u16string &deal) {
    const char16_t *cells[16] = {};
    for (int k = 0; k < parts.cellCount; ++k)
        cells[k] = tree::FirstTextChild(parts.cells[k]);

    deal.clear();
    deal.reserve(80); // a full deal is 69 characters
    deal += SEAT_LETTERS[firstSeat];
    deal += u':';
    for (int hand = 0; hand < 4; ++hand) {
        int row = g_seatRow[(firstSeat + hand) & 3];
        for (int suit = 0; suit < 4; ++suit) {
            AppendCleanHolding(cells[row * 4 + suit], deal);
            if (suit < 3)
                deal += u'.';
        }
        if (hand < 3)
            deal += u' ';
    }
    // A board that shows no card has no Deal.
    if (std::u16string_view(deal).substr(2) == u"... ... ... ...")
        deal.clear();
}

void CDSCDoc::BuildBoardRecord(const NKXML::CNode *board, size_t indexInParent, const BoardParts &parts,
                               CBoardRecord &record) {
    const char16_t *text = parts.labelText[LABEL_BOARD];
    int number = 0;
    if (text) {
        while (*text && !platform::IsDigitW(*text))
            ++text;
        number = platform::WToI(text);
    }
    record[BRF_BOARD] = number >= 1 ? platform::WidenAscii(std::to_string(number)) : u"?";

    record[BRF_SECTION] = SectionLettersBefore(board, indexInParent);

    int dealerSeat = -1;
    text = parts.labelText[LABEL_DEALER];
    if (text && *text) {
        size_t seat = SEAT_LETTERS.find(*text);
        if (seat != std::u16string_view::npos)
            dealerSeat = static_cast<int>(seat);
    }
    record[BRF_DEALER] = dealerSeat >= 0 ? std::u16string(1, SEAT_LETTERS[dealerSeat]) : u"?";

    text = parts.labelText[LABEL_VULNERABLE];
    std::u16string_view vulnerability = u"?";
    if (text) {
        std::u16string_view label = text;
        if (label.substr(0, 4) == u"None")
            vulnerability = u"None";
        else if (!label.empty() && label[0] == u'N')
            vulnerability = u"NS";
        else if (!label.empty() && label[0] == u'E')
            vulnerability = u"EW";
        else if (!label.empty() && label[0] == u'B')
            vulnerability = u"All";
    }
    record[BRF_VULNERABLE] = vulnerability;

    BuildDealValue(parts, dealerSeat >= 0 ? dealerSeat : 0, record[BRF_DEAL]);
    const NKXML::CNode *table = parts.scoreTable ? parts.scoreTable : FollowingScoreTable(board, indexInParent);
    if (table)
        BuildScoreTable(table, record[BRF_SCORETABLE], record[BRF_SCORETABLE_ROWS]);
}

void CDSCDoc::ScanBoards(ScanResult &scan) {
    // A page whose name table overflowed has no atoms to search by (an atom of 0 would match every element).
    if (!HasAllAtoms())
        return;

    // One walk over the page finds the recap listing, the board divisions in document order, and inside each
    // division its labels, hand cells and score table. A division inside another belongs to both. A board's
    // record is built as soon as the walk leaves its division, while its nodes are still in the cache.
    const uint16_t preAtom = m_parser.FindAtom(u"pre");
    const NKXML::CNode *recap = nullptr;
    struct OpenBoard {
        const NKXML::CNode *node;
        size_t indexInParent;
        size_t record;
        BoardParts parts;
    };
    std::vector<OpenBoard> open; // the divisions that enclose the node being visited, outermost first
    // Entering a board division opens it; leaving it closes it.
    auto visit = [&](const NKXML::CNode *node, size_t indexInParent) {
        if (node->m_nType != NKXML::XML_ELEMENT)
            return false; // text and comments are neither labels, cells, tables nor boards
        // Only labels, hand cells and score tables are parts of a board.
        const uint16_t atom = node->m_nAtom;
        if (atom == m_atoms[ATOM_SPAN] || atom == m_atoms[ATOM_TD] || atom == m_atoms[ATOM_TABLE]) {
            for (OpenBoard &board : open)
                CollectBoardParts(node, board.parts);
            return false;
        }
        if (atom == m_atoms[ATOM_DIV]) {
            if (tree::HasAttributeValue(node, m_atoms[ATOM_CLASS], u"tsboard")) {
                open.push_back({node, indexInParent, scan.boards.size(), {}});
                scan.boards.emplace_back();
                return true;
            }
        } else if (!recap && preAtom != 0 && node->m_nAtom == preAtom) {
            if (tree::HasAttributeValue(node, m_atoms[ATOM_ID], u"tsrecap"))
                recap = node;
        }
        return false;
    };
    auto close = [&]() {
        const OpenBoard &board = open.back();
        BuildBoardRecord(board.node, board.indexInParent, board.parts, scan.boards[board.record]);
        open.pop_back();
    };
    NKXML::WalkStack stack;
    stack.reserve(64);
    for (const NKXML::CNode *root : m_parser.m_roots)
        NKXML::WalkTree(root, stack, visit, close);

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
