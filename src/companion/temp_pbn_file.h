#pragma once
// Temporary PBN files for the companion: one new file per hand-off or analysis, named after the page, never
// overwriting an existing file, and left in place afterwards (the companion may still be reading it).
#include <string>
#include <string_view>

namespace companion {

// The temporary folder, absolute, with a trailing '/': $TMPDIR when set and not empty, else /tmp.
std::string TempFolder();

// The base of the temporary names for a page's default ".pbn" file name: any folder part and the extension
// removed ("results.pbn" gives "results"; "" gives "").
std::u16string TempPbnBaseName(std::u16string_view defaultFileName);

// Creates a new, empty file, readable and writable by us alone: base.pbn, base-1.pbn, ... base-999.pbn, the
// first that can be created exclusively. Returns its descriptor and puts its path into `path`. When none can be
// created, reports so (platform::FatalError) and does not return.
int CreateTempPbnFile(std::u16string_view defaultFileName, std::string &path);

// Creates the temporary file and writes `pbn` into it byte for byte. Returns its path. A write failure is
// reported with the path as context (the partly written file stays) and does not return.
std::string WriteTempPbn(std::string_view pbn, std::u16string_view defaultFileName);

} // namespace companion
