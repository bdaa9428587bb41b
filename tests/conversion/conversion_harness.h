#pragma once
// Drives the conversion of a page file without a window: a page source over the file's bytes, a fixed clock,
// and double-dummy results read from a small text file.
#include <ctime>
#include <string>
#include <unordered_map>

#include "conversion/clock.h"
#include "bridge/double_dummy_result.h"
#include "conversion/dsc_doc.h"
#include "conversion/page_source.h"

namespace harness {

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

class FixedClock : public IClock {
public:
    explicit FixedClock(std::time_t when) : m_when(when) {}
    std::time_t Now() const override { return m_when; }

private:
    std::time_t m_when;
};

std::string ReadFile(const std::string &path);
bool WriteFile(const std::string &path, const std::string &bytes);

// Results as the companion delivers them, from a text file of lines:
//   "=<board>" starts a board, "T <tricks>" its DoubleDummyTricks value, "H <header>" its OptimumResultTable
//   value, "R <row>" one row of that table (CR LF is added).
std::unordered_map<std::u16string, CDoubleDummyResult> ReadDoubleDummyFile(const std::string &path);

// The PBN text without its "%Created" line, which holds the time of the conversion.
std::string WithoutCreatedLine(const std::string &pbn);

} // namespace harness
