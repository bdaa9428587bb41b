// libFuzzer target for the markup parser (built with clang only):
//   build/tests/markup/markup_fuzz tests/data/markup-corpus -max_total_time=60
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static NKXML::CXMLParser html(true);
    static NKXML::CXMLParser strict(false);
    bool useHtml = true;
    std::u16string text = markup_test::FuzzText(data, size, useHtml);
    markup_test::FuzzOne(useHtml ? html : strict, text);
    return 0;
}
