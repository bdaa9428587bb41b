#pragma once
// Handing the page's boards to the companion program: a new temporary PBN file, and the companion started on
// it without waiting.
#include <string>
#include <string_view>

namespace companion {

// Finds the registered companion, writes `pbn` into a new temporary file named after `defaultFileName` and
// starts the companion with that file's path. Returns the path. Reports a failure through platform::FatalError
// and does not return then; when the companion is not registered, no file is written.
std::string HandOffToTricksmith(std::string_view pbn, std::u16string_view defaultFileName);

} // namespace companion
