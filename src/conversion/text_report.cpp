#include "conversion/text_report.h"

#include <cstdio>
#include <cstdlib>

#include "bridge/deal.h"
#include "bridge/par.h"
#include "platform/code_page.h"
#include "platform/wide_text.h"

namespace {

struct VulnerabilityEntry {
    std::u16string_view value;
    int index;
};
constexpr VulnerabilityEntry VulnerabilityTable[] = {
    {u"none", 0}, {u"ns", 1}, {u"ew", 2}, {u"all", 3}, {u"both", 3}, {u"-", 0}, {u"love", 0},
};
constexpr const char *VulnerabilityNames[4] = {"None", "N-S", "E-W", "Both"};
constexpr char DIAGRAM_SUIT_LETTERS[] = "SHDC";
// The 20 digits of a DoubleDummyTricks value: declarers N, S, E, W, each with strains NT, S, H, D, C.
constexpr int DD_DECLARERS[4] = {NORTH, SOUTH, EAST, WEST};
constexpr int DD_STRAINS[5] = {NOTRUMP, SPADES, HEARTS, DIAMONDS, CLUBS};
// Strains in the order the makeable lines list them.
constexpr int MAKEABLE_STRAINS[5] = {CLUBS, DIAMONDS, HEARTS, SPADES, NOTRUMP};
constexpr int PARTNERS[2][2] = {{NORTH, SOUTH}, {EAST, WEST}};

std::string Encode(std::u16string_view text, int codePage) {
    return platform::ConvertToCodePage(text, static_cast<unsigned>(codePage));
}

void AppendAscii(std::string &out, std::u16string_view text) {
    for (char16_t c : text)
        out.push_back(static_cast<char>(c));
}

uint8_t DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return static_cast<uint8_t>(c - u'0');
    if (c >= u'a' && c <= u'd')
        return static_cast<uint8_t>(c - u'a' + 10);
    if (c >= u'A' && c <= u'D')
        return static_cast<uint8_t>(c - u'A' + 10);
    return DDA_NO_VALUE;
}

void AppendLott(std::string &report, const CDDA &dda, std::u16string_view deal) {
    CDeal parsed;
    if (!parsed.Parse(deal))
        return;
    int totalTricks = 0;
    int totalTrumps = 0;
    for (const auto &partners : PARTNERS) {
        int bestLength = -1;
        int bestTricks = -1;
        for (int suit = 0; suit < SUITS; ++suit) {
            int length = 0;
            int tricks = 0;
            for (int seat : partners) {
                length += parsed.m_hands[seat].m_nKnown[suit] + parsed.m_hands[seat].m_nUnknown[suit];
                tricks = std::max(tricks, static_cast<int>(dda.m_tricks[seat][suit]));
            }
            if (length > bestLength || (length == bestLength && tricks > bestTricks)) {
                bestLength = length;
                bestTricks = tricks;
            }
        }
        totalTricks += bestTricks;
        totalTrumps += bestLength;
    }
    int difference = totalTricks - totalTrumps;
    char line[64];
    std::snprintf(line, sizeof line, "LoTT: %d - %d = %s%d\r\n", totalTricks, totalTrumps, difference > 0 ? "+" : "",
                  difference);
    report += line;
}

void AppendParLine(std::string &report, const CDDA &dda, int vulnerability, int codePage) {
    std::u16string contracts;
    int score = 0;
    int score2 = 0;
    ComputePar(dda, vulnerability, nullptr, &contracts, &score, &score2, true);
    char value[32];
    if (score == 0)
        std::snprintf(value, sizeof value, "0");
    else if (score2 == 0)
        std::snprintf(value, sizeof value, "%+d", score);
    else if (score2 == score)
        std::snprintf(value, sizeof value, "\xB1%d", std::abs(score));
    else
        std::snprintf(value, sizeof value, "%+d/%+d", score, -score2);
    // The value is Latin-1 ("±" is 0xB1); both go out in the report's code page.
    std::u16string line = u"Par: ";
    for (const char *c = value; *c; ++c)
        line.push_back(static_cast<unsigned char>(*c));
    line += u' ';
    line += contracts;
    line += u"\r\n\r\n";
    report += Encode(line, codePage);
}

} // namespace

