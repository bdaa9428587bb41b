#include "app/page_charset.h"

#include <gtest/gtest.h>

#include "platform/charset_table.h"
#include "platform/file_uri.h"

namespace {

TEST(PageCharset, ContentTypeParameter) {
    EXPECT_EQ(CharsetFromContentType("text/html; charset=UTF-8"), "UTF-8");
    EXPECT_EQ(CharsetFromContentType("text/html;CHARSET=\"iso-8859-2\""), "iso-8859-2");
    EXPECT_EQ(CharsetFromContentType("text/html; q=1; charset = koi8-r ; x=y"), "koi8-r");
    EXPECT_EQ(CharsetFromContentType("text/html"), "");
    EXPECT_EQ(CharsetFromContentType(""), "");
}

TEST(PageCharset, ByteOrderMarks) {
    EXPECT_EQ(CharsetFromByteOrderMark("\xEF\xBB\xBF<html>"), "utf-8");
    EXPECT_EQ(CharsetFromByteOrderMark("\xFF\xFE<\0"), "utf-16le");
    EXPECT_EQ(CharsetFromByteOrderMark("\xFE\xFF\0<"), "utf-16be");
    EXPECT_EQ(CharsetFromByteOrderMark("<html>"), "");
}

TEST(PageCharset, MetaDeclarations) {
    EXPECT_EQ(CharsetFromMetaDeclaration("<html><head><META CharSet='Windows-1250'>"), "Windows-1250");
    EXPECT_EQ(
        CharsetFromMetaDeclaration("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-7\">"),
        "iso-8859-7");
    EXPECT_EQ(CharsetFromMetaDeclaration("<meta content='text/html;charset=\"koi8-r\"' http-equiv=content-type>"),
              "koi8-r");
    // Declarations that do not count: in a comment, inside an attribute value, without http-equiv,
    // an unknown name (the next declaration is taken), beyond the first 1024 bytes.
    EXPECT_EQ(CharsetFromMetaDeclaration("<!-- <meta charset=utf-8> --><p>"), "");
    EXPECT_EQ(CharsetFromMetaDeclaration("<div title='<meta charset=utf-8>'>"), "");
    EXPECT_EQ(CharsetFromMetaDeclaration("<meta content=\"text/html; charset=utf-8\">"), "");
    EXPECT_EQ(CharsetFromMetaDeclaration("<meta charset=bogus><meta charset=gbk>"), "gbk");
    EXPECT_EQ(CharsetFromMetaDeclaration(std::string(1020, ' ') + "<meta charset=utf-8>"), "");
    EXPECT_EQ(CharsetFromMetaDeclaration("<metadata charset=utf-8>"), "");
    // A page that names UTF-16 in its own ASCII-readable bytes is read as UTF-8.
    EXPECT_EQ(CharsetFromMetaDeclaration("<meta charset=\"UTF-16\">"), "utf-8");
}

TEST(PageCharset, OrderOfSources) {
    const std::string metaPage = "<meta charset=iso-8859-2>";
    EXPECT_EQ(FindPageCharset("text/html; charset=koi8-r", "\xEF\xBB\xBF" + metaPage), "koi8-r");
    EXPECT_EQ(FindPageCharset("text/html; charset=nonsense", "\xEF\xBB\xBF" + metaPage), "utf-8");
    EXPECT_EQ(FindPageCharset("text/html", metaPage), "iso-8859-2");
    EXPECT_EQ(FindPageCharset("", "<html><p>no declaration"), "windows-1252");
    EXPECT_EQ(platform::GetCharsetCodePage(FindPageCharset("", metaPage)), 28592u);
    EXPECT_EQ(platform::GetCharsetCodePage(FindPageCharset("", "<p>")), 1252u);
}

TEST(FileUri, EncodesWhatCannotStandInAPath) {
    EXPECT_EQ(platform::FileUriFromPath("/data/club results #3 100%?.html"),
              "file:///data/club%20results%20%233%20100%25%3F.html");
    EXPECT_EQ(platform::FileUriFromPath("/d/\xC3\xA9t\xC3\xA9.htm"), "file:///d/%C3%A9t%C3%A9.htm");
    std::string relative = platform::FileUriFromPath("page.htm");
    EXPECT_TRUE(relative.starts_with("file:///")) << relative;
    EXPECT_TRUE(relative.ends_with("/page.htm")) << relative;
}

} // namespace
