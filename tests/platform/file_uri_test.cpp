#include "platform/file_uri.h"

#include <gtest/gtest.h>

namespace {

TEST(FileUri, EncodesWhatCannotStandInAPathAndDecodesItBack) {
    const std::string path = "/data/club results #3 100%?\xC3\xA9t\xC3\xA9.html";
    const std::string uri = "file:///data/club%20results%20%233%20100%25%3F%C3%A9t%C3%A9.html";
    EXPECT_EQ(platform::FileUriFromPath(path), uri);
    std::string decoded;
    EXPECT_TRUE(platform::PathFromFileUri(uri + "?q#f", decoded));
    EXPECT_EQ(decoded, path);
    EXPECT_TRUE(platform::PathFromFileUri("file://localhost/a%4A%4a", decoded) && decoded == "/aJJ");
    for (const char *other : {"file://host/a", "http://x/a", "file:///a%00b", "file:///a%4", "file:///a%G1",
                              "file\x1A///a", "FILE:\x0F//a"})
        EXPECT_FALSE(platform::PathFromFileUri(other, decoded)) << other;
    EXPECT_TRUE(platform::FileUriFromPath("page.htm").ends_with("/page.htm"));
}

} // namespace
