#pragma once
// Encodings shared by hands, deals, contracts, double-dummy tables and the text report.
//   seat   0..3  North, East, South, West (clockwise; partner = seat + 2 mod 4; side = seat & 1, 0 NS, 1 EW)
//   suit   0..3  spades, hearts, diamonds, clubs (the order of the dot-separated groups of a PBN hand)
//   strain 0..4  spades, hearts, diamonds, clubs, no trump
//   rank   0..12 two .. ace
//   card   rank * 4 + suit (0..51); CARD_X for an "x" card, CARD_UNKNOWN for a "?" card
#include <cstdint>
#include <string_view>

inline constexpr int SEATS = 4;
inline constexpr int SUITS = 4;
inline constexpr int STRAINS = 5;
inline constexpr int RANKS = 13;
inline constexpr int CARDS = 52;

inline constexpr int NORTH = 0;
inline constexpr int EAST = 1;
inline constexpr int SOUTH = 2;
inline constexpr int WEST = 3;

inline constexpr int SPADES = 0;
inline constexpr int HEARTS = 1;
inline constexpr int DIAMONDS = 2;
inline constexpr int CLUBS = 3;
inline constexpr int NOTRUMP = 4;

inline constexpr int CARD_X = -2;       // a spot card of no given rank ("x")
inline constexpr int CARD_UNKNOWN = -3; // a card of no given rank ("?")

// Vulnerability mask.
inline constexpr int VUL_NS = 1;
inline constexpr int VUL_EW = 2;

inline constexpr std::u16string_view SEAT_LETTERS = u"NESW";
inline constexpr std::u16string_view SUIT_LETTERS = u"SHDC";
inline constexpr std::u16string_view RANK_LETTERS = u"23456789TJQKA";
inline constexpr std::u16string_view SEAT_NAMES[SEATS] = {u"North", u"East", u"South", u"West"};
inline constexpr std::u16string_view SIDE_NAMES[2] = {u"NS", u"EW"};
inline constexpr std::u16string_view STRAIN_NAMES[STRAINS] = {u"S", u"H", u"D", u"C", u"NT"};
// Marked-up strain codes; the text report turns the backslash escapes into suit letters.
inline constexpr std::u16string_view STRAIN_CODES[STRAINS] = {u"\\S", u"\\H", u"\\D", u"\\C", u"N"};
inline constexpr char16_t NO_BREAK_SPACE = u'\u00A0';

// Bidding rank by strain: clubs 0, diamonds 1, hearts 2, spades 3, no trump 4. The table is its own inverse,
// so it also turns a bidding rank into its strain.
inline constexpr uint8_t BIDDING_RANK[STRAINS] = {3, 2, 1, 0, 4};

// A higher order value is a higher bid.
constexpr int ContractOrder(int level, int strain) {
    return level * 5 + BIDDING_RANK[strain];
}

// Jack 1, queen 2, king 3, ace 4.
constexpr int HighCardPoints(int rank) {
    return rank > 8 ? rank - 8 : 0;
}

constexpr bool IsVulnerable(int seat, int vulnerable) {
    return (((seat & 1) + 1) & vulnerable) != 0;
}
