#include <string>

#include "conversion/dsc_doc.h"
#include "conversion/recap_header.h"
#include "conversion/scan_result.h"
#include "platform/wide_text.h"

namespace {

constexpr int ELEMENT_NODE = 1;
constexpr int TEXT_NODE = 3;

// The rows of the page's hand diagram in cell order (North, West, East, South), by seat (N, E, S, W).
constexpr int g_seatRow[4] = {0, 2, 3, 1};
constexpr std::u16string_view SEAT_LETTERS = u"NESW";
constexpr char16_t EM_DASH = u'\u2014'; // the page's mark of a void

const char16_t *FirstTextChild(const NKXML::CNode *node) {
    for (const NKXML::CNode *child : node->m_children) {
        if (child->m_nType == TEXT_NODE)
            return child->m_pszValue;
    }
    return nullptr;
}

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
    return FirstTextChild(m_matches.front());
}

std::u16string CDSCDoc::FindSectionLetters(const NKXML::CNode *board) {
    const NKXML::CNode *parent = board->m_pParent;
    if (!parent)
        return {};
    const auto &siblings = parent->m_children;
    size_t index = 0;
    while (index < siblings.size() && siblings[index] != board)
        ++index;
    int divisionsSeen = 0;
    while (index > 0 && divisionsSeen < 2) {
        const NKXML::CNode *sibling = siblings[--index];
        if (sibling->m_nType != ELEMENT_NODE || sibling->m_nAtom != m_atoms[ATOM_DIV])
            continue;
        ++divisionsSeen;
        std::u16string_view id;
        for (const NKXML::CNode *attribute : sibling->m_attributes) {
            if (attribute->m_nAtom == m_atoms[ATOM_ID]) {
                if (attribute->m_pszValue)
                    id = attribute->m_pszValue;
                break;
            }
        }
        if (id.substr(0, 5) != u"Board")
            continue;
        size_t end = 5;
        while (end < id.size() && platform::IsAlphaW(id[end]))
            ++end;
        return std::u16string(id.substr(5, end - 5));
    }
    return {};
}

void CDSCDoc::BuildDealValue(const NKXML::CNode *board, int firstSeat, std::u16string &deal) {
    m_matches.clear();
    const_cast<NKXML::CNode *>(board)->FindElements(m_matches, m_atoms[ATOM_TD], m_atoms[ATOM_CLASS], u"tshand");
    const char16_t *cells[16] = {};
    for (size_t k = 0; k < 16 && k < m_matches.size(); ++k)
        cells[k] = FirstTextChild(m_matches[k]);

    deal.clear();
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

void CDSCDoc::ScanBoards(ScanResult &scan) {
    // A page whose name table overflowed has no atoms to search by (an atom of 0 would match every element).
    if (!HasAllAtoms())
        return;

    std::vector<NKXML::CNode *> found;
    m_parser.FindElements(found, u"pre", u"id", u"tsrecap");
    if (!found.empty()) {
        if (const char16_t *text = FirstTextChild(found.front()))
            scan.recapText = text;
        CRecapHeader header;
        ReadRecapHeader(scan.recapText, header);
        scan.event = header.m_fields[RECAP_EVENT];
        scan.site = !header.m_fields[RECAP_CLUB].empty() ? header.m_fields[RECAP_CLUB] : header.m_fields[RECAP_TOURN];
        scan.date = header.GetDateText();
    }

    found.clear();
    m_parser.FindElements(found, u"div", u"class", u"tsboard");
    scan.boards.reserve(found.size());
    for (const NKXML::CNode *board : found) {
        CBoardRecord &record = scan.boards.emplace_back();

        const char16_t *text = GetSpanText(board, "tslabelboard");
        int number = 0;
        if (text) {
            while (*text && !platform::IsDigitW(*text))
                ++text;
            number = platform::WToI(text);
        }
        record[BRF_BOARD] = number >= 1 ? platform::WidenAscii(std::to_string(number)) : u"?";

        record[BRF_SECTION] = FindSectionLetters(board);

        int dealerSeat = -1;
        text = GetSpanText(board, "tslabeldealer");
        if (text && *text) {
            size_t seat = SEAT_LETTERS.find(*text);
            if (seat != std::u16string_view::npos)
                dealerSeat = static_cast<int>(seat);
        }
        record[BRF_DEALER] = dealerSeat >= 0 ? std::u16string(1, SEAT_LETTERS[dealerSeat]) : u"?";

        text = GetSpanText(board, "tslabelvul");
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

        BuildDealValue(board, dealerSeat >= 0 ? dealerSeat : 0, record[BRF_DEAL]);
        ParseScoreTable(board, record[BRF_SCORETABLE], record[BRF_SCORETABLE_ROWS]);
    }
}
