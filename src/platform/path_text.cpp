#include "platform/path_text.h"

#include "platform/utf8.h"

namespace platform {

std::u16string PathBytesToText(std::string_view bytes) {
    std::u16string text;
    AppendUtf8AsUtf16(text, bytes, Utf8Invalid::Escape);
    return text;
}

std::string PathTextToBytes(std::u16string_view text) {
    std::string bytes;
    AppendUtf16AsUtf8(bytes, text, true);
    return bytes;
}

} // namespace platform
