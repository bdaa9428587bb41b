#include "bridge/par.h"

#include "bridge/score.h"
#include "platform/wide_text.h"

namespace {

constexpr int CANDIDATES = 4 + 7 * STRAINS * SEATS; // four passes, then every bid by every declarer

// One contract as par sees it: bid by one declarer, made as the table says or doubled when it fails.
struct Candidate {
    int16_t score;
    uint8_t declarer;
    uint8_t level;
    uint8_t strain;
    uint8_t doubled;
    uint8_t tricks;
    uint8_t order; // level * 5 + bidding rank
};

int Side(const Candidate &c) {
    return c.declarer & 1;
}
bool SameContract(const Candidate &a, const Candidate &b) {
    return a.level == b.level && a.strain == b.strain;
}
bool GoesDown(const Candidate &c) {
    return c.tricks < c.level + 6;
}

// Every contract as par scores it, by vulnerability, strain, tricks and level, worked out once with CScore so
// that par and the scorer cannot disagree; the declarer is filled in per candidate.
struct CandidateTable {
    Candidate entry[2][STRAINS][14][8];

    CandidateTable() {
        for (int vul = 0; vul < 2; ++vul)
            for (int strain = 0; strain < STRAINS; ++strain)
                for (int tricks = 0; tricks <= 13; ++tricks)
                    for (int level = 1; level <= 7; ++level) {
                        CScore contract;
                        contract.m_bKnown = true;
                        contract.m_nLevel = level;
                        contract.m_nStrain = strain;
                        if (contract.ComputeScore(vul != 0, tricks) < 0) {
                            contract.m_nDoubled = 1;
                            contract.ComputeScore(vul != 0, tricks);
                        }
                        entry[vul][strain][tricks][level] = {static_cast<int16_t>(contract.m_nScore),
                                                             0,
                                                             static_cast<uint8_t>(level),
                                                             static_cast<uint8_t>(strain),
                                                             static_cast<uint8_t>(contract.m_nDoubled),
                                                             static_cast<uint8_t>(tricks),
                                                             static_cast<uint8_t>(ContractOrder(level, strain))};
                    }
    }
};

const CandidateTable &Candidates() {
    static const CandidateTable table;
    return table;
}

// Candidates in bidding order: the four passes (score 0, six tricks), then level by level, clubs to no trump,
// North, East, South, West.
void BuildCandidates(const CDDA &dda, int vulnerable, Candidate (&candidates)[CANDIDATES]) {
    const CandidateTable &table = Candidates();
    for (int seat = 0; seat < SEATS; ++seat)
        candidates[seat] = {0, static_cast<uint8_t>(seat), 0, 0, 0, 6, static_cast<uint8_t>(ContractOrder(0, 0))};
    const Candidate *rows[STRAINS][SEATS];
    for (int strain = 0; strain < STRAINS; ++strain)
        for (int seat = 0; seat < SEATS; ++seat)
            rows[strain][seat] =
                table.entry[IsVulnerable(seat, vulnerable) ? 1 : 0][strain][dda.m_tricks[seat][strain]];
    Candidate *next = candidates + SEATS;
    for (int level = 1; level <= 7; ++level)
        for (int rank = 0; rank < STRAINS; ++rank) {
            const int strain = BIDDING_RANK[rank];
            for (int seat = 0; seat < SEATS; ++seat) {
                *next = rows[strain][seat][level];
                next->declarer = static_cast<uint8_t>(seat);
                ++next;
            }
        }
}

int CandidateIndex(int level, int strain, int seat) {
    return SEATS + ((level - 1) * STRAINS + BIDDING_RANK[strain]) * SEATS + seat;
}

// Whether the other side has a higher contract worth more to them than letting candidate `index` stand. A side
// that makes the shared contract only gets it by declaring first when the first side cannot then outbid it.
bool CanBeOutbid(const Candidate (&candidates)[CANDIDATES], int index) {
    const Candidate &held = candidates[index];
    // Candidates alternate between the sides (index & 1 is the declarer's side).
    for (int i = index + 1; i < CANDIDATES; i += 2)
        if (candidates[i].score > -held.score && !SameContract(candidates[i], held))
            return true;
    return false;
}

CScore ToScore(const Candidate &c, int seatMask) {
    CScore score;
    score.m_nSeatMask = seatMask;
    score.m_nDeclarer = c.declarer;
    score.m_nLevel = c.level;
    score.m_nStrain = c.strain;
    score.m_nDoubled = c.doubled;
    score.m_nTricks = c.tricks;
    score.m_nScore = c.score;
    score.m_bKnown = true;
    score.m_bValid = true;
    return score;
}

void AppendUndertricks(std::u16string &out, const CScore &entry) {
    out += u'-';
    platform::AppendDecimal(out, entry.m_nLevel + 6 - entry.m_nTricks);
}

// Where the auction ends from the two sides' best contracts.
struct Outcome {
    int current; // the par contract
    int holding; // its side
    int second;  // the other side's par contract when either side gets the par contract by declaring it first
};

Outcome Resolve(const Candidate (&candidates)[CANDIDATES], const int (&best)[2]) {
    // When both sides' best is the same contract, either side gets it by declaring it first.
    bool both = false;
    int current;
    const Candidate &ns = candidates[best[0]];
    const Candidate &ew = candidates[best[1]];
    if (SameContract(ns, ew)) {
        both = true;
        current = best[0] < best[1] ? best[0] : best[1];
    } else if (ns.score == ew.score) {
        current = best[0] > best[1] ? best[0] : best[1];
    } else {
        current = ns.score > ew.score ? best[0] : best[1];
    }
    int holding = Side(candidates[current]);

    // The other side outbids while some higher contract of theirs does strictly better than letting the current
    // one stand; the best such contract, the lowest on equal scores.
    for (;;) {
        const Candidate &cur = candidates[current];
        int outbid = -1;
        int outbidScore = -cur.score;
        // Candidates alternate between the sides (index & 1 is the declarer's side).
        for (int i = current + 1; i < CANDIDATES; i += 2) {
            const Candidate &c = candidates[i];
            if (c.score > outbidScore && !SameContract(c, cur)) {
                outbid = i;
                outbidScore = c.score;
            }
        }
        if (outbid < 0)
            break;
        current = outbid;
        holding ^= 1;
    }

    // The other side's copy of a shared par contract, the first in bidding order, provided the first side could
    // not outbid it in turn.
    int second = -1;
    if (both) {
        const Candidate &par = candidates[current];
        for (int i = 1 - holding; i < CANDIDATES; i += 2) {
            const Candidate &c = candidates[i];
            if ((c.score > 0 || c.score == par.score) && SameContract(c, par) && !CanBeOutbid(candidates, i)) {
                second = i;
                break;
            }
        }
    }
    return {current, holding, second};
}

// What `side` scores when it starts the bidding ([0]) and when the other side does ([1]).
void SideResults(const Candidate (&candidates)[CANDIDATES], const Outcome &outcome, int side, int (&results)[2]) {
    const int par = candidates[outcome.current].score;
    auto firstResult = [&](int starter) { // the starter's own score when it bids first
        if (outcome.holding == starter)
            return par;
        return outcome.second >= 0 ? candidates[outcome.second].score : -par;
    };
    results[0] = firstResult(side);
    results[1] = -firstResult(1 - side);
}

// `candidate` is at least as good as `incumbent` for `side` whoever starts, and better once.
bool Dominates(const Candidate (&candidates)[CANDIDATES], const Outcome &candidate, const Outcome &incumbent,
               int side) {
    int a[2], b[2];
    SideResults(candidates, candidate, side, a);
    SideResults(candidates, incumbent, side, b);
    return a[0] >= b[0] && a[1] >= b[1] && (a[0] > b[0] || a[1] > b[1]);
}

// Each side's best contract on its own: made exactly or failing, never bid below what it makes; on equal scores
// the lower contract stays. A failing contract scores below a pass, so each side's best is its best contract made
// exactly, the first in bidding order on equal scores.
struct BestContracts {
    int index[2] = {0, 1};
    int score[2] = {0, 0};
};

// Calls visit(index, seat) with the candidate of every contract made exactly by seat firstSeat, firstSeat + step, ...
template <class Visit> void ForEachExactContract(const CDDA &dda, int firstSeat, int step, Visit &&visit) {
    for (int seat = firstSeat; seat < SEATS; seat += step)
        for (int strain = 0; strain < STRAINS; ++strain) {
            const int level = dda.m_tricks[seat][strain] - 6;
            if (level >= 1)
                visit(CandidateIndex(level, strain, seat), seat);
        }
}

BestContracts FindBestContracts(const CDDA &dda, const Candidate (&candidates)[CANDIDATES]) {
    BestContracts best;
    ForEachExactContract(dda, 0, 1, [&](int index, int seat) {
        const int side = seat & 1;
        const int score = candidates[index].score;
        if (score > best.score[side] || (score == best.score[side] && score > 0 && index < best.index[side])) {
            best.index[side] = index;
            best.score[side] = score;
        }
    });
    return best;
}

// Of two best contracts with the same score the lower one is tried first; a higher one is taken instead only when
// it leaves its side better off (the other side can sacrifice over the lower one but not over the higher, or the
// higher one is the other side's best too, which either side gets by declaring it first).
Outcome PreferBetterEqualContracts(const CDDA &dda, const Candidate (&candidates)[CANDIDATES], BestContracts &best,
                                   Outcome outcome) {
    for (int side = 0; side < 2; ++side) {
        // No contract of a side scores more than its best made exactly, and the other side only outbids for less
        // than what it lets stand: a side that gets its best whoever starts cannot do better.
        int results[2];
        SideResults(candidates, outcome, side, results);
        if (best.score[side] == 0 || (results[0] == best.score[side] && results[1] == best.score[side]))
            continue;
        ForEachExactContract(dda, side, 2, [&](int index, int) {
            if (index == best.index[side] || candidates[index].score != best.score[side])
                return;
            int tried[2] = {best.index[0], best.index[1]};
            tried[side] = index;
            const Outcome other = Resolve(candidates, tried);
            if (Dominates(candidates, other, outcome, side)) {
                best.index[side] = index;
                outcome = other;
            }
        });
    }
    return outcome;
}

// One entry of the par contract list: a contract with every declarer who gets the same result by it.
struct ListEntry {
    int index; // the first candidate of the entry
    int seatMask;
};

// Every contract that gives the same result, partners (and, for a shared contract, opponents) merged.
int ListParContracts(const Candidate (&candidates)[CANDIDATES], const Outcome &outcome, bool plain,
                     ListEntry (&list)[CANDIDATES]) {
    const Candidate &par = candidates[outcome.current];
    const int score = par.score;
    const int second = outcome.second;
    int listCount = 0;
    for (int i = 0; i < CANDIDATES; ++i) {
        const Candidate &c = candidates[i];
        if (c.score != score && c.score != -score && i != second)
            continue; // worth neither the par score nor its opposite
        const int s = Side(c) != outcome.holding ? -c.score : c.score;
        const bool taken =
            i == second || (c.order >= par.order && s == score) || (second >= 0 && i > second && s == -score);
        if (!taken || !(s == 0 || plain || GoesDown(c)))
            continue;
        if (listCount > 0) {
            ListEntry &last = list[listCount - 1];
            const Candidate &entry = candidates[last.index];
            if (entry.level == c.level && entry.strain == c.strain && entry.doubled == c.doubled) {
                last.seatMask |= 1 << c.declarer;
                continue;
            }
        }
        list[listCount++] = {i, 0};
    }
    return listCount;
}

void AppendParContracts(const Candidate (&candidates)[CANDIDATES], const Outcome &outcome, bool plain,
                        std::u16string &contracts) {
    ListEntry list[CANDIDATES];
    const int listCount = ListParContracts(candidates, outcome, plain, list);
    for (int i = 0; i < listCount; ++i) {
        const CScore entry = ToScore(candidates[list[i].index], list[i].seatMask);
        if (!plain) {
            contracts += i == 0 ? u':' : u';';
            contracts += u' ';
            entry.AppendText(contracts, false);
            if (GoesDown(candidates[list[i].index]))
                AppendUndertricks(contracts, entry);
        } else {
            if (i > 0)
                contracts += u'/';
            entry.AppendText(contracts, true);
            // The undertricks once, after the last contract.
            if (i == listCount - 1 && GoesDown(candidates[list[i].index]))
                AppendUndertricks(contracts, entry);
        }
    }
}

void WriteParResult(const Candidate (&candidates)[CANDIDATES], const Outcome &outcome, std::u16string &result) {
    result.clear();
    result += SIDE_NAMES[outcome.holding];
    result += u' ';
    platform::AppendDecimal(result, candidates[outcome.current].score);
    if (outcome.second >= 0) {
        const Candidate &c = candidates[outcome.second];
        result += u' ';
        result += SIDE_NAMES[Side(c)];
        result += u' ';
        platform::AppendDecimal(result, c.score);
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

    Candidate candidates[CANDIDATES];
    BuildCandidates(dda, vulnerable, candidates);
    BestContracts best = FindBestContracts(dda, candidates);
    const Outcome outcome = PreferBetterEqualContracts(dda, candidates, best, Resolve(candidates, best.index));

    if (contracts)
        AppendParContracts(candidates, outcome, plain, *contracts);
    if (result)
        WriteParResult(candidates, outcome, *result);
    const int score = candidates[outcome.current].score;
    if (parScore)
        *parScore = outcome.holding == 0 ? score : -score;
    if (parScore2) {
        const int second = outcome.second;
        *parScore2 =
            second < 0 ? 0 : (Side(candidates[second]) == 1 ? candidates[second].score : -candidates[second].score);
    }
}
