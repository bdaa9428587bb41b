#pragma once
// Code-page conversion between page bytes and UTF-16 text, by Windows code-page number.
// Decoding uses ICU converters opened by name; 28591 and 65001 have encoders of our own.
#include <string>
#include <string_view>

namespace platform {

// The bytes decoded in the code page; empty for empty input or a code page we cannot open.
std::u16string ConvertFromCodePage(std::string_view bytes, unsigned codePage);

// Encodes text in 28591 (ISO-8859-1) or 65001 (UTF-8). For 28591, *lossy is set when a character had to be
// replaced (by '?'); the caller chooses 65001 then.
std::string ConvertToCodePage(std::u16string_view text, unsigned codePage, bool *lossy = nullptr);
// The same, appended to `out` (no temporary string); *lossy as above.
void AppendToCodePage(std::string &out, std::u16string_view text, unsigned codePage, bool *lossy = nullptr);

} // namespace platform
