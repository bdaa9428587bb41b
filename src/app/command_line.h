#pragma once
// The program's command line: the batch switches "pbn", "text" and "dda" (any letter case, after '-'), the
// output file names that follow them, a start URL, and the page file to open.
//
// On Linux only '-' marks a switch: a leading '/' begins an absolute path, so "/data/page.html" is a page file.
#include <string>
#include <string_view>

class CTSCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen };

    // Feeds every argument after the program name to ParseParam, in order, stripping a leading '-' from switches.
    void ParseCommandLine(int argc, const char *const *argv);
    // One argument: its text without the switch mark, whether it was a switch, whether it is the last one.
    void ParseParam(std::u16string_view param, bool isSwitch, bool isLast);

    bool BatchRequested() const { return m_bPbn || m_bText || m_bDda; }

    // What opening the program does: an empty page, or the page file m_strFileName.
    ShellCommand m_nShellCommand = FileNew;
    std::u16string m_strFileName;

    bool m_bPbn = false;
    bool m_bText = false;
    bool m_bDda = false;
    std::u16string m_strPbnFile;
    std::u16string m_strTextFile;
    std::u16string m_strStartURL;

private:
    // A free argument not taken for a URL or an output name: the first becomes the page file.
    void ParseParamBase(std::u16string_view param, bool isSwitch, bool isLast);
    // At the last argument a collected page file turns the empty page into opening that file.
    void ParseLast(bool isLast);
};

// A scheme (a letter, then letters, digits, '+', '-', '.') followed directly by "://".
bool IsUrlArgument(std::u16string_view argument);
