#pragma once
// What the document's load entry takes from whoever loaded the page: the browser view in the window, the page
// reader of a batch run, or a test.
#include <string>

class IPageSource {
public:
    virtual ~IPageSource() = default;
    // The page's address as the loader reports it.
    virtual std::u16string GetLocationURL() = 0;
    // The page's bytes as loaded, up to the first zero byte; false (and empty bytes) when they cannot be read.
    virtual bool GetRawSource(std::string &bytes) = 0;
    // The Windows code page of the page's charset (1252 when the charset is unknown or undeclared).
    virtual unsigned GetDocumentCodePage() = 0;
};
