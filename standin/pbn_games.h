#pragma once
// The games of a PBN file as the stand-in companion needs them: each game's tags (name, value) and the rows of
// the tables that follow tags. Text is UTF-8 internally; files may be ISO-8859-1 or UTF-8.
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct PbnTag {
    std::string m_name;
    std::string m_value;
    std::string m_rows; // table rows after the tag, each ending CR LF; empty for a plain tag
};

struct PbnGame {
    std::vector<PbnTag> m_tags;
    const PbnTag *Find(std::string_view name) const;
};

// The file's bytes as UTF-8: kept when they are valid UTF-8 (a byte-order mark dropped), else read as
// ISO-8859-1.
std::string DecodePbnBytes(std::string_view bytes);

// Splits PBN text (UTF-8) into games: games are separated by empty lines; "%" lines and "{...}" commentary
// (which may span lines) are skipped; other lines after a tag are that tag's table rows.
std::vector<PbnGame> ParsePbnGames(std::string_view text);

} // namespace standin
