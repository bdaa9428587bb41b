#pragma once
// The address under which a page file is loaded, as a browser shows it: "file://" and the absolute path with
// every byte outside the characters that may stand in a URL path percent-encoded (spaces, '#', '%', '?', and
// non-ASCII bytes of the UTF-8 name among them).
#include <string>
#include <string_view>

namespace platform {

// path: a UTF-8 path; a relative one is taken from the current folder.
std::string FileUriFromPath(std::string_view path);

// Percent-escapes ("%4A", either case) decoded to bytes; false when an escape is cut short or not hexadecimal.
bool PercentDecode(std::string_view text, std::string &bytes);

// The path of a "file:" URL of this machine (no host, or "localhost"), percent-escapes decoded, without any query
// or fragment. False for any other URL, or one whose escapes are broken or hold a NUL.
bool PathFromFileUri(std::string_view uri, std::string &path);

} // namespace platform
