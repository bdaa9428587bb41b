#include "pbn_games.h"

#include "platform/utf8.h"

namespace standin {

namespace {

// A tag line: '[' Name blanks '"' value '"' ']'. The value runs to the last quote of the line, so a value
// holding quotes (written without escapes) is kept whole.
bool ParseTagLine(std::string_view line, PbnTag &tag) {
    if (line.size() < 2 || line.front() != '[')
        return false;
    size_t close = line.rfind(']');
    if (close == std::string_view::npos)
        return false;
    std::string_view inner = line.substr(1, close - 1);
    size_t nameEnd = inner.find_first_of(" \t\"");
    if (nameEnd == 0 || nameEnd == std::string_view::npos)
        return false;
    tag.m_name.assign(inner.substr(0, nameEnd));
    size_t open = inner.find('"', nameEnd);
    size_t last = inner.rfind('"');
    if (open == std::string_view::npos || last == open)
        return false;
    tag.m_value.assign(inner.substr(open + 1, last - open - 1));
    tag.m_rows.clear();
    return true;
}

} // namespace

const PbnTag *PbnGame::Find(std::string_view name) const {
    for (const PbnTag &tag : m_tags)
        if (tag.m_name == name)
            return &tag;
    return nullptr;
}

std::string DecodePbnBytes(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (platform::IsWellFormedUtf8(bytes))
        return std::string(bytes);
    // Not UTF-8: ISO-8859-1, whose bytes are the code points.
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes)
        platform::AppendUtf8(text, static_cast<unsigned char>(c));
    return text;
}

std::vector<PbnGame> ParsePbnGames(std::string_view text) {
    std::vector<PbnGame> games;
    bool inGame = false;
    bool inComment = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (inComment) {
            if (line.find('}') != std::string_view::npos)
                inComment = false;
            continue;
        }
        if (line.empty()) {
            inGame = false;
            continue;
        }
        if (line.front() == '%' || line.front() == ';')
            continue;
        if (line.front() == '{') {
            inComment = line.find('}') == std::string_view::npos;
            continue;
        }
        PbnTag tag;
        if (ParseTagLine(line, tag)) {
            if (!inGame) {
                games.emplace_back();
                inGame = true;
            }
            games.back().m_tags.push_back(std::move(tag));
        } else if (inGame && !games.back().m_tags.empty()) {
            std::string &rows = games.back().m_tags.back().m_rows;
            rows.append(line);
            rows.append("\r\n");
        }
    }
    return games;
}

} // namespace standin
