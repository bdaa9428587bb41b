// Parse + Reset of a generated companion-like page against libxml2's HTML parser (htmlReadMemory + xmlFreeDoc)
// on the same bytes, the growth of parse time on pathological pages (input four times larger), and pages of long
// names that differ only in their middle against pages of ordinary names.
// Last line: "markup_vs_libxml2 <ratio>" (our throughput over libxml2's; above 1 means faster).
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "markup/xml_parser.h"
#include "markup_page_generator.h"
#include "platform/wide_text.h"

namespace {

using Clock = std::chrono::steady_clock;

// Fastest time of one call in seconds, over at least minRuns runs and about minSeconds in total. The fastest run
// is the one least disturbed by other work on the machine.
double BestSeconds(const std::function<void()> &run, int minRuns, double minSeconds) {
    std::vector<double> times;
    double total = 0;
    while (int(times.size()) < minRuns || total < minSeconds) {
        auto start = Clock::now();
        run();
        double t = std::chrono::duration<double>(Clock::now() - start).count();
        times.push_back(t);
        total += t;
    }
    return *std::min_element(times.begin(), times.end());
}

// Parse + Reset; errors end the parse as they do for the document (the partial tree is then freed).
void ParseAndReset(NKXML::CXMLParser &parser, const std::u16string &text) {
    try {
        parser.Parse(text.c_str(), int(text.size()));
    } catch (const NKXML::CXMLException &e) {
        std::fprintf(stderr, "unexpected parse error: %s\n", e.what());
        std::exit(1);
    }
    parser.Reset();
}

size_t CountNodes(NKXML::CXMLParser &parser, const std::u16string &text) {
    parser.Parse(text.c_str(), int(text.size()));
    std::vector<NKXML::CNode *> all;
    parser.FindElements(all, u"*", nullptr, nullptr);
    parser.Reset();
    return all.size();
}

double PathologicalRatio(const char *name, const std::function<std::u16string(size_t)> &make, size_t base) {
    NKXML::CXMLParser parser(true);
    std::u16string small = make(base), large = make(base * 4);
    double tSmall = BestSeconds([&] { ParseAndReset(parser, small); }, 5, 0.1);
    double tLarge = BestSeconds([&] { ParseAndReset(parser, large); }, 3, 0.2);
    double ratio = tLarge / tSmall;
    std::printf("%-28s %8zu -> %8zu code units: %8.2f ms -> %8.2f ms, 4x input time ratio %.2f\n", name, small.size(),
                large.size(), tSmall * 1e3, tLarge * 1e3, ratio);
    return ratio;
}

// Parse time of a page of many distinct long names that share their first and last 32 code units, over that of
// a page of the same size whose names differ in their first code units; about 1 when names are hashed whole.
double CollidingNamesRatio(const char *name, const std::function<std::u16string(const std::u16string &)> &markup) {
    constexpr size_t COUNT = 64000;
    auto page = [&](bool sharedEnds) {
        std::u16string out = u"<html><body>";
        for (size_t i = 0; i < COUNT; ++i) {
            std::u16string distinct;
            for (size_t n = i, k = 0; k < 4; ++k, n /= 26)
                distinct += char16_t(u'a' + n % 26);
            const std::u16string ends(32, u'e');
            out += markup(sharedEnds ? ends + distinct + ends : distinct + ends + ends);
        }
        return out + u"</body></html>";
    };
    NKXML::CXMLParser parser(true);
    const std::u16string ordinary = page(false), colliding = page(true);
    double tOrdinary = BestSeconds([&] { ParseAndReset(parser, ordinary); }, 3, 0.2);
    double tColliding = BestSeconds([&] { ParseAndReset(parser, colliding); }, 3, 0.2);
    double ratio = tColliding / tOrdinary;
    std::printf("%-28s %zu names of 68 code units: %8.2f ms against %8.2f ms, time ratio %.2f (at most 2)\n", name,
                COUNT, tColliding * 1e3, tOrdinary * 1e3, ratio);
    return ratio;
}

std::u16string Repeat(std::u16string_view piece, size_t count) {
    std::u16string out;
    out.reserve(piece.size() * count);
    for (size_t i = 0; i < count; ++i)
        out += piece;
    return out;
}

} // namespace

