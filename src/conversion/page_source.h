#pragma once
// What the document's load entry takes from whoever loaded the page: the browser view in the window, the page
// reader of a batch run, or a test.
#include <string>

class IPageSource {
public:
    virtual ~IPageSource() = default;
    // The page's address as the loader reports it.
    virtual std::u16string GetLocationURL() = 0;
    // All of the page's bytes as loaded (a zero byte included: Save HTML As writes them whole, decoding stops
    // there); false (and empty bytes) when they cannot be read.
    virtual bool GetRawSource(std::string &bytes) = 0;
    // The Windows code page of the page's charset (1252 when the charset is unknown or undeclared).
    virtual unsigned GetDocumentCodePage() = 0;
};
