#pragma once
// Between the program's UTF-16 text and wxString (UTF-32 on GTK): through UTF-8, which joins surrogate pairs.
#include <string>
#include <string_view>

#include <wx/string.h>

#include "platform/path_text.h"
#include "platform/utf8.h"
#include "platform/wide_text.h"

inline wxString ToWx(std::u16string_view text) {
    return wxString::FromUTF8(platform::Utf16ToUtf8(text));
}

inline std::u16string FromWx(const wxString &text) {
    wxScopedCharBuffer utf8 = text.utf8_str();
    return platform::Utf8ToUtf16(std::string_view(utf8.data(), utf8.length()));
}

// A file name held as text (see platform/path_text.h) in a wxString and back to its bytes: a byte that is not part
// of valid UTF-8 stays the lone code unit that stands for it, so that the name still opens its file.
inline wxString PathToWx(std::u16string_view text) {
    wxString result;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (platform::IsHighSurrogate(c) && i + 1 < text.size() && platform::IsLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        result += static_cast<wchar_t>(c);
    }
    return result;
}

inline std::string PathFromWx(const wxString &path) {
    std::u16string text;
    for (wxUniChar c : path) {
        char32_t code = c.GetValue();
        if (code >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else
            text += static_cast<char16_t>(code);
    }
    return platform::PathTextToBytes(text);
}