int main(int argc, char **argv) {
    size_t pageBytes = 3 * 1024 * 1024 + 512 * 1024;
    if (argc > 1)
        pageBytes = size_t(std::strtoul(argv[1], nullptr, 10)) * 1024 * 1024;
    LIBXML_TEST_VERSION

    const std::string bytes = markup_bench::GenerateCompanionPage(pageBytes);
    const std::u16string text = platform::Utf8ToUtf16(bytes);
    const double megabytes = double(bytes.size()) / (1024.0 * 1024.0);

    NKXML::CXMLParser parser(true);
    std::printf("page: %zu bytes (%.2f MB), %zu UTF-16 code units, %zu nodes in our tree\n", bytes.size(), megabytes,
                text.size(), CountNodes(parser, text));

    const int libxmlOptions =
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_COMPACT;
    double tLibxml = BestSeconds(
        [&] {
            htmlDocPtr doc = htmlReadMemory(bytes.data(), int(bytes.size()), nullptr, "UTF-8", libxmlOptions);
            if (!doc) {
                std::fprintf(stderr, "libxml2 gave no document\n");
                std::exit(1);
            }
            xmlFreeDoc(doc);
        },
        4, 0.5);
    double tOurs = BestSeconds([&] { ParseAndReset(parser, text); }, 10, 0.4);

    // The pathological pages: each should take about four times as long at four times the size.
    std::printf("pathological pages (parse + Reset, html mode):\n");
    // Base sizes: a million nested elements, a name of 2 M code units (4 MB), 4 M code units of '&'.
    PathologicalRatio(
        "nested unclosed elements", [](size_t n) { return u"<html><body>" + Repeat(u"<td>", n) + u"</body>"; },
        1000000);
    PathologicalRatio(
        "multi-MB element name", [](size_t n) { return u"<" + std::u16string(n, u'N') + u" a=1>x</n>"; },
        2 * 1024 * 1024);
    PathologicalRatio(
        "multi-MB attribute name", [](size_t n) { return u"<p " + std::u16string(n, u'A') + u"=1>x</p>"; },
        2 * 1024 * 1024);
    PathologicalRatio(
        "text of '&' without ';'", [](size_t n) { return u"<p>" + std::u16string(n, u'&') + u"</p>"; },
        4 * 1024 * 1024);
    PathologicalRatio(
        "text of '&' ending in ';'", [](size_t n) { return u"<p>" + std::u16string(n, u'&') + u";</p>"; },
        4 * 1024 * 1024);
    PathologicalRatio(
        "end tags of no open element", [](size_t n) { return u"<u></u>" + Repeat(u"<i>", n) + Repeat(u"</u>", n); },
        250000);

    CollidingNamesRatio("element names, same ends",
                        [](const std::u16string &name) { return u"<" + name + u"></" + name + u">"; });
    CollidingNamesRatio("attribute names, same ends",
                        [](const std::u16string &name) { return u"<p " + name + u"=1></p>"; });

    // libxml2 decodes the bytes itself; the document hands our parser text already decoded. For a like-for-like
    // figure, the same parse with the UTF-8 decoding in front of it.
    double tDecodeAndParse = BestSeconds(
        [&] {
            std::u16string decoded = platform::Utf8ToUtf16(bytes);
            ParseAndReset(parser, decoded);
        },
        10, 0.4);

    double oursMBps = megabytes / tOurs, libxmlMBps = megabytes / tLibxml;
    std::printf("libxml2 htmlReadMemory + xmlFreeDoc: %8.2f ms  %8.1f MB/s\n", tLibxml * 1e3, libxmlMBps);
    std::printf("NKXML Parse + Reset:                 %8.2f ms  %8.1f MB/s\n", tOurs * 1e3, oursMBps);
    std::printf("NKXML with UTF-8 decoding in front:  %8.2f ms  %8.1f MB/s (%.2f times libxml2)\n",
                tDecodeAndParse * 1e3, megabytes / tDecodeAndParse, tLibxml / tDecodeAndParse);
    std::printf("markup_vs_libxml2 %.2f\n", oursMBps / libxmlMBps);
    return 0;
}
