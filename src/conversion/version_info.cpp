#include "conversion/version_info.h"

#include <string>

#include "config/version.h"

namespace {
void AppendNumber(std::u16string &out, unsigned value) {
    for (char c : std::to_string(value))
        out.push_back(static_cast<char16_t>(c));
}
} // namespace

VersionResource ProgramVersionResource() {
    VersionResource resource;
    resource.major = DEALSCOPE_VERSION_MAJOR;
    resource.minor = DEALSCOPE_VERSION_MINOR;
    resource.build = DEALSCOPE_VERSION_PATCH;
    resource.revision = DEALSCOPE_VERSION_TWEAK;
#ifdef NDEBUG
    resource.debug = false;
#else
    resource.debug = true;
#endif
    resource.productName = u"Dealscope";
    resource.legalCopyright = u"Copyright \u00A9 2026 Greenbaize Works";
    return resource;
}

void CVersionInfo::Read() {
    Read(ProgramVersionResource());
}

void CVersionInfo::Read(const VersionResource &resource) {
    // Major and minor always; build when asked for or when it, or a revision, is not zero; revision likewise.
    AppendNumber(m_strVersion, resource.major);
    m_strVersion += u'.';
    AppendNumber(m_strVersion, resource.minor);
    if (m_nComponents > 2 || resource.build != 0 || resource.revision != 0) {
        m_strVersion += u'.';
        AppendNumber(m_strVersion, resource.build);
    }
    if (m_nComponents > 3 || resource.revision != 0) {
        m_strVersion += u'.';
        AppendNumber(m_strVersion, resource.revision);
    }
    if (m_bDebugMark && resource.debug)
        m_strVersion += u'D';
    m_strProductName = resource.productName;
    m_strLegalCopyright = resource.legalCopyright;
}
