#pragma once
// A page loaded without a window, for a batch run: a page file read from disk or a URL fetched with libcurl,
// with the code page of its charset found as a browser finds it.
#include <string>

#include "conversion/page_source.h"

class BatchPageSource : public IPageSource {
public:
    BatchPageSource(std::u16string url, std::string bytes, unsigned codePage);

    std::u16string GetLocationURL() override { return m_url; }
    bool GetRawSource(std::string &bytes) override;
    unsigned GetDocumentCodePage() override { return m_codePage; }

private:
    std::u16string m_url;
    std::string m_bytes;
    unsigned m_codePage;
};

// Reads a page file (a UTF-8 path as given). When it cannot be read, FatalError with the path as context.
BatchPageSource ReadPageFile(const std::u16string &path);
// Loads a URL (http, https, file). When it cannot be loaded, FatalError with the URL as context.
BatchPageSource LoadPageFromUrl(const std::u16string &url);
