#include "deal_check.h"

namespace standin {

namespace {

int SeatIndex(char c) {
    switch (c) {
    case 'N':
    case 'n':
        return 0;
    case 'E':
    case 'e':
        return 1;
    case 'S':
    case 's':
        return 2;
    case 'W':
    case 'w':
        return 3;
    default:
        return -1;
    }
}

int RankBit(char c) {
    switch (c) {
    case 'A':
    case 'a':
        return 14;
    case 'K':
    case 'k':
        return 13;
    case 'Q':
    case 'q':
        return 12;
    case 'J':
    case 'j':
        return 11;
    case 'T':
    case 't':
        return 10;
    default:
        return c >= '2' && c <= '9' ? c - '0' : -1;
    }
}

} // namespace

bool ReadCompleteDeal(std::string_view deal, DealCards &cards) {
    cards = {};
    while (!deal.empty() && (deal.front() == ' ' || deal.front() == '\t'))
        deal.remove_prefix(1);
    if (deal.size() < 2 || deal[1] != ':' || SeatIndex(deal[0]) < 0)
        return false;
    int seat = SeatIndex(deal[0]);
    deal.remove_prefix(2);
    unsigned seen[4] = {0, 0, 0, 0};
    for (int h = 0; h < 4; ++h, seat = (seat + 1) % 4) {
        while (!deal.empty() && deal.front() == ' ')
            deal.remove_prefix(1);
        int suit = 0;
        int count = 0;
        while (!deal.empty() && deal.front() != ' ') {
            char c = deal.front();
            deal.remove_prefix(1);
            if (c == '.') {
                if (++suit > 3)
                    return false;
                continue;
            }
            int bit = RankBit(c);
            if (bit < 0)
                return false; // '-' for an unknown hand, 'x' or '?' for an unknown card, or rubbish
            unsigned mask = 1u << bit;
            if (seen[suit] & mask)
                return false;
            seen[suit] |= mask;
            cards[seat][suit] |= mask;
            ++count;
        }
        if (suit != 3 || count != 13)
            return false;
    }
    while (!deal.empty() && (deal.front() == ' ' || deal.front() == '\t' || deal.front() == '\r'))
        deal.remove_prefix(1);
    // 4 x 13 cards without a repeat are the 52 cards.
    return deal.empty();
}

} // namespace standin
