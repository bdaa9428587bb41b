#pragma once
// Page bytes fed to the document without a window.
#include <string>

#include "conversion/dsc_doc.h"
#include "conversion/page_source.h"

namespace support {

class BytesPageSource : public IPageSource {
public:
    BytesPageSource(std::u16string url, std::string bytes, unsigned codePage)
        : m_url(std::move(url)), m_bytes(std::move(bytes)), m_codePage(codePage) {}
    std::u16string GetLocationURL() override { return m_url; }
    bool GetRawSource(std::string &bytes) override {
        bytes = m_bytes;
        return true;
    }
    unsigned GetDocumentCodePage() override { return m_codePage; }

private:
    std::u16string m_url;
    std::string m_bytes;
    unsigned m_codePage;
};

} // namespace support
