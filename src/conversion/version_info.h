#pragma once
// The program's product name, version text and legal notice, compiled in from the build's project version.
#include <string>

// What a version resource holds: the four file-version numbers, the debug flag and the two strings.
struct VersionResource {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    unsigned revision = 0;
    bool debug = false;
    std::u16string productName;
    std::u16string legalCopyright;
};

// The program's own resource, from the build.
VersionResource ProgramVersionResource();

class CVersionInfo {
public:
    // Fills the three texts from the program's own resource.
    void Read();
    // Fills the three texts from the given resource; appends to m_strVersion, which is empty on a new record.
    void Read(const VersionResource &resource);

    int m_nComponents = 2;     // components always shown
    bool m_bDebugMark = false; // append "D" for a debug build
    std::u16string m_strVersion;
    std::u16string m_strProductName;
    std::u16string m_strLegalCopyright;
};
