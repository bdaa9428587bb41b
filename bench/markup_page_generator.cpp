#include "markup_page_generator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>

namespace markup_bench {

namespace {

const char *const SUITS[4] = {"&spades;", "&hearts;", "&diams;", "&clubs;"};
const char *const RANKS = "AKQJT98765432";
const char *const PLAYERS[] = {"Smith",    "Jones",       "M\xc3\xbcller", "Dupr\xc3\xa9", "O'Neil",
                               "Nakamura", "Garc\u00eda", "Ivanova",       "Brown",        "L\xc3\xb8vland"};

std::string Hand(const std::array<int, 13> &cards) {
    // cards: codes rank * 4 + suit; one hand cell as the companion writes it, a small table of four suit rows.
    std::string out = "<table class=\"tshandtable\"><tbody>";
    for (int suit = 0; suit < 4; ++suit) {
        out += "<tr><td class=\"tssuit\">";
        out += SUITS[suit];
        out += "</td><td class=\"tscards\">";
        bool any = false;
        for (int rank = 0; rank < 13; ++rank) {
            for (int c : cards) {
                if (c == rank * 4 + suit) {
                    char r = RANKS[rank];
                    if (r == 'T')
                        out += "10";
                    else
                        out += r;
                    any = true;
                }
            }
        }
        if (!any)
            out += "&mdash;";
        out += "</td></tr>";
    }
    out += "</tbody></table>";
    return out;
}

void Board(std::string &out, int number, std::mt19937 &random) {
    std::array<int, 52> deck;
    for (int i = 0; i < 52; ++i)
        deck[size_t(i)] = i;
    std::shuffle(deck.begin(), deck.end(), random);
    std::array<std::array<int, 13>, 4> hands;
    for (int h = 0; h < 4; ++h)
        std::copy_n(deck.begin() + h * 13, 13, hands[size_t(h)].begin());
    const char dealer = "NESW"[(number - 1) % 4];
    static const char *const VULS[4] = {"None", "N-S", "E-W", "Both"};

    out += "<!-- board " + std::to_string(number) + " -->\n";
    out += "<div class=\"tsboard\" id=\"Board" + std::to_string(number) + "A\">\n";
    out += "<table class=\"tsdeal\" cellpadding=0 cellspacing=0><tbody>\n<tr><td class=\"tsinfo\">";
    out += "<span class=\"tslabelboard\">Board " + std::to_string(number) + "</span><br>";
    out += std::string("<span class=\"tslabeldealer\">") + dealer + " Deals</span><br>";
    out += std::string("<span class=\"tslabelvul\">") + VULS[number % 4] + " Vul</span>";
    out += "</td><td class=\"tshand\">" + Hand(hands[0]) + "</td><td></td></tr>\n";
    out += "<tr><td class=\"tshand\">" + Hand(hands[3]) +
           "</td><td class=\"tscompass\"><img src=\"compass.png\" "
           "alt=\"N E S W\" width=60 height=60></td><td class=\"tshand\">" +
           Hand(hands[1]) + "</td></tr>\n";
    out += "<tr><td></td><td class=\"tshand\">" + Hand(hands[2]) + "</td><td></td></tr>\n</tbody></table>\n";

    // The score table: cells are not closed, rows are.
    out += "<table class=\"tsscoretable\" border=1><tbody>\n<tr><th>NS<th>EW<th>Contract<th>By<th>Tricks<th>NS "
           "score<th>EW score<th>NS MP<th>EW MP</tr>\n";
    static const char *const STRAINS[5] = {"&clubs;", "&diams;", "&hearts;", "&spades;", "NT"};
    for (int row = 0; row < 12; ++row) {
        int level = 1 + int(random() % 7);
        int strain = int(random() % 5);
        int tricks = std::min(13, int(6 + level + int(random() % 3) - 1));
        int score = int(random() % 30) * 10 + 50;
        bool nsScores = random() % 2;
        out += "<tr><td>" + std::to_string(1 + row) + "<td>" + std::to_string(13 + row) + "<td>" +
               std::to_string(level) + STRAINS[strain] + (random() % 5 == 0 ? "x" : "") + "<td>" +
               "NESW"[random() % 4] + "<td>" + std::to_string(tricks) + "<td>" +
               (nsScores ? std::to_string(score) : "&nbsp;") + "<td>" + (nsScores ? "&nbsp;" : std::to_string(score)) +
               "<td>" + std::to_string(random() % 23) + ".0<td>" + std::to_string(random() % 23) + ".0</tr>\n";
    }
    out += "</tbody></table>\n";
    out += "<p class=\"tscomment\">" + std::string(PLAYERS[random() % std::size(PLAYERS)]) +
           " &amp; partner found the &minus;1 defence &ndash; par " + std::to_string(random() % 700) +
           " &#8212; see <a href=\"board" + std::to_string(number) + ".html?s=A&x=1\">analysis</a>.</p>\n</div>\n";
}

} // namespace

std::string GenerateCompanionPage(size_t minBytes) {
    std::mt19937 random(7);
    std::string out;
    out.reserve(minBytes + 64 * 1024);
    out += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
           "<title>Monday Pairs &ndash; Results</title>\n"
           "<style type=\"text/css\">\n.tsboard { page-break-inside: avoid }\ntd.tshand { vertical-align: top }\n"
           "span.tslabelboard { font-weight: bold }\n</style>\n"
           "<script type=\"text/javascript\">\n//<![CDATA[\nfunction toggle(id) {\n"
           "  var e = document.getElementById(id); if (e && e.style.display != 'none' && 1 < 2)\n"
           "    e.style.display = 'none'; else document.write('<b>shown</b>');\n}\n//]]>\n</script>\n"
           "</head>\n<body onload=\"toggle('x')\">\n";
    out += "<pre id=\"tsrecap\">Event: Monday Pairs\nSite: Club &amp; Bar\nDate: 7 December 2026\n"
           "Section A</pre>\n<table class=\"tsrecaptable\"><tbody>\n";
    for (int i = 1; i <= 40; ++i) {
        out += "<tr><td>" + std::to_string(i) + "<td>" + PLAYERS[random() % std::size(PLAYERS)] + " &ndash; " +
               PLAYERS[random() % std::size(PLAYERS)] + "<td>" + std::to_string(40 + random() % 30) + "." +
               std::to_string(random() % 10) + "%</tr>\n";
    }
    out += "</tbody></table>\n";
    for (int number = 1; out.size() < minBytes; ++number)
        Board(out, number, random);
    out += "<p>Generated by the scoring program &copy; 2026</p>\n</body>\n</html>\n";
    return out;
}

} // namespace markup_bench
