#pragma once
// The text form of values on the automation transport: strings travel percent-encoded so that each is one
// blank-free token, whatever line ends or backslashes it holds (docs/companion-protocol.md).
#include <string>
#include <string_view>

namespace companion {

// Bytes 0x00-0x20, '%' and 0x7F become %HH; every other byte stays (platform::PercentDecode reads it back).
std::string PercentEncode(std::string_view bytes);
// A decimal 32-bit integer, the whole text; false otherwise.
bool ParseInt32(std::string_view text, int &value);

} // namespace companion
