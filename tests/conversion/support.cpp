#include "support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace support {

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Page(const std::string &body) {
    return "<html><head><title>t</title></head><body>\n" + body + "\n</body></html>\n";
}

std::string Board(const std::string &number, const std::string &dealer, const std::string &vul, const std::string &deal,
                  const std::string &inside) {
    std::string html = "<div class=\"tsboard\"><table><tbody><tr><td><span class=\"tslabelboard\">" + number +
                       "</span></td><td><span class=\"tslabeldealer\">" + dealer +
                       "</span></td><td><span class=\"tslabelvul\">" + vul + "</span></td></tr>";
    if (!deal.empty()) {
        // The page's rows are North, West, East, South; the deal's hands N, E, S, W, holdings split at '.'.
        std::vector<std::string> hands;
        std::istringstream in(deal.substr(2));
        for (std::string hand; in >> hand;)
            hands.push_back(hand + ".");
        for (int seat : {0, 3, 1, 2}) {
            html += "<tr>";
            for (size_t start = 0, dot; (dot = hands[seat].find('.', start)) != std::string::npos; start = dot + 1)
                html += "<td class=\"tshand\">" + hands[seat].substr(start, dot - start) + "</td>";
            html += "</tr>";
        }
    }
    return html + "</tbody></table>" + inside + "</div>\n";
}

void Load(CDSCDoc &document, const std::string &page, int recapOption, unsigned codePage) {
    document.m_nRecapOption = recapOption;
    BytesPageSource source(u"https://results.example/club/page.htm", page, codePage);
    document.LoadFromView(source);
}

std::string Convert(const std::string &body, int recapOption) {
    CDSCDoc document;
    Load(document, Page(body), recapOption);
    return document.m_strPbn;
}

std::vector<std::string> TagValues(const std::string &pbn, const std::string &name) {
    std::vector<std::string> values;
    const std::string open = "\n[" + name + " \"";
    for (size_t at = pbn.find(open); at != std::string::npos; at = pbn.find(open, at + 1)) {
        size_t start = at + open.size();
        values.push_back(pbn.substr(start, pbn.find("\"]\r\n", start) - start));
    }
    return values;
}

std::vector<int> CheckDeals(const std::vector<std::string> &deals) {
    char folder[] = "/tmp/dealscope-dds-XXXXXX";
    if (!mkdtemp(folder))
        return {};
    std::ofstream(std::string(folder) + "/deals.txt") << [&] {
        std::string lines;
        for (const std::string &deal : deals)
            lines += deal + "\n";
        return lines;
    }();
    const std::string command = std::string("cd '") + folder + "' && '" + DEALSCOPE_DDS_CHECK_DEALS + "' < deals.txt";
    std::vector<int> codes;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        for (int code; std::fscanf(pipe, "%d", &code) == 1;)
            codes.push_back(code);
        int status = pclose(pipe);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            codes.clear();
    }
    std::filesystem::remove_all(folder);
    return codes.size() == deals.size() ? codes : std::vector<int>{};
}

} // namespace support
