#pragma once
// Pages whose charset the browser engine and the batch run must find alike: start (board divisions follow),
// HTTP Content-Type, charset.
#include <string>
#include <string_view>
#include <vector>

struct CharsetPage {
    const char *what;
    std::string contentType;
    std::string start;
    const char *charset;
};

inline std::vector<CharsetPage> CharsetPages() {
    const std::string filler(1100, 'x'); // beyond the first 1024 bytes
    // A body whose meta comes right after the first `before` bytes. The scan reads a tag that starts within the
    // first 1024 bytes whole, and stops at the first token that reaches byte 1024.
    const auto metaAfter = [](size_t before) {
        const std::string open = "<html><body><p>", close = "</p>";
        return open + std::string(before - open.size() - close.size(), 'x') + close + "<meta charset=utf-8>";
    };
    const size_t metaLength = std::string_view("<meta charset=utf-8>").size();
    return {
        {"meta after a long comment in the head", "text/html",
         "<!DOCTYPE html><html><head><!--" + filler + "--><meta charset=\"utf-8\"></head>", "utf-8"},
        {"http-equiv after a long script", "text/html",
         "<html><head><script>var s = '<p>" + filler +
             "';</script><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">",
         "utf-8"},
        {"meta in the body in the first 1024 bytes", "text/html", "<html><body><p>x</p><meta charset=utf-8>", "utf-8"},
        {"meta in the body beyond them", "text/html", "<html><body><p>" + filler + "</p><meta charset=utf-8>",
         "windows-1252"},
        {"meta in the body whose '>' is byte 1024", "text/html", metaAfter(1024 - metaLength), "utf-8"},
        {"meta in the body after the first 1023 bytes", "text/html", metaAfter(1023), "utf-8"},
        {"meta in the body after the first 1024 bytes", "text/html", metaAfter(1024), "windows-1252"},
        {"meta after the head's end beyond them", "text/html",
         "<html><head><!--" + filler + "--></head><meta charset=utf-8>", "windows-1252"},
        {"meta after a body element in the head", "text/html",
         "<html><head><div></div><!--" + filler + "--><meta charset=utf-8>", "windows-1252"},
        {"meta in a style's text", "text/html", "<html><head><style>/* <meta charset=utf-8> */</style>",
         "windows-1252"},
        {"meta in a title", "text/html", "<html><head><title><meta charset=utf-8></title>", "windows-1252"},
        {"meta in a comment", "text/html", "<html><head><!-- <meta charset=utf-8> -->", "windows-1252"},
        {"meta in an attribute value", "text/html", "<html><head><link title='<meta charset=utf-8>'>", "windows-1252"},
        {"meta in noscript", "text/html", "<html><head><noscript><meta charset=utf-8></noscript>", "utf-8"},
        {"content without http-equiv", "text/html", "<html><head><meta content=\"text/html; charset=utf-8\">",
         "windows-1252"},
        {"unknown name, then a known one", "text/html", "<html><head><meta charset=bogus><meta charset=utf-8>",
         "utf-8"},
        {"UTF-16 named in the page", "text/html", "<html><head><meta charset=utf-16>", "utf-8"},
        {"XML declaration", "text/html", "<?xml version=\"1.0\" encoding=\"utf-8\"?><html><head>", "utf-8"},
        {"XML declaration, then meta", "text/html",
         "<?xml version=\"1.0\" encoding=\"iso-8859-2\"?><html><head><meta charset=utf-8>", "utf-8"},
        {"HTTP header over meta", "text/html; charset=iso-8859-2", "<html><head><meta charset=utf-8>", "iso-8859-2"},
        {"byte-order mark over the HTTP header", "text/html; charset=iso-8859-2", "\xEF\xBB\xBF<html><head>", "utf-8"},
    };
}

// The board divisions of a UTF-8 page with names outside Latin-1.
inline std::string CharsetPageBody(const std::string &utf8Page) {
    return utf8Page.substr(utf8Page.find("</head>"));
}
