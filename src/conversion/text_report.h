#pragma once
// The plain-text report of the boards: a header, the board line, the hand diagram, and, when double-dummy
// results are known, the makeable contracts, the Law of Total Tricks line, the par and a summary; then the
// board's score table. Written in the code page of the PBN text it goes with.
#include <array>
#include <string>
#include <string_view>

#include "bridge/dda.h"
#include "conversion/board_record.h"

// Appends the report of one board. `doubleDummyTricks` is the board's PBN DoubleDummyTricks value (20 hex
// digits) or empty; `codePage` is 28591 or 65001 and can hold every text of the record.
void AppendTextReport(std::string &report, const CBoardRecord &record, std::u16string_view doubleDummyTricks,
                      int codePage);
// The same with the record's fields already encoded in the code page (as the PBN writer has them).
using EncodedBoardRecord = std::array<std::string, BRF_COUNT>;
void AppendTextReport(std::string &report, const CBoardRecord &record, const EncodedBoardRecord &fields,
                      std::u16string_view doubleDummyTricks, int codePage);

// The cards of a seat in a suit (0 spades .. 3 clubs) of an 8-bit Deal value, one blank between cards; `utf8`:
// the value is UTF-8, so the bytes of one character are not split by blanks.
std::string GetDealHolding(int seat, int suit, std::string_view deal, bool utf8 = false);
// Pads from startColumn to targetColumn, then writes the suit letter and holding of suit number 1..4 (0 none);
// returns the number of bytes appended.
int AppendDiagramLine(std::string &target, int seat, int suitNumber, int startColumn, int targetColumn, bool lineEnd,
                      std::string_view deal, bool utf8 = false);
// "NS: 2D 3/1H -/2S 1NT C5 S6/8": what each partner makes, then the strains where one of them falls short.
void AppendMakeableLine(std::string &target, const CDDA &dda, int side);
// The makeable contracts and the par, marked up; empty for an incomplete table.
std::u16string FormatParSummary(CDDA &dda, int vulnerability);
// Removes <tags>, turns "\n" into CR LF and other escapes into the upper-cased letter.
std::u16string StripMarkup(std::u16string_view text);