// GetDealHolding appended to `out`; false when the holding is empty.
bool AppendDealHolding(std::string &out, int seat, int suit, std::string_view deal, bool utf8) {
    if (deal.size() < 2 || deal[1] != ':')
        return false;
    size_t first = std::string_view("NESW").find(deal[0]);
    if (first == std::string_view::npos)
        return false;
    size_t position = 2;
    for (int current = static_cast<int>(first); current != seat; current = (current + 1) & 3) {
        size_t blank = deal.find(' ', position);
        if (blank == std::string_view::npos)
            return false;
        position = blank + 1;
    }
    for (int skipped = 0; skipped < suit; ++skipped) {
        size_t dot = deal.find('.', position);
        if (dot == std::string_view::npos)
            return false;
        position = dot + 1;
    }
    size_t end = position;
    while (end < deal.size() && deal[end] != '.' && deal[end] != ' ')
        ++end;
    if (end == position)
        return false;
    // One blank between cards; a character the page wrote in a hand cell stays whole in UTF-8. The holding is
    // written in place: at most two bytes per byte of the deal.
    const size_t start = out.size();
    out.resize(start + 2 * (end - position));
    char *target = out.data() + start;
    size_t length = 0;
    for (size_t i = position; i < end; ++i) {
        const bool continuation = utf8 && (static_cast<unsigned char>(deal[i]) & 0xC0) == 0x80;
        if (i != position && !continuation)
            target[length++] = ' ';
        target[length++] = deal[i];
    }
    out.resize(start + length);
    return true;
}

std::string GetDealHolding(int seat, int suit, std::string_view deal, bool utf8) {
    std::string holding;
    AppendDealHolding(holding, seat, suit, deal, utf8);
    return holding;
}

int AppendDiagramLine(std::string &target, int seat, int suitNumber, int startColumn, int targetColumn, bool lineEnd,
                      std::string_view deal, bool utf8) {
    size_t before = target.size();
    if (startColumn < targetColumn)
        target.append(static_cast<size_t>(targetColumn - startColumn), ' ');
    if (suitNumber != 0) {
        target += DIAGRAM_SUIT_LETTERS[suitNumber - 1];
        target += "  ";
        if (!AppendDealHolding(target, seat, suitNumber - 1, deal, utf8))
            target += "-----";
    }
    if (lineEnd)
        target += "\r\n";
    return static_cast<int>(target.size() - before);
}

void AppendMakeableLine(std::string &target, const CDDA &dda, int side) {
    const int first = PARTNERS[side][0];
    const int second = PARTNERS[side][1];
    AppendAscii(target, SIDE_NAMES[side]);
    target += ':';
    char piece[32];
    for (int strain : MAKEABLE_STRAINS) {
        int a = dda.m_tricks[first][strain];
        int b = dda.m_tricks[second][strain];
        if (a < 7 && b < 7)
            continue;
        target += ' ';
        if (a == b) {
            std::snprintf(piece, sizeof piece, "%d", a - 6);
            target += piece;
        } else {
            if (a < 7) {
                target += '-';
            } else {
                std::snprintf(piece, sizeof piece, "%d", a - 6);
                target += piece;
            }
            target += '/';
            if (b < 7) {
                target += '-';
            } else {
                std::snprintf(piece, sizeof piece, "%d", b - 6);
                target += piece;
            }
        }
        AppendAscii(target, STRAIN_NAMES[strain]);
    }
    for (int strain : MAKEABLE_STRAINS) {
        int a = dda.m_tricks[first][strain];
        int b = dda.m_tricks[second][strain];
        if (a > 6 && b > 6)
            continue;
        target += ' ';
        AppendAscii(target, STRAIN_NAMES[strain]);
        if (a == b)
            std::snprintf(piece, sizeof piece, "%d", a);
        else
            std::snprintf(piece, sizeof piece, "%d/%d", a, b);
        target += piece;
    }
    target += "\r\n";
}

std::u16string FormatParSummary(CDDA &dda, int vulnerability) {
    if (!dda.IsComplete())
        return {};
    std::u16string summary = dda.GetMakeableContracts();
    std::u16string result;
    std::u16string contracts;
    ComputePar(dda, vulnerability, &result, &contracts, nullptr, nullptr, false);

    // "NS 420", "EW -300" or "NS 90 EW 90": the par from each side's view.
    int ns = 0;
    int ew = 0;
    int tokens = 0;
    size_t i = 0;
    while (i < result.size()) {
        std::u16string_view rest = std::u16string_view(result).substr(i);
        bool northSouth = rest.substr(0, 3) == u"NS ";
        if (!northSouth && rest.substr(0, 3) != u"EW ")
            break;
        i += 3;
        bool negative = false;
        if (i < result.size() && (result[i] == u'+' || result[i] == u'-')) {
            negative = result[i] == u'-';
            ++i;
        }
        int number = 0;
        while (i < result.size() && result[i] >= u'0' && result[i] <= u'9')
            number = number * 10 + (result[i++] - u'0');
        if (negative)
            number = -number;
        (northSouth ? ns : ew) = number;
        if (tokens == 0)
            (northSouth ? ew : ns) = -number;
        ++tokens;
        if (i < result.size() && result[i] == u' ')
            ++i;
    }
    if (tokens == 1 || tokens == 2) {
        if (!summary.empty())
            summary += u"; ";
        summary += u"Par";
        summary += NO_BREAK_SPACE;
        int magnitude;
        if (ns == 0) {
            magnitude = 0;
        } else if (ns == ew) {
            summary += u'\u00B1';
            magnitude = std::abs(ns);
        } else if (ns > 0) {
            summary += u'+';
            magnitude = ns;
        } else {
            summary += u'-';
            magnitude = -ns;
        }
        summary += platform::WidenAscii(std::to_string(magnitude));
        if (ew != ns && ew != -ns) {
            summary += u'/';
            summary += -ew >= 0 ? u'+' : u'-';
            summary += platform::WidenAscii(std::to_string(std::abs(ew)));
        }
    }
    summary += contracts;
    return summary;
}

