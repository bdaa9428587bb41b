#pragma once
// What the board scan finds on a page for the PBN writer: the recap listing, the header texts and the boards.
#include <string>
#include <vector>

#include "conversion/board_record.h"
#include "conversion/dsc_doc.h"

struct CDSCDoc::ScanResult {
    std::u16string recapText;
    std::u16string event;
    std::u16string site;
    std::u16string date;
    std::vector<CBoardRecord> boards;
};
