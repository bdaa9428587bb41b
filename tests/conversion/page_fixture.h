#pragma once
// Small pages built in the tests, loaded into a document as the program would load them.
#include <string>
#include <vector>

#include "conversion/dsc_doc.h"
#include "conversion_harness.h"
#include "platform/settings.h"

namespace pages {

// A page body wrapped in a minimal document.
std::string Page(const std::string &body);

// One board division: labels, sixteen hand cells (North, West, East, South rows of S, H, D, C) and the given
// extra markup (a score table) inside the division.
std::string Board(const std::string &number, const std::string &dealer, const std::string &vulnerability,
                  const std::vector<std::string> &cells, const std::string &inside = "");

// The sixteen cells of a deal given as four PBN hands North, East, South, West.
std::vector<std::string> Cells(const std::string &north, const std::string &east, const std::string &south,
                               const std::string &west);

// Loads UTF-8 page bytes into the document.
void Load(CDSCDoc &document, const std::string &page, unsigned codePage = 65001,
          const std::u16string &url = u"https://results.example/club/page.htm");

// Values of every tag of that name in a PBN text, in order.
std::vector<std::string> TagValues(const std::string &pbn, const std::string &name);

// Installs a settings store with the given recap option for the life of the object.
class RecapOptionScope {
public:
    explicit RecapOptionScope(int option);
    ~RecapOptionScope();

private:
    platform::MemorySettings m_settings;
};

} // namespace pages
