#pragma once
// Between the program's UTF-16 text and wxString (UTF-32 on GTK): through UTF-8, which joins surrogate pairs.
#include <string>
#include <string_view>

#include <wx/string.h>

#include "platform/wide_text.h"

inline wxString ToWx(std::u16string_view text) {
    return wxString::FromUTF8(platform::Utf16ToUtf8(text));
}

inline std::u16string FromWx(const wxString &text) {
    wxScopedCharBuffer utf8 = text.utf8_str();
    return platform::Utf8ToUtf16(std::string_view(utf8.data(), utf8.length()));
}
