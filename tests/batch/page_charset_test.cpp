#include "app/page_charset.h"

#include <gtest/gtest.h>

#include "../scratch_test.h"
#include "charset_pages.h"
#include "platform/charset_table.h"

namespace {

TEST(PageCharset, HeaderByteOrderMarkAndDeclarations) {
    const std::pair<std::string, std::string> contentTypes[] = {
        {"text/html; charset=UTF-8", "UTF-8"},
        {"text/html;CHARSET=\"iso-8859-2\"", "iso-8859-2"},
        {"text/html; q=1; charset = koi8-r ; x=y", "koi8-r"},
        {"text/html", ""},
    };
    for (const auto &[contentType, charset] : contentTypes)
        EXPECT_EQ(CharsetFromContentType(contentType), charset) << contentType;
    const std::pair<std::string, std::string> marks[] = {
        {"\xEF\xBB\xBF<html>", "utf-8"}, {"\xFF\xFE<", "utf-16le"}, {"\xFE\xFF\0<", "utf-16be"}, {"<html>", ""}};
    for (const auto &[start, charset] : marks)
        EXPECT_EQ(CharsetFromByteOrderMark(start), charset) << start;
    const std::pair<std::string, std::string> metas[] = {
        {"<html><head><META CharSet='Windows-1250'>", "Windows-1250"},
        {"<meta content='text/html;charset=\"koi8-r\"' http-equiv=content-type>", "koi8-r"},
        {"<meta http-equiv=content-type content='charset=\"koi8-r'>", ""},
        {"<meta charset=\"\" content=\"charset=gbk\" http-equiv=Content-Type>", "gbk"},
        {std::string(2000, ' ') + "<meta charset=utf-8>", "utf-8"},
        {"<metadata charset=utf-8>", ""},
        {"<head><meta charset=utf-8", ""}, // the page ends inside the tag
        {"<script><!-- </scripts> --></script ><meta charset=koi8-r>", "koi8-r"},
    };
    for (const auto &[page, charset] : metas)
        EXPECT_EQ(CharsetFromMetaDeclaration(page), charset) << page;
    EXPECT_EQ(CharsetFromXmlDeclaration("<?xml encoding='utf-8'"), "");
}

// The pages that the window's test loads in the real browser engine: the batch run finds the same charsets.
TEST(PageCharset, AsTheBrowserEngineFindsIt) {
    const std::string body = CharsetPageBody(ReadFile(DEALSCOPE_TEST_DATA "/conversion/utf8_outside_latin1.htm"));
    for (const CharsetPage &page : CharsetPages())
        EXPECT_EQ(FindPageCharset(page.contentType, page.start + body), page.charset) << page.what;
    EXPECT_EQ(FindPageCharset("text/html; charset=nonsense", "<p>"), "windows-1252");
    EXPECT_EQ(FindPageCharset("", "<meta charset=UTF-16BE>"), "utf-8");
    EXPECT_EQ(platform::GetCharsetCodePage(FindPageCharset("", "<meta charset=iso-8859-2>")), 28592u);
}

} // namespace
