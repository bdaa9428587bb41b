#include "bridge/score.h"

#include "bridge/bridge_codes.h"
#include "platform/wide_text.h"

namespace {

int TrickValue(int strain) {
    switch (strain) {
    case SPADES:
    case HEARTS:
    case NOTRUMP:
        return 30;
    case DIAMONDS:
    case CLUBS:
        return 20;
    default:
        return 0;
    }
}

int DownScore(bool vulnerable, int doubled, int down) {
    if (doubled == 0)
        return (vulnerable ? -100 : -50) * down;
    int penalty;
    if (vulnerable)
        penalty = down == 1 ? -200 : 100 - 300 * down;
    else if (down == 1)
        penalty = -100;
    else if (down <= 3)
        penalty = 100 - 200 * down;
    else
        penalty = -500 - 300 * (down - 3); // each trick beyond the third costs 300
    return doubled == 2 ? 2 * penalty : penalty;
}

} // namespace

int CScore::ComputeScore(bool vulnerable, int tricks) {
    m_nTricks = tricks;
    int score = 0;
    if (!m_bKnown) {
        score = 0;
    } else if (m_nLevel == 0) {
        m_nTricks = 6;
        score = 0;
    } else {
        const int down = m_nLevel + 6 - tricks;
        if (down <= 0) {
            const int over = tricks - m_nLevel - 6;
            const int value = TrickValue(m_nStrain);
            int points = m_nLevel * value + (m_nStrain == NOTRUMP ? 10 : 0);
            if (m_nDoubled == 1)
                points *= 2;
            else if (m_nDoubled == 2)
                points *= 4;
            int bonus = points >= 100 ? (vulnerable ? 500 : 300) : 50;
            if (m_nLevel == 6)
                bonus += vulnerable ? 750 : 500;
            else if (m_nLevel == 7)
                bonus += vulnerable ? 1500 : 1000;
            bonus += 50 * m_nDoubled;
            int overtricks;
            if (m_nDoubled == 0)
                overtricks = over * value;
            else
                overtricks = over * (vulnerable ? 200 : 100) * m_nDoubled;
            score = points + bonus + overtricks;
        } else {
            score = DownScore(vulnerable, m_nDoubled, down);
        }
    }
    m_nScore = score;
    m_bValid = true;
    return score;
}

void CScore::AppendText(std::u16string &out, bool plain) const {
    int seats = m_nSeatMask;
    if (m_nDeclarer >= 0 && m_nDeclarer < SEATS)
        seats |= 1 << m_nDeclarer;
    char16_t letters[4];
    int letterCount = 0;
    for (int seat : {NORTH, SOUTH, EAST, WEST})
        if (seats & (1 << seat))
            letters[letterCount++] = SEAT_LETTERS[seat];
    const std::u16string_view seatText(letters, letterCount);
    const bool strainKnown = m_nStrain >= 0 && m_nStrain < STRAINS;

    if (!plain) {
        out += seatText;
        out += NO_BREAK_SPACE;
        if (m_nLevel == 0) {
            out += u"Pass";
            return;
        }
        platform::AppendDecimal(out, m_nLevel);
        if (strainKnown)
            out += STRAIN_CODES[m_nStrain];
        out.append(m_nDoubled > 0 ? m_nDoubled : 0, u'x');
        return;
    }
    if (m_nLevel == 0) {
        out += u"Pass-";
        out += seatText;
        return;
    }
    platform::AppendDecimal(out, m_nLevel);
    if (strainKnown)
        out += STRAIN_NAMES[m_nStrain];
    out.append(m_nDoubled > 0 ? m_nDoubled : 0, u'*');
    out += u'-';
    out += seatText;
}

std::u16string CScore::GetText(bool plain) const {
    std::u16string text;
    AppendText(text, plain);
    return text;
}
