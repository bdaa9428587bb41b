#pragma once
// File names as text. On Linux a name is a string of bytes, usually UTF-8 but not always (an old disk, a name
// written by a program in another encoding). The program holds names as UTF-16 text; a byte that is not part of
// valid UTF-8 is kept as one code unit U+DC80-U+DCFF, which no valid text contains alone, so that the name
// turns back into exactly the bytes it came from and the file it names is the one opened or written.
#include <string>
#include <string_view>

namespace platform {

// A name's bytes as text: UTF-8 decoded, every other byte b as the code unit 0xDC00 + b.
std::u16string PathBytesToText(std::string_view bytes);
// The reverse: UTF-8, and a lone U+DC80-U+DCFF as the byte it stands for. Any other lone surrogate becomes
// U+FFFD.
std::string PathTextToBytes(std::u16string_view text);

} // namespace platform
