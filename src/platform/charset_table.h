#pragma once
// The table of page charset names (lower-case ASCII, sorted bytewise) and their Windows code pages.
#include <optional>
#include <string_view>

namespace platform {

inline constexpr unsigned CODE_PAGE_NOT_DECODED = 0xFFFFFFFFu;

struct CharsetCodePage {
    const char *name;
    unsigned codePage;
};

// The 219 rows in ascending byte order of their names.
extern const CharsetCodePage CharsetCodePageTable[];
extern const unsigned CharsetCodePageTableSize;

// The code page of a charset name: ASCII letters are lowered and bytes of 0x80 and above dropped before a binary
// search; nothing for a name the table lacks or one that the program does not decode.
std::optional<unsigned> LookupCharsetCodePage(std::string_view charsetName);
// As a browser view reports a page's code page: the table's code page, or 1252.
unsigned GetCharsetCodePage(std::string_view charsetName);

} // namespace platform
