#pragma once
// Finds a loaded page's charset the way a browser does, so that a page converted without a window decodes
// exactly as the same page shown in the window: the charset parameter of the HTTP Content-Type, else a byte-order
// mark, else a meta charset or http-equiv Content-Type declaration in the page's first 1024 bytes, else
// "windows-1252". Only names that the charset table knows count as a declaration.
#include <string>
#include <string_view>

// The charset parameter of a Content-Type value ("text/html; charset=UTF-8" gives "UTF-8"), or empty.
std::string CharsetFromContentType(std::string_view contentType);
// The charset named by the page's byte-order mark, or empty.
std::string CharsetFromByteOrderMark(std::string_view bytes);
// The charset declared by the first meta element that declares a known one in the first 1024 bytes, or empty.
std::string CharsetFromMetaDeclaration(std::string_view bytes);
// The page's charset name; contentType is empty for a page that did not come over HTTP.
std::string FindPageCharset(std::string_view contentType, std::string_view bytes);
