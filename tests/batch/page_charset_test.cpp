#include "app/page_charset.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "charset_pages.h"

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
    EXPECT_EQ(CharsetFromMetaDeclaration("<meta content='text/html;charset=\"koi8-r\"' http-equiv=content-type>"),
              "koi8-r");
    EXPECT_EQ(CharsetFromMetaDeclaration("<meta http-equiv=content-type content='charset=\"koi8-r'>"), "");
    EXPECT_EQ(CharsetFromMetaDeclaration("<meta charset=\"\" content=\"charset=gbk\" http-equiv=Content-Type>"), "gbk");
    EXPECT_EQ(CharsetFromMetaDeclaration(std::string(2000, ' ') + "<meta charset=utf-8>"),
              "utf-8"); // text keeps the head
    EXPECT_EQ(CharsetFromMetaDeclaration("<metadata charset=utf-8>"), "");
    EXPECT_EQ(CharsetFromMetaDeclaration("<head><meta charset=utf-8"), ""); // the page ends inside the tag
    EXPECT_EQ(CharsetFromMetaDeclaration("<script><!-- </scripts> --></script ><meta charset=koi8-r>"), "koi8-r");
    EXPECT_EQ(CharsetFromXmlDeclaration("<?xml encoding='utf-8'"), "");
}

// The pages that the window's test loads in the real browser engine: the batch run finds the same charsets.
TEST(PageCharset, AsTheBrowserEngineFindsIt) {
    std::ifstream file(DEALSCOPE_TEST_DATA "/conversion/utf8_outside_latin1.htm", std::ios::binary);
    const std::string body = CharsetPageBody({std::istreambuf_iterator<char>(file), {}});
    for (const CharsetPage &page : CharsetPages())
        EXPECT_EQ(FindPageCharset(page.contentType, page.start + body), page.charset) << page.what;
    EXPECT_EQ(FindPageCharset("text/html; charset=nonsense", "<p>"), "windows-1252");
    EXPECT_EQ(platform::GetCharsetCodePage(FindPageCharset("", "<meta charset=iso-8859-2>")), 28592u);
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
