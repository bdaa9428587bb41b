#!/usr/bin/env python3
"""Writes a results page of N random boards in the layout the board scan recognises: a recap listing, then per
board a division with its labels, the four hands (North, West, East, South; spades to clubs) and a score
table of two team results.

usage: make_batch_page.py BOARDS OUTPUT [SEED]
"""
import random
import sys

RANKS = "23456789TJQKA"
SEATS = ["North", "East", "South", "West"]
VULS = ["None", "NS", "EW", "Both"]


def hand_cells(cards):
    cells = []
    for suit in range(4):  # spades, hearts, diamonds, clubs
        ranks = sorted((r for s, r in cards if s == suit), reverse=True)
        cells.append(" ".join("10" if RANKS[r] == "T" else RANKS[r] for r in ranks) or "&mdash;")
    return cells


def board(number, rng):
    deck = [(s, r) for s in range(4) for r in range(13)]
    rng.shuffle(deck)
    hands = [deck[i * 13:(i + 1) * 13] for i in range(4)]  # N, E, S, W
    dealer = SEATS[(number - 1) % 4]
    vul = VULS[((number - 1) + (number - 1) // 4) % 4]
    rows = []
    for seat in (0, 3, 1, 2):  # North, West, East, South
        rows.append("<tr>" + "".join('<td class="tshand">%s</td>' % c for c in hand_cells(hands[seat])) + "</tr>")
    level = rng.randint(1, 4)
    strain = rng.choice(["&spades;", "&hearts;", "&diams;", "&clubs;", "NT"])
    declarer = rng.choice("NESW")
    score = rng.choice([90, 110, 140, 420, 620, 100, 200, 50])
    st = (
        '<table class="tsst"><tbody>\n'
        '<tr class="tsst"><td class="tsstpairs">1 vs 2</td><td class="tsstcontract">%d%s</td>'
        '<td class="tsstdeclarer">%s</td><td class="tsstmade">%d</td><td class="tsstlead">&hearts;Q</td>'
        '<td class="tsstscorens">%d</td><td class="tsstscoreew"></td><td class="tsstimpns">3</td>'
        '<td class="tsstimpew"></td></tr>\n'
        '<tr class="tsstshade"><td class="tsstpairs">2 vs 1</td><td class="tsstcontract">%d%s</td>'
        '<td class="tsstdeclarer">%s</td><td class="tsstmade">%d</td><td class="tsstlead">&spades;A</td>'
        '<td class="tsstscorens"></td><td class="tsstscoreew">%d</td><td class="tsstimpns"></td>'
        '<td class="tsstimpew"></td></tr>\n'
        "</tbody></table>\n"
    ) % (level, strain, declarer, level, score, level, strain, declarer, level, score)
    return (
        '<div class="tsboard">\n<table class="tsdiagram"><tbody>\n'
        '<tr><td><span class="tslabelboard">Board %d</span></td><td><span class="tslabeldealer">%s</span></td>'
        '<td><span class="tslabelvul">%s</span></td></tr>\n%s\n</tbody></table>\n%s</div>\n'
    ) % (number, dealer, vul, "\n".join(rows), st)


def main():
    count = int(sys.argv[1])
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 1)
    parts = [
        '<html>\n<head>\n<meta http-equiv="Content-Type" content="text/html; charset=utf-8">\n'
        "<title>Club Teams</title>\n</head>\n<body>\n"
        '<pre id="tsrecap">Club Teams Wednesday Aft Session July 10, 2013\nSection  BB  Teams\n'
        " Team  IMPs  Players\n   1   +12   Able, Baker, Cole, Dunn\n   2   -12   Eng, Fox, Gray, Hill\n</pre>\n"
    ]
    parts += [board(n, rng) for n in range(1, count + 1)]
    parts.append("</body>\n</html>\n")
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(parts))


if __name__ == "__main__":
    main()
