// Converts a page file as the program would and writes the PBN export and the text report; for the golden
// files of the conversion tests.
//   convert_page PAGE [--charset NAME] [--recap 0|1|2] [--dd FILE] [--pbn OUT] [--text OUT]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "conversion_harness.h"
#include "platform/charset_table.h"
#include "platform/settings.h"
#include "platform/wide_text.h"

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: convert_page PAGE [--charset NAME] [--recap N] [--dd FILE] [--pbn OUT] "
                             "[--text OUT]\n");
        return 2;
    }
    std::string page = argv[1];
    std::string charset = "windows-1252";
    std::string ddFile, pbnOut, textOut;
    int recap = 0;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--charset"))
            charset = argv[i + 1];
        else if (!std::strcmp(argv[i], "--recap"))
            recap = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--dd"))
            ddFile = argv[i + 1];
        else if (!std::strcmp(argv[i], "--pbn"))
            pbnOut = argv[i + 1];
        else if (!std::strcmp(argv[i], "--text"))
            textOut = argv[i + 1];
    }
    platform::MemorySettings settings;
    settings.SetInt("Settings", "RecapOption", recap);
    platform::SetAppSettings(&settings);

    CDSCDoc document;
    harness::BytesPageSource source(u"file:///" + platform::Utf8ToUtf16(page), harness::ReadFile(page),
                                    platform::GetCharsetCodePage(charset));
    document.LoadFromView(source);
    if (!ddFile.empty()) {
        document.m_ddResults = harness::ReadDoubleDummyFile(ddFile);
        document.Convert();
    }
    std::printf("%s\n", platform::Utf16ToUtf8(document.m_strStatus).c_str());
    bool written = true;
    if (!pbnOut.empty())
        written = harness::WriteFile(pbnOut, document.m_strPbn) && written;
    if (!textOut.empty())
        written = harness::WriteFile(textOut, document.m_strTextReport) && written;
    platform::SetAppSettings(nullptr);
    return written ? 0 : 1;
}
