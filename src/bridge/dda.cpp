#include "bridge/dda.h"

#include "platform/wide_text.h"

#include <algorithm>

namespace {

// Listing order of strains (no trump, spades, hearts, diamonds, clubs) and of seats (North, South, East, West).
constexpr int STRAIN_LIST_ORDER[STRAINS] = {1, 2, 3, 4, 0};
constexpr int SEAT_LIST_ORDER[SEATS] = {0, 2, 1, 3};

// Undoubled, not vulnerable, made exactly.
short MadeScore(int strain, int tricks) {
    const int level = tricks - 6;
    int points = (strain == DIAMONDS || strain == CLUBS) ? 20 * level : 30 * level;
    if (strain == NOTRUMP)
        points += 10;
    int score = points + (points < 100 ? 50 : 300);
    if (tricks == 12)
        score += 500;
    else if (tricks == 13)
        score += 1000;
    return static_cast<short>(score);
}

} // namespace

int CompareDDAScore(const CDDAScore &a, const CDDAScore &b) {
    if (a.m_nScore != b.m_nScore)
        return a.m_nScore > b.m_nScore ? -1 : 1;
    if (a.m_nStrain != b.m_nStrain)
        return STRAIN_LIST_ORDER[a.m_nStrain] - STRAIN_LIST_ORDER[b.m_nStrain];
    return SEAT_LIST_ORDER[a.m_nDeclarer] - SEAT_LIST_ORDER[b.m_nDeclarer];
}

void CDDA::Clear() {
    for (int declarer = 0; declarer < SEATS; ++declarer)
        for (int strain = 0; strain < STRAINS; ++strain)
            SetTricks(declarer, strain, DDA_NO_VALUE);
}

bool CDDA::IsComplete() const {
    for (const auto &row : m_tricks)
        for (uint8_t cell : row)
            if (cell > 13)
                return false;
    return true;
}

std::u16string CDDA::GetMakeableContracts() {
    if (!IsComplete())
        return {};
    if (!m_strContracts.empty())
        return m_strContracts;

    m_scores.clear();
    m_scores.reserve(SEATS * STRAINS);
    for (int strain = 0; strain < STRAINS; ++strain)
        for (int declarer = 0; declarer < SEATS; ++declarer) {
            const int tricks = m_tricks[declarer][strain];
            if (tricks - 6 >= 1)
                m_scores.push_back({static_cast<uint8_t>(strain), static_cast<uint8_t>(declarer),
                                    static_cast<uint8_t>(tricks), MadeScore(strain, tricks)});
        }
    std::sort(m_scores.begin(), m_scores.end(),
              [](const CDDAScore &a, const CDDAScore &b) { return CompareDDAScore(a, b) < 0; });

    std::u16string text;
    for (size_t i = 0; i < m_scores.size(); ++i) {
        const CDDAScore &entry = m_scores[i];
        char16_t seats[2] = {SEAT_NAMES[entry.m_nDeclarer][0], 0};
        size_t seatCount = 1;
        if (i + 1 < m_scores.size()) {
            const CDDAScore &next = m_scores[i + 1];
            if (next.m_nScore == entry.m_nScore && next.m_nStrain == entry.m_nStrain &&
                next.m_nDeclarer == entry.m_nDeclarer + 2) {
                seats[seatCount++] = SEAT_NAMES[next.m_nDeclarer][0];
                ++i;
            }
        }
        if (!text.empty())
            text += u"; ";
        text.append(seats, seatCount);
        text += NO_BREAK_SPACE;
        platform::AppendDecimal(text, entry.m_nTricks - 6);
        text += STRAIN_CODES[entry.m_nStrain];
    }
    m_strContracts = text;
    return text;
}
