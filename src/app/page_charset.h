#pragma once
// Finds a loaded page's charset the way the window's browser engine does, so that a page converted without a
// window decodes exactly as the same page shown in the window: a byte-order mark, else the charset parameter of the
// HTTP Content-Type, else a meta charset or http-equiv Content-Type declaration, else the encoding of an XML
// declaration at the very start, else "windows-1252". Only names that the charset table knows count.
#include <string>
#include <string_view>

// The charset parameter of a Content-Type value ("text/html; charset=UTF-8" gives "UTF-8"), or empty.
std::string CharsetFromContentType(std::string_view contentType);
// The charset named by the page's byte-order mark, or empty.
std::string CharsetFromByteOrderMark(std::string_view bytes);
// The charset declared by the first meta element that declares a known one, or empty. The page is read as the
// HTML tokenizer reads it (nothing in comments, attribute values, or the text of title, script, style and the
// like); the search goes on through the head, however long, and through the first 1024 bytes in any case.
std::string CharsetFromMetaDeclaration(std::string_view bytes);
// The known charset named by the encoding of an XML declaration that opens the page, or empty.
std::string CharsetFromXmlDeclaration(std::string_view bytes);
// The page's charset name; contentType is empty for a page that did not come over HTTP.
std::string FindPageCharset(std::string_view contentType, std::string_view bytes);
