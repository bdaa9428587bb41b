#include "page_fixture.h"

namespace pages {

std::string Page(const std::string &body) {
    return "<html><head><title>t</title></head><body>\n" + body + "\n</body></html>\n";
}

std::string Board(const std::string &number, const std::string &dealer, const std::string &vulnerability,
                  const std::vector<std::string> &cells, const std::string &inside) {
    std::string html = "<div class=\"tsboard\"><table><tbody><tr><td><span class=\"tslabelboard\">" + number +
                       "</span></td><td><span class=\"tslabeldealer\">" + dealer +
                       "</span></td><td><span class=\"tslabelvul\">" + vulnerability + "</span></td></tr>";
    for (size_t row = 0; row < 4; ++row) {
        html += "<tr>";
        for (size_t suit = 0; suit < 4 && row * 4 + suit < cells.size(); ++suit)
            html += "<td class=\"tshand\">" + cells[row * 4 + suit] + "</td>";
        html += "</tr>";
    }
    html += "</tbody></table>" + inside + "</div>\n";
    return html;
}

std::vector<std::string> Cells(const std::string &north, const std::string &east, const std::string &south,
                               const std::string &west) {
    std::vector<std::string> cells;
    for (const std::string *hand : {&north, &west, &east, &south}) {
        size_t start = 0;
        for (int suit = 0; suit < 4; ++suit) {
            size_t dot = hand->find('.', start);
            cells.push_back(hand->substr(start, dot == std::string::npos ? std::string::npos : dot - start));
            start = dot == std::string::npos ? hand->size() : dot + 1;
        }
    }
    return cells;
}

void Load(CDSCDoc &document, const std::string &page, unsigned codePage, const std::u16string &url) {
    harness::BytesPageSource source(url, page, codePage);
    document.LoadFromView(source);
}

std::vector<std::string> TagValues(const std::string &pbn, const std::string &name) {
    std::vector<std::string> values;
    const std::string open = "[" + name + " \"";
    for (size_t at = pbn.find(open); at != std::string::npos; at = pbn.find(open, at + 1)) {
        if (at != 0 && pbn[at - 1] != '\n')
            continue;
        size_t start = at + open.size();
        size_t end = pbn.find("\"]\r\n", start);
        values.push_back(pbn.substr(start, end - start));
    }
    return values;
}

RecapOptionScope::RecapOptionScope(int option) {
    m_settings.SetInt("Settings", "RecapOption", option);
    platform::SetAppSettings(&m_settings);
}

RecapOptionScope::~RecapOptionScope() {
    platform::SetAppSettings(nullptr);
}

} // namespace pages
