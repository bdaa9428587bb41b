#include "companion/handoff.h"

#include "companion/class_registry.h"
#include "companion/temp_pbn_file.h"
#include "platform/error_report.h"
#include "platform/process.h"
#include "platform/wide_text.h"

namespace companion {

std::string HandOffToTricksmith(std::string_view pbn, std::u16string_view defaultFileName) {
    std::string exePath;
    if (!GetTricksmithExePath(exePath))
        platform::FatalError(u"Unable to locate Tricksmith.exe");
    std::string path = WriteTempPbn(pbn, defaultFileName);
    // The companion runs on its own; we neither wait for it nor watch it.
    int error = platform::SpawnDetached(exePath, {path});
    if (error != 0)
        platform::FatalError(platform::Utf8ToUtf16("Unable to start Tricksmith: " + platform::ErrnoText(error)));
    return path;
}

} // namespace companion
