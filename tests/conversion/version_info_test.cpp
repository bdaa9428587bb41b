// The version text of the creator line and the About box.
#include <gtest/gtest.h>

#include "conversion/version_info.h"

namespace {

std::u16string Version(unsigned major, unsigned minor, unsigned build, unsigned revision, int components = 2,
                       bool debugMark = false, bool debugBuild = false) {
    CVersionInfo info;
    info.m_nComponents = components;
    info.m_bDebugMark = debugMark;
    VersionResource resource;
    resource.major = major;
    resource.minor = minor;
    resource.build = build;
    resource.revision = revision;
    resource.debug = debugBuild;
    info.Read(resource);
    return info.m_strVersion;
}

TEST(VersionInfo, ShowsTwoComponentsAndWhateverIsNotZero) {
    EXPECT_EQ(Version(1, 1, 0, 0), u"1.1");
    EXPECT_EQ(Version(2, 3, 4, 0), u"2.3.4");
    EXPECT_EQ(Version(2, 3, 0, 5), u"2.3.0.5");
    EXPECT_EQ(Version(2, 3, 0, 0, 3), u"2.3.0");
    EXPECT_EQ(Version(2, 3, 0, 0, 4), u"2.3.0.0");
}

TEST(VersionInfo, DebugMarkOnlyWhenAskedForOnADebugBuild) {
    EXPECT_EQ(Version(2, 3, 0, 0, 2, true, true), u"2.3D");
    EXPECT_EQ(Version(2, 3, 0, 0, 2, true, false), u"2.3");
    EXPECT_EQ(Version(2, 3, 0, 0, 2, false, true), u"2.3");
}

TEST(VersionInfo, ProgramResourceComesFromTheBuild) {
    CVersionInfo info;
    info.Read();
    EXPECT_EQ(info.m_strProductName, u"Dealscope");
    EXPECT_FALSE(info.m_strLegalCopyright.empty());
    VersionResource resource = ProgramVersionResource();
    EXPECT_EQ(info.m_strVersion, Version(resource.major, resource.minor, resource.build, resource.revision));
    EXPECT_EQ(info.m_strVersion.substr(0, 2), u"1.");
}

} // namespace
