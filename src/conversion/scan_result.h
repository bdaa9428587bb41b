#pragma once
// What the board scan finds on a page for the PBN writer: the recap listing, the header texts and the boards.
#include <string>
#include <vector>

#include "conversion/board_record.h"
#include "conversion/dsc_doc.h"

// Label classes of a board division, in the order of BoardParts::labels.
enum BoardLabel { LABEL_BOARD, LABEL_DEALER, LABEL_VULNERABLE, LABEL_COUNT };

struct CDSCDoc::BoardParts {
    bool labelFound[LABEL_COUNT] = {};
    const char16_t *labelText[LABEL_COUNT] = {}; // text of the first span of each label class, or null
    const NKXML::CNode *cells[16] = {};          // the first sixteen hand cells
    int cellCount = 0;
    const NKXML::CNode *scoreTable = nullptr; // the first score table inside the division
};

struct CDSCDoc::ScanResult {
    std::u16string recapText;
    std::u16string event;
    std::u16string site;
    std::u16string date;
    std::vector<CBoardRecord> boards;
};
