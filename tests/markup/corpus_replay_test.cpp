// Replays the committed fuzzing corpus and a bounded number of random mutations of it through the parser, in
// both modes, checking the tree after each run (the sanitizer build adds memory and leak checks).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "fuzz_check.h"

namespace {

std::vector<std::string> LoadCorpus() {
    std::vector<std::string> files;
    std::vector<std::filesystem::path> paths;
    for (const auto &entry : std::filesystem::directory_iterator(DEALSCOPE_TEST_DATA "/markup-corpus"))
        if (entry.is_regular_file())
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const auto &path : paths) {
        std::ifstream in(path, std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

void RunInput(NKXML::CXMLParser &html, NKXML::CXMLParser &strict, const std::string &bytes) {
    bool useHtml = true;
    std::u16string text = markup_test::FuzzText(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), useHtml);
    markup_test::FuzzOne(useHtml ? html : strict, text);
}

TEST(MarkupCorpus, ReplaysEveryFileInBothModesAndEncodings) {
    std::vector<std::string> corpus = LoadCorpus();
    ASSERT_GE(corpus.size(), 10u);
    NKXML::CXMLParser html(true), strict(false);
    size_t errors = 0;
    for (const std::string &file : corpus) {
        ASSERT_FALSE(file.empty());
        for (char mode : {'\0', '\1', '\2', '\3'}) {
            std::string input = file;
            input[0] = char((uint8_t(input[0]) & ~3) | mode);
            RunInput(html, strict, input);
        }
        // As a page: the whole file as text in html mode, as the document parses it.
        std::u16string text(file.begin(), file.end());
        errors += markup_test::FuzzOne(html, text);
    }
    EXPECT_LT(errors, corpus.size()); // most pages of the corpus parse cleanly
}

TEST(MarkupCorpus, RandomMutations) {
    std::vector<std::string> corpus = LoadCorpus();
    ASSERT_FALSE(corpus.empty());
    static const char *const TOKENS[] = {
        "<",           "</",    ">",    "/>",       "&",          ";",         "&amp;", "&#x",      "\"",
        "'",           "=",     "<!--", "-->",      "<!DOCTYPE ", "<![CDATA[", "]]>",   "<script>", "</script>",
        "//<![CDATA[", "//]]>", "<td>", "</table>", "<br/>",      "\r\n",      " ",     "-",        "<!"};
    std::mt19937 random(20261206);
    NKXML::CXMLParser html(true), strict(false);
    const int rounds = 40000;
    for (int round = 0; round < rounds; ++round) {
        std::string input = corpus[random() % corpus.size()];
        int edits = 1 + int(random() % 8);
        for (int e = 0; e < edits; ++e) {
            size_t at = input.empty() ? 0 : random() % (input.size() + 1);
            switch (random() % 5) {
            case 0: // flip a byte
                if (!input.empty())
                    input[std::min(at, input.size() - 1)] = char(random());
                break;
            case 1: // insert a token
                input.insert(at, TOKENS[random() % std::size(TOKENS)]);
                break;
            case 2: // cut a stretch
                input.erase(at, random() % 64);
                break;
            case 3: { // repeat a stretch
                std::string piece = input.substr(at, random() % 128);
                int times = 1 + int(random() % 16);
                for (int t = 0; t < times; ++t)
                    input.insert(at, piece);
                break;
            }
            default: // cut the end
                input.resize(at);
                break;
            }
        }
        RunInput(html, strict, input);
    }
}

} // namespace