std::u16string StripMarkup(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    bool escape = false;
    bool tag = false;
    for (char16_t c : text) {
        if (escape) {
            if (c == u'n')
                result += u"\r\n";
            else
                result += c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
            escape = false;
        } else if (tag) {
            if (c == u'>')
                tag = false;
        } else if (c == u'\\') {
            escape = true;
        } else if (c == u'<') {
            tag = true;
        } else {
            result += c;
        }
    }
    return result;
}

void AppendTextReport(std::string &report, const CBoardRecord &record, std::u16string_view doubleDummyTricks,
                      int codePage) {
    EncodedBoardRecord fields;
    for (int i = 0; i < BRF_COUNT; ++i)
        platform::AppendToCodePage(fields[i], record[i], static_cast<unsigned>(codePage));
    AppendTextReport(report, record, fields, doubleDummyTricks, codePage);
}

void AppendTextReport(std::string &report, const CBoardRecord &record, const EncodedBoardRecord &fields,
                      std::u16string_view doubleDummyTricks, int codePage) {
    std::string_view vulnerabilityText = fields[BRF_VULNERABLE];
    int vulnerability = -1;
    for (const VulnerabilityEntry &entry : VulnerabilityTable) {
        if (platform::WcsICmp(record[BRF_VULNERABLE], entry.value) == 0) {
            vulnerability = entry.index;
            vulnerabilityText = VulnerabilityNames[entry.index];
            break;
        }
    }
    if (fields[BRF_BOARD].empty())
        return;

    report += '=';
    report += fields[BRF_BOARD];
    report += "================================================\r\n\r\n";
    report += "Board: ";
    report += fields[BRF_BOARD];
    report += "         Dealer: ";
    report += fields[BRF_DEALER];
    report += "         Vul: ";
    report += vulnerabilityText;
    report += "\r\n";

    const std::string &deal = fields[BRF_DEAL];
    if (deal.empty())
        return;
    const bool utf8 = codePage == 65001;
    for (int suit = 1; suit <= 4; ++suit)
        AppendDiagramLine(report, NORTH, suit, 0, 16, true, deal, utf8);
    for (int suit = 1; suit <= 4; ++suit) {
        int westWidth = AppendDiagramLine(report, WEST, suit, 0, 0, false, deal, utf8);
        AppendDiagramLine(report, EAST, suit, westWidth, 31, true, deal, utf8);
    }
    for (int suit = 1; suit <= 4; ++suit)
        AppendDiagramLine(report, SOUTH, suit, 0, 16, true, deal, utf8);

    CDDA dda;
    if (doubleDummyTricks.size() == 20) {
        for (int i = 0; i < 20; ++i)
            dda.SetTricks(DD_DECLARERS[i / 5], DD_STRAINS[i % 5], DigitValue(doubleDummyTricks[i]));
    }
    if (dda.IsComplete()) {
        AppendMakeableLine(report, dda, 0);
        AppendMakeableLine(report, dda, 1);
        AppendLott(report, dda, record[BRF_DEAL]);
        AppendParLine(report, dda, vulnerability, codePage);
        std::u16string summary = FormatParSummary(dda, vulnerability);
        if (!summary.empty()) {
            report += Encode(StripMarkup(summary), codePage);
            report += "\r\n";
        }
    }

    if (!fields[BRF_SCORETABLE].empty()) {
        // The column names without their widths, separated by ", ": each column's text up to a backslash.
        report += "ScoreTable: ";
        std::string_view value = fields[BRF_SCORETABLE];
        for (size_t start = 0;;) {
            size_t end = value.find(';', start);
            std::string_view column = value.substr(start, end == std::string_view::npos ? end : end - start);
            report += column.substr(0, column.find('\\'));
            if (end == std::string_view::npos)
                break;
            report += ", ";
            start = end + 1;
        }
        report += "\r\n";
        report += fields[BRF_SCORETABLE_ROWS];
    }
}
