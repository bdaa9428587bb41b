#include "conversion_harness.h"

#include <fstream>
#include <sstream>

#include "platform/wide_text.h"

namespace harness {

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFile(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

std::unordered_map<std::u16string, CDoubleDummyResult> ReadDoubleDummyFile(const std::string &path) {
    std::unordered_map<std::u16string, CDoubleDummyResult> results;
    std::istringstream in(ReadFile(path));
    std::string line;
    CDoubleDummyResult *current = nullptr;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        if (line[0] == '=') {
            current = &results[platform::Utf8ToUtf16(line.substr(1))];
            continue;
        }
        if (!current || line.size() < 2)
            continue;
        std::u16string value = platform::Utf8ToUtf16(line.substr(2));
        switch (line[0]) {
        case 'T':
            current->m_strDoubleDummyTricks = value;
            break;
        case 'H':
            current->m_strOptimumResultTable = value;
            break;
        case 'R':
            current->m_strOptimumResultRows += value + u"\r\n";
            break;
        default:
            break;
        }
    }
    return results;
}

std::string WithoutCreatedLine(const std::string &pbn) {
    size_t at = pbn.find("\r\n%Created: ");
    if (at == std::string::npos)
        return pbn;
    size_t end = pbn.find("\r\n", at + 2);
    return pbn.substr(0, at) + pbn.substr(end == std::string::npos ? pbn.size() : end);
}

} // namespace harness
