// Loads and converts a generated result page of 1,000 boards (over 3 MB) and compares the whole load and
// conversion with the parse alone; then loads a page of 10,000 boards whose divisions are never closed (each
// board inside the one before) against the same boards closed, and a page of 10,000 boards whose score tables
// each lie in a result cell of the one before against the same tables side by side. Prints the times, the peak
// memory per page byte, "nested_vs_closed <ratio>" and "nested_tables_vs_side_by_side <ratio>" (goal: at most 2
// each) and last "convert_vs_parse <ratio>" (goal: at most 2).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "conversion/dsc_doc.h"
#include "markup/xml_parser.h"
#include "platform/code_page.h"

namespace {

constexpr int BOARDS = 1000;
constexpr int RESULTS_PER_BOARD = 13;
constexpr int RUNS = 15;
constexpr int NESTED_BOARDS = 10000;
constexpr int NESTED_RUNS = 5;
constexpr int NESTED_TABLES = 10000;

const char *const SEATS[] = {"North", "East", "South", "West"};
const char *const VULNERABILITY[] = {"None", "N-S", "E-W", "Both"};
const char *const RANKS[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
const char *const SUIT_ENTITIES[] = {"&spades;", "&hearts;", "&diams;", "&clubs;"};
const char *const NAMES[] = {"Ann Able",         "Bob Baker", "Cy Cole",  "Di Dunn",  "Eve Eng", "Fay Fox",
                             "Gus Gray",         "Hal Hill",  "Ian Irv",  "Jo Jay",   "Kim Kay", "Lu Lee",
                             "Mo Moss",          "Ned Nash",  "Olga Orr", "Pia Park",
                             "Ren\303\251e Roy", // UTF-8 for "Renée"
                             "Sam Sims"};

// A page as the companion writes it: a recap listing, then per board a section division, the board division
// with its labels and hand diagram, and its score table. Unclosed: the board divisions lack their end tags, so
// that every board lies inside the one before.
std::string GeneratePage(int boards, bool closed) {
    std::mt19937 random(20260101);
    std::string page;
    page.reserve(4 << 20);
    page += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Generated pairs</title>\n"
            "<style>td.tshand { font-family: monospace; }</style>\n</head>\n<body>\n";
    page += "<pre id=\"tsrecap\">EVENT>Generated Pairs |SESSION>Tuesday Eve |SECTION>A |DATE>March 14, 2019\n"
            "MP LIMITS>0/300/1000 |CLUB>Green Baize Bridge Club\n";
    for (int pair = 1; pair <= 26; ++pair)
        page += "  " + std::to_string(pair) + "  50.00  " + NAMES[pair % 18] + " - " + NAMES[(pair + 5) % 18] + "\n";
    page += "</pre>\n";
    std::vector<int> deck(52);
    for (int board = 1; board <= boards; ++board) {
        for (int card = 0; card < 52; ++card)
            deck[card] = card;
        std::shuffle(deck.begin(), deck.end(), random);
        // cells[row][suit] in page order: North, West, East, South.
        std::string cells[4][4];
        const int rowOfSeat[4] = {0, 2, 3, 1};
        std::vector<int> hand[4];
        for (int card = 0; card < 52; ++card)
            hand[card / 13].push_back(deck[card]);
        for (int seat = 0; seat < 4; ++seat) {
            std::sort(hand[seat].begin(), hand[seat].end(), std::greater<int>());
            for (int card : hand[seat]) {
                std::string &cell = cells[rowOfSeat[seat]][card % 4];
                if (!cell.empty())
                    cell += ' ';
                cell += RANKS[card / 4];
            }
        }
        page +=
            "<div id=\"BoardA" + std::to_string(board) + "\"><a name=\"b" + std::to_string(board) + "\"></a></div>\n";
        page +=
            "<div class=\"tsboard\">\n<table class=\"tsdiagram\"><tbody>\n<tr><td><span class=\"tslabelboard\">Board " +
            std::to_string(board) + "</span></td><td><span class=\"tslabeldealer\">" + SEATS[(board - 1) % 4] +
            "</span></td><td><span class=\"tslabelvul\">" + VULNERABILITY[(board - 1) % 4] + "</span></td></tr>\n";
        for (int row = 0; row < 4; ++row) {
            page += "<tr>";
            for (int suit = 0; suit < 4; ++suit)
                page += "<td class=\"tshand\">" + (cells[row][suit].empty() ? "&mdash;" : cells[row][suit]) + "</td>";
            page += "</tr>\n";
        }
        page += "</tbody></table>\n<table class=\"tsst\"><tbody>\n";
        for (int result = 0; result < RESULTS_PER_BOARD; ++result) {
            int level = 1 + static_cast<int>(random() % 7);
            int made = static_cast<int>(random() % 5) - 2;
            int ns = 1 + result;
            int ew = 14 + result;
            page += std::string("<tr class=\"") + (result % 2 ? "tsst" : "tsstshade") + "\">";
            page += "<td class=\"tsstpairns\">" + std::to_string(ns) + "-" + NAMES[ns % 18] + " - " +
                    NAMES[(ns + 3) % 18] + "</td>";
            page += "<td class=\"tsstpairew\">" + std::to_string(ew) + "-" + NAMES[ew % 18] + " - " +
                    NAMES[(ew + 7) % 18] + "</td>";
            page += "<td class=\"tsstcontract\">" + std::to_string(level) + SUIT_ENTITIES[random() % 4] +
                    (random() % 5 == 0 ? "&times;" : "") + "</td>";
            page += std::string("<td class=\"tsstdeclarer\">") + "NESW"[random() % 4] + "</td>";
            page += "<td class=\"tsstmade\">" +
                    (made < 0 ? "&minus;" + std::to_string(-made) : std::to_string(level + made)) + "</td>";
            page +=
                std::string("<td class=\"tsstlead\">") + SUIT_ENTITIES[random() % 4] + RANKS[random() % 13] + "</td>";
            int score = 50 * (1 + static_cast<int>(random() % 12));
            page += "<td class=\"tsstscorens\">" + (made >= 0 ? std::to_string(score) : std::string("&nbsp;")) +
                    "</td><td class=\"tsstscoreew\">" + (made < 0 ? std::to_string(score) : std::string("&nbsp;")) +
                    "</td>";
            int mp = static_cast<int>(random() % 25);
            page += "<td class=\"tsstmpns\">" + std::to_string(mp / 2) + (mp % 2 ? ".5" : ".0") +
                    "</td><td class=\"tsstmpew\">" + std::to_string((24 - mp) / 2) + (mp % 2 ? ".5" : ".0") +
                    "</td></tr>\n";
        }
        page += closed ? "</tbody></table>\n</div>\n" : "</tbody></table>\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

class MemoryPageSource : public IPageSource {
public:
    explicit MemoryPageSource(const std::string &bytes) : m_bytes(bytes) {}
    std::u16string GetLocationURL() override { return u"file:///bench/generated.htm"; }
    bool GetRawSource(std::string &bytes) override {
        bytes = m_bytes;
        return true;
    }
    unsigned GetDocumentCodePage() override { return 65001; }

private:
    const std::string &m_bytes;
};

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Resident set size and its peak, in bytes, from /proc/self/status.
long StatusKilobytes(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    }
    return -1;
}

void ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

double Best(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The export without its "%Created" line, which holds the time of the conversion.
std::string WithoutCreatedLine(std::string pbn) {
    size_t at = pbn.find("%Created");
    if (at != std::string::npos)
        pbn.erase(at, pbn.find('\n', at) + 1 - at);
    return pbn;
}

// Whole loads of a page with nesting and of the same content laid out flat take turns; the two exports must be the
// same. Prints both times and their ratio; returns false when the exports differ.
bool CompareNestedWithFlat(const std::string &flatPage, const std::string &nestedPage, const std::string &flatName,
                           const std::string &nestedName, const std::string &ratioName) {
    MemoryPageSource flatSource(flatPage);
    MemoryPageSource nestedSource(nestedPage);
    std::vector<double> flatTimes, nestedTimes;
    std::string flatPbn, nestedPbn;
    for (int run = 0; run < NESTED_RUNS; ++run) {
        for (bool nested : {false, true}) {
            CDSCDoc document;
            double start = CpuSeconds();
            document.LoadFromView(nested ? nestedSource : flatSource);
            (nested ? nestedTimes : flatTimes).push_back(CpuSeconds() - start);
            (nested ? nestedPbn : flatPbn) = WithoutCreatedLine(document.m_strPbn);
        }
    }
    const double flat = Best(flatTimes);
    const double nested = Best(nestedTimes);
    std::printf("%s: %.1f ms\n", flatName.c_str(), flat * 1e3);
    std::printf("%s: %.1f ms\n", nestedName.c_str(), nested * 1e3);
    std::printf("%s_export: %s\n", nestedName.c_str(), nestedPbn == flatPbn ? "the same" : "DIFFERS");
    std::printf("%s %.2f\n", ratioName.c_str(), nested / flat);
    return nestedPbn == flatPbn;
}

// The 10,000 boards with divisions never closed against the same boards closed.
bool CompareNestedWithClosed() {
    const std::string count = std::to_string(NESTED_BOARDS);
    return CompareNestedWithFlat(GeneratePage(NESTED_BOARDS, true), GeneratePage(NESTED_BOARDS, false),
                                 "closed_" + count + "_boards", "nested_" + count + "_boards", "nested_vs_closed");
}

// Boards whose score tables each hold the next board in their contract cell, or the same boards one after the
// other. The cells hold white space only (a board without a label is written as "?"), so both exports are small
// and the same.
std::string GenerateTablesPage(int boards, bool nested) {
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tables</title></head><body>\n";
    const std::string close = "</td><td class=\"tsstdeclarer\">\n</td></tr></tbody></table></div>\n";
    for (int board = 1; board <= boards; ++board) {
        page += "<div class=\"tsboard\">\n<table class=\"tsst\"><tbody><tr class=\"tsst\">"
                "<td class=\"tsstscorens\">&nbsp;</td><td class=\"tsstcontract\">\n<i> </i>";
        if (!nested)
            page += close;
    }
    if (nested) {
        for (int board = 1; board <= boards; ++board)
            page += close;
    }
    page += "</body></html>\n";
    return page;
}

// The nested tables against the same tables side by side.
bool CompareNestedTablesWithSideBySide() {
    const std::string count = std::to_string(NESTED_TABLES);
    return CompareNestedWithFlat(GenerateTablesPage(NESTED_TABLES, false), GenerateTablesPage(NESTED_TABLES, true),
                                 "side_by_side_" + count + "_tables", "nested_" + count + "_tables",
                                 "nested_tables_vs_side_by_side");
}

} // namespace

int main(int argc, char **argv) {
    const std::string page = GeneratePage(BOARDS, true);
    if (argc == 3 && std::strcmp(argv[1], "--write-page") == 0) {
        // The page alone, for profiling and for running other readers on the same input.
        std::ofstream(argv[2], std::ios::binary) << page;
        return 0;
    }
    std::printf("page: %d boards, %.2f MB\n", BOARDS, page.size() / 1e6);

    // Times are the thread's processor time (steadier than the wall clock on a busy machine), best of RUNS.
    // Parse and load each start from a new parser or document, as a batch run does, so both pay for touching
    // fresh memory.
    const std::u16string text = platform::ConvertFromCodePage(page, 65001);
    std::vector<double> parseTimes;
    std::vector<double> loadTimes;
    size_t pbnBytes = 0;
    std::string status;
    long peakKilobytes = 0;
    MemoryPageSource source(page);
    // Parse and load take turns, so that both meet the same conditions on a busy machine.
    for (int run = 0; run < RUNS; ++run) {
        {
            NKXML::CXMLParser parser(true);
            double start = CpuSeconds();
            parser.Parse(text.c_str(), static_cast<int>(text.size()));
            parseTimes.push_back(CpuSeconds() - start);
        }
        {
            // The whole load: bytes, decoding, parse, atoms, board scan, PBN and report.
            CDSCDoc document;
            long before = StatusKilobytes("VmRSS:");
            ResetPeakMemory();
            double start = CpuSeconds();
            document.LoadFromView(source);
            loadTimes.push_back(CpuSeconds() - start);
            peakKilobytes = std::max(peakKilobytes, StatusKilobytes("VmHWM:") - before);
            pbnBytes = document.m_strPbn.size();
            status.assign(document.m_strStatus.begin(), document.m_strStatus.end());
        }
    }

    // The pieces of the load besides the parse: decoding the bytes, and a conversion of the tree already parsed.
    std::vector<double> decodeTimes, convertTimes;
    {
        CDSCDoc document;
        document.LoadFromView(source);
        for (int run = 0; run < RUNS; ++run) {
            double start = CpuSeconds();
            std::u16string decoded = platform::ConvertFromCodePage(page, 65001);
            decodeTimes.push_back(CpuSeconds() - start);
            start = CpuSeconds();
            document.Convert();
            convertTimes.push_back(CpuSeconds() - start);
        }
    }

    const double parse = Best(parseTimes);
    const double load = Best(loadTimes);
    std::printf("status: %s\n", status.c_str());
    std::printf("pbn: %.2f MB\n", pbnBytes / 1e6);
    std::printf("parse: %.1f ms (%.1f MB/s)\n", parse * 1e3, page.size() / parse / 1e6);
    std::printf("decode: %.1f ms\n", Best(decodeTimes) * 1e3);
    std::printf("convert_only: %.1f ms\n", Best(convertTimes) * 1e3);
    std::printf("load_and_convert: %.1f ms\n", load * 1e3);
    std::printf("peak_memory_per_page_byte: %.1f\n", peakKilobytes * 1024.0 / static_cast<double>(page.size()));
    const bool sameExport = CompareNestedWithClosed();
    const bool sameTablesExport = CompareNestedTablesWithSideBySide();
    std::printf("convert_vs_parse %.2f\n", load / parse);
    return sameExport && sameTablesExport ? 0 : 1;
}
