#pragma once
// Pages fed to the document without a window, the golden files, and libdds's check of Deal values.
#include <string>
#include <vector>

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

std::string ReadFile(const std::string &path);

// A page body wrapped in a minimal document.
std::string Page(const std::string &body);
// One board division: labels, the sixteen hand cells of a PBN deal "N:n e s w" (or none) and the markup inside.
std::string Board(const std::string &number, const std::string &dealer = "N", const std::string &vul = "None",
                  const std::string &deal = "", const std::string &inside = "");

// Loads page bytes into the document with the given recap option.
void Load(CDSCDoc &document, const std::string &page, int recapOption = RECAP_OMIT, unsigned codePage = 65001);
// The PBN export of a page body.
std::string Convert(const std::string &body, int recapOption = RECAP_OMIT);
// Values of every tag of that name in a PBN text, in order.
std::vector<std::string> TagValues(const std::string &pbn, const std::string &name);

// libdds's return code for each deal (1 when it accepted it); empty when its process failed. The check runs in a
// process and folder of its own: libdds writes dump files into the current folder on a bad deal.
std::vector<int> CheckDeals(const std::vector<std::string> &deals);

} // namespace support
