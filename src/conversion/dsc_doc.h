#pragma once
// The document of one page: its address, bytes, decoded text and parse tree, and what the conversion made of
// it (PBN export text, text report, status message). Plain C++: the window's document wraps or derives from it.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bridge/double_dummy_result.h"
#include "conversion/board_record.h"
#include "conversion/clock.h"
#include "conversion/page_source.h"
#include "conversion/score_table.h"
#include "markup/xml_parser.h"

// Indexes of the names the conversion searches by, in m_atoms.
enum DocumentAtom { ATOM_DIV, ATOM_ID, ATOM_CLASS, ATOM_SPAN, ATOM_TABLE, ATOM_TBODY, ATOM_TR, ATOM_TD, ATOM_COUNT };

// Recap options: where the event's recap listing goes in the PBN export.
inline constexpr int RECAP_OMIT = 0;
inline constexpr int RECAP_INSERT_BOARD = 1;
inline constexpr int RECAP_ADD_TO_BOARD1 = 2;

// Output code pages of the PBN text and the report.
inline constexpr int CODE_PAGE_LATIN1 = 28591;
inline constexpr int CODE_PAGE_UTF8 = 65001;

inline constexpr std::u16string_view STATUS_EXPECTED_TAGS_NOT_FOUND =
    u"Expected tags were not found.\r\nThe HTML file may not be in a supported format.";
inline constexpr std::u16string_view STATUS_NO_BOARDS =
    u"No boards were found.\r\nThe HTML file may not be in a supported format.";

class CDSCDoc {
public:
    CDSCDoc();
    virtual ~CDSCDoc();
    CDSCDoc(const CDSCDoc &) = delete;
    CDSCDoc &operator=(const CDSCDoc &) = delete;

    // Takes the loaded page from its source (address, bytes, charset), parses it and converts it.
    void LoadFromView(IPageSource &view);
    // Empties the page and the outputs; keeps the address, the recap option and what the window keeps.
    virtual void DeleteContents();
    // Rebuilds the PBN text, the report, the status, the output code page and the scoring kinds from the tree
    // already parsed.
    void Convert();

    // The section letters of the "Board..." division before a board division that is child number `index` of
    // its parent, possibly empty.
    std::u16string FindSectionLetters(const NKXML::CNode *board, size_t index) const;
    // Appends the ScoreTable tag value and rows of a score table (the first inside a board division, or the table
    // that follows it); records matchpoint and IMP columns in m_nScoringKinds.
    void ParseScoreTable(const NKXML::CNode *table, std::u16string &value, std::u16string &rows);
    // The last segment of the address, cut at '?', with its extension replaced by `extension` (".pbn");
    // empty when the address has no '/' or the segment is empty.
    std::u16string GetDefaultFileName(std::u16string_view extension) const;

    // The clock of the "%Created" line; the document does not own it. Null restores the system clock.
    void SetClock(const IClock *clock);

    uint16_t m_atoms[ATOM_COUNT] = {};
    std::u16string m_strURL;
    std::u16string m_strHtml;
    std::string m_strRawHtml;
    std::u16string m_strStatus;
    NKXML::CXMLParser m_parser;
    int m_nOutputCodePage = 0;
    int m_nScoringKinds = 0; // bit 1: a matchpoint column was seen; bit 2: an IMP column
    std::string m_strPbn;
    std::string m_strTextReport;
    int m_nRecapOption = RECAP_OMIT;
    std::unordered_map<std::u16string, CDoubleDummyResult> m_ddResults;
    bool m_bConverted = false;
    bool m_bPageLoaded = false;

protected:
    // Called last by LoadFromView: the window refreshes the document's other views here.
    virtual void OnPageConverted(IPageSource &view);

private:
    struct ScanResult;
    void ScanBoards(ScanResult &scan);
    // The score table that follows a board division (child number `index` of its parent) as the next element.
    const NKXML::CNode *FollowingScoreTable(const NKXML::CNode *board, size_t index) const;
    bool HasAllAtoms() const;

    const IClock *m_pClock;
    struct ScoreTableScratch {
        std::vector<const NKXML::CNode *> resultRows;
        std::vector<int> entryAt;
        ScoreTableRows rows;
        std::vector<uint8_t> patternReplaced;     // values a later cell replaces, for a table's whole pattern
        std::vector<uint8_t> rowReplaced;         // and for a row, where the pattern has any
        std::u16string raw;
        std::u16string cleaned;
        CellTextIndex index; // the texts of the cells that hold elements, made when the first one is read
    } m_scoreTable;          // reused by every score table of the page
};
