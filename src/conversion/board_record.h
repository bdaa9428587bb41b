#pragma once
// One board as the scan finds it on a page: eight texts, read by the PBN writer and the text report.
#include <array>
#include <string>

enum BoardRecordField {
    BRF_BOARD,           // board number "%d", or "?"
    BRF_SECTION,         // section letters, possibly empty
    BRF_DEALER,          // "N", "E", "S", "W" or "?"
    BRF_VULNERABLE,      // "None", "NS", "EW", "All" or "?"
    BRF_DEAL,            // PBN Deal value, empty when the board shows no card
    BRF_UNUSED,          // always empty; kept so that the record keeps its shape
    BRF_SCORETABLE,      // ScoreTable tag value, possibly empty
    BRF_SCORETABLE_ROWS, // ScoreTable rows with their CR LF line ends, possibly empty
    BRF_COUNT
};

using CBoardRecord = std::array<std::u16string, BRF_COUNT>;
