#include "bridge/par.h"

#include "bridge/number_text.h"
#include "bridge/score.h"

namespace {

constexpr int CANDIDATES = 4 + 7 * STRAINS * SEATS; // four passes, then every bid by every declarer

int Side(const CScore &score) {
    return score.m_nDeclarer & 1;
}
int Order(const CScore &score) {
    return ContractOrder(score.m_nLevel, score.m_nStrain);
}
bool SameContract(const CScore &a, const CScore &b) {
    return a.m_nLevel == b.m_nLevel && a.m_nStrain == b.m_nStrain;
}
bool GoesDown(const CScore &score) {
    return score.m_nTricks < score.m_nLevel + 6;
}

// Every contract in bidding order, scored as it would end: made as the table says, or doubled when it fails.
void BuildCandidates(const CDDA &dda, int vulnerable, CScore (&candidates)[CANDIDATES]) {
    int index = 0;
    for (int seat = 0; seat < SEATS; ++seat) {
        CScore &pass = candidates[index++];
        pass.m_nDeclarer = seat;
        pass.m_bKnown = true;
        pass.ComputeScore(false, 0);
    }
    for (int level = 1; level <= 7; ++level)
        for (int rank = 0; rank < STRAINS; ++rank) {
            const int strain = BIDDING_RANK[rank];
            for (int seat = 0; seat < SEATS; ++seat) {
                CScore &contract = candidates[index++];
                contract.m_nDeclarer = seat;
                contract.m_nLevel = level;
                contract.m_nStrain = strain;
                contract.m_bKnown = true;
                const bool vul = IsVulnerable(seat, vulnerable);
                const int tricks = dda.m_tricks[seat][strain];
                if (contract.ComputeScore(vul, tricks) < 0) {
                    contract.m_nDoubled = 1;
                    contract.ComputeScore(vul, tricks);
                }
            }
        }
}

} // namespace

void ComputePar(const CDDA &dda, int vulnerable, std::u16string *result, std::u16string *contracts, int *parScore,
                int *parScore2, bool plain) {
    if (!dda.IsComplete()) {
        if (result)
            result->clear();
        return;
    }
    if (vulnerable < 0)
        vulnerable = 0;

    CScore candidates[CANDIDATES];
    BuildCandidates(dda, vulnerable, candidates);

    // The best contract each side can reach on its own: made exactly or failing, never bid below what it makes;
    // on equal scores the lower contract stays.
    int best[2] = {0, 1};
    for (int i = 4; i < CANDIDATES; ++i) {
        const CScore &c = candidates[i];
        int &sideBest = best[Side(c)];
        if (c.m_nLevel >= c.m_nTricks - 6 && c.m_nScore > candidates[sideBest].m_nScore)
            sideBest = i;
    }

    // When both sides' best is the same contract, either side gets it by declaring it first.
    bool both = false;
    int current;
    if (SameContract(candidates[best[0]], candidates[best[1]])) {
        both = true;
        current = best[0] < best[1] ? best[0] : best[1];
    } else if (candidates[best[0]].m_nScore == candidates[best[1]].m_nScore) {
        current = best[0] > best[1] ? best[0] : best[1];
    } else {
        current = candidates[best[0]].m_nScore > candidates[best[1]].m_nScore ? best[0] : best[1];
    }
    int holding = Side(candidates[current]);

    // The other side outbids while some higher contract of theirs does strictly better than letting the current
    // one stand; the best such contract, the lowest on equal scores.
    for (;;) {
        const CScore &cur = candidates[current];
        int outbid = -1;
        for (int i = current + 1; i < CANDIDATES; ++i) {
            const CScore &c = candidates[i];
            if (Side(c) == holding || SameContract(c, cur) || c.m_nScore <= -cur.m_nScore)
                continue;
            if (outbid < 0 || c.m_nScore > candidates[outbid].m_nScore)
                outbid = i;
        }
        if (outbid < 0)
            break;
        current = outbid;
        holding ^= 1;
    }
    const CScore &par = candidates[current];
    const int score = par.m_nScore;
    const int order = Order(par);

    // Every contract that gives the same result, partners (and, for a shared contract, opponents) merged.
    CScore list[CANDIDATES];
    int listCount = 0;
    int second = -1;
    for (int i = 0; i < CANDIDATES; ++i) {
        const CScore &c = candidates[i];
        int s = c.m_nScore;
        bool taken = false;
        if (Side(c) != holding) {
            if (second < 0 && both && (c.m_nScore > 0 || c.m_nScore == score) && SameContract(c, par)) {
                second = i;
                taken = true;
            }
            s = -s;
        }
        if ((Order(c) >= order && s == score) || (second >= 0 && s == -score))
            taken = true;
        if (!taken || !(s == 0 || plain || GoesDown(c)))
            continue;
        if (listCount > 0) {
            CScore &last = list[listCount - 1];
            if (last.m_nLevel == c.m_nLevel && last.m_nStrain == c.m_nStrain && last.m_nDoubled == c.m_nDoubled) {
                last.m_nSeatMask |= 1 << c.m_nDeclarer;
                continue;
            }
        }
        list[listCount++] = c;
    }

    if (contracts && listCount > 0) {
        if (!plain) {
            for (int i = 0; i < listCount; ++i) {
                *contracts += i == 0 ? u':' : u';';
                *contracts += u' ';
                list[i].AppendText(*contracts, false);
                if (GoesDown(list[i])) {
                    *contracts += u'-';
                    AppendDecimal(*contracts, list[i].m_nLevel + 6 - list[i].m_nTricks);
                }
            }
        } else {
            for (int i = 0; i < listCount; ++i) {
                if (i > 0)
                    *contracts += u'/';
                list[i].AppendText(*contracts, true);
            }
            const CScore &last = list[listCount - 1];
            if (GoesDown(last)) {
                *contracts += u'-';
                AppendDecimal(*contracts, last.m_nLevel + 6 - last.m_nTricks);
            }
        }
    }

    if (result) {
        result->clear();
        *result += SIDE_NAMES[holding];
        *result += u' ';
        AppendDecimal(*result, score);
        if (second >= 0) {
            const CScore &c = candidates[second];
            *result += u' ';
            *result += SIDE_NAMES[Side(c)];
            *result += u' ';
            AppendDecimal(*result, c.m_nScore);
        }
    }
    if (parScore)
        *parScore = holding == 0 ? score : -score;
    if (parScore2)
        *parScore2 = second < 0
                         ? 0
                         : (Side(candidates[second]) == 1 ? candidates[second].m_nScore : -candidates[second].m_nScore);
}
