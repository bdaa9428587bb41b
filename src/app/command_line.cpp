#include "app/command_line.h"

#include "platform/path_text.h"
#include "platform/wide_text.h"

using platform::IsAlnumW;
using platform::IsAlphaW;
using platform::WcsICmp;

bool IsUrlArgument(std::u16string_view argument) {
    if (argument.empty() || !IsAlphaW(argument[0]))
        return false;
    size_t i = 1;
    while (i < argument.size() &&
           (IsAlnumW(argument[i]) || argument[i] == u'+' || argument[i] == u'-' || argument[i] == u'.'))
        ++i;
    return argument.substr(i).starts_with(u"://");
}

void CTSCommandLineInfo::ParseCommandLine(int argc, const char *const *argv) {
    for (int i = 1; i < argc; ++i) {
        // File names need not be UTF-8: their bytes are kept so that the files named are the ones used.
        std::u16string argument = platform::PathBytesToText(argv[i]);
        bool isSwitch = !argument.empty() && argument[0] == u'-';
        std::u16string_view param(argument);
        if (isSwitch)
            param.remove_prefix(1);
        ParseParam(param, isSwitch, i + 1 == argc);
    }
}

void CTSCommandLineInfo::ParseParam(std::u16string_view param, bool isSwitch, bool isLast) {
    if (isSwitch) {
        if (WcsICmp(param, u"pbn") == 0)
            m_bPbn = true;
        else if (WcsICmp(param, u"dda") == 0)
            m_bDda = true;
        else if (WcsICmp(param, u"text") == 0)
            m_bText = true;
        else
            return ParseParamBase(param, isSwitch, isLast);
        return ParseLast(isLast);
    }
    if (IsUrlArgument(param)) {
        m_strStartURL.assign(param);
        return ParseLast(isLast);
    }
    if (m_bPbn && m_strPbnFile.empty()) {
        m_strPbnFile.assign(param);
        return ParseLast(isLast);
    }
    if (m_bText && m_strTextFile.empty()) {
        m_strTextFile.assign(param);
        return ParseLast(isLast);
    }
    ParseParamBase(param, isSwitch, isLast);
}

void CTSCommandLineInfo::ParseParamBase(std::u16string_view param, bool isSwitch, bool isLast) {
    // Switches of no meaning here are ignored, as the window's own would be; the first free argument is the
    // page file, later ones are ignored.
    if (!isSwitch && m_strFileName.empty())
        m_strFileName.assign(param);
    ParseLast(isLast);
}

void CTSCommandLineInfo::ParseLast(bool isLast) {
    if (isLast && m_nShellCommand == FileNew && !m_strFileName.empty())
        m_nShellCommand = FileOpen;
}
