#include <clocale>
#include <ctime>
#include <initializer_list>
#include <locale.h>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/dsc_doc.h"
#include "conversion/scan_result.h"
#include "conversion/score_table.h"
#include "conversion/text_report.h"
#include "conversion/version_info.h"
#include "platform/code_page.h"
#include "platform/wide_text.h"

namespace {

constexpr std::string_view MAKER_ADDRESS = "https://www.greenbaize.example/dealscope";
constexpr std::u16string_view TS_FLAGS_RECAP_BOARD = u"8417";
constexpr std::u16string_view TS_FLAGS_BOARD_WITH_RECAP = u"4103f";

// Characters beyond U+00FF do not fit ISO-8859-1: one of them anywhere makes the whole export UTF-8.
bool FitsLatin1(std::u16string_view text) {
    char16_t all = 0;
    for (char16_t c : text)
        all |= c;
    return all <= 0xFF;
}

std::string Encode(std::u16string_view text, int codePage) {
    return platform::ConvertToCodePage(text, static_cast<unsigned>(codePage));
}

void AppendTag(std::string &pbn, std::string_view name, std::string_view value) {
    // Values go in as they are: the export has never escaped quotes or backslashes, and readers expect that.
    pbn += '[';
    pbn += name;
    pbn += " \"";
    pbn += value;
    pbn += "\"]\r\n";
}

// "%c %z" in the C locale, whatever locale the window has set.
std::string FormatCreated(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[128] = {};
    locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (cLocale) {
        strftime_l(text, sizeof text, "%c %z", &local, cLocale);
        freelocale(cLocale);
    } else {
        std::strftime(text, sizeof text, "%c %z", &local);
    }
    return text;
}

// Empties the PBN text, the report and what the conversion records about the page.
void ResetOutputs(CDSCDoc &doc) {
    doc.m_strPbn.clear();
    doc.m_bConverted = false;
    doc.m_strTextReport.clear();
    doc.m_nOutputCodePage = CODE_PAGE_LATIN1;
    doc.m_nScoringKinds = 0;
}

// The output code page: every text of the page counts, boards that will not be written included. The same pass
// measures the fields, so that the export and the report get their room at once.
int ChooseOutputCodePage(CDSCDoc &doc, std::initializer_list<std::u16string_view> pageTexts,
                         const std::vector<CBoardRecord> &boards) {
    bool fits = true;
    size_t fieldUnits = 0;
    for (std::u16string_view text : pageTexts) {
        fits = fits && FitsLatin1(text);
        fieldUnits += text.size();
    }
    for (const CBoardRecord &record : boards) {
        for (const std::u16string &field : record) {
            fits = fits && FitsLatin1(field);
            fieldUnits += field.size();
        }
    }
    doc.m_nOutputCodePage = fits ? CODE_PAGE_LATIN1 : CODE_PAGE_UTF8;
    const size_t estimate = (fits ? fieldUnits : fieldUnits * 3 / 2) + boards.size() * 400 + 512;
    doc.m_strPbn.reserve(estimate);
    doc.m_strTextReport.reserve(estimate);
    return doc.m_nOutputCodePage;
}

// The export's directives: standard, export format, charset, creator and time of creation.
void AppendPbnHeader(std::string &pbn, int codePage, std::time_t created) {
    CVersionInfo version;
    version.Read();
    pbn += "% PBN 2.1\r\n% EXPORT\r\n";
    pbn += "%Content-type: text/x-pbn; charset=";
    pbn += codePage == CODE_PAGE_LATIN1 ? "ISO-8859-1" : "UTF-8";
    pbn += "\r\n%Creator: Dealscope Version ";
    pbn += Encode(version.m_strVersion, CODE_PAGE_LATIN1);
    pbn += " (";
    pbn += MAKER_ADDRESS;
    pbn += ")\r\n%Created: ";
    pbn += FormatCreated(created);
    pbn += "\r\n";
}

// The tag values that every board of the page shares, encoded once.
struct PageTags {
    std::string event;
    std::string site;
    std::string date;
    std::string_view scoring;
};

PageTags EncodePageTags(std::u16string_view event, std::u16string_view site, std::u16string_view date, int scoringKinds,
                        int codePage) {
    return {Encode(event, codePage), Encode(site, codePage), Encode(date, codePage),
            scoringKinds == SCORING_MATCHPOINTS ? "MP2"
            : scoringKinds == SCORING_IMPS      ? "IMP"
                                                : "?"};
}

void AppendRecapComment(std::string &pbn, std::u16string_view recapText, int codePage) {
    pbn += '{';
    pbn += Encode(recapText, codePage);
    pbn += "}\r\n";
}

// The recap listing as a game of its own before the boards.
void AppendRecapBoard(std::string &pbn, const PageTags &page, std::u16string_view recapText, int codePage) {
    AppendTag(pbn, "Event", "");
    AppendTag(pbn, "Site", "");
    AppendTag(pbn, "Date", page.date);
    AppendTag(pbn, "Board", "Recap");
    for (const char *name : {"West", "North", "East", "South", "Dealer", "Vulnerable", "Deal", "Scoring", "Declarer",
                             "Contract", "Result"})
        AppendTag(pbn, name, "");
    AppendRecapComment(pbn, recapText, codePage);
    AppendTag(pbn, "TSFlags", Encode(TS_FLAGS_RECAP_BOARD, codePage));
}

// One board's game: its tags, the companion's double-dummy results, its section and score table, then its part of
// the text report. recapText is not empty for the board that carries the recap listing.
void AppendBoard(CDSCDoc &doc, const CBoardRecord &record, const PageTags &page, std::u16string_view recapText,
                 int codePage, EncodedBoardRecord &fields) {
    for (int i = 0; i < BRF_COUNT; ++i) {
        fields[i].clear();
        platform::AppendToCodePage(fields[i], record[i], static_cast<unsigned>(codePage));
    }
    std::string &pbn = doc.m_strPbn;
    AppendTag(pbn, "Event", page.event);
    AppendTag(pbn, "Site", page.site);
    AppendTag(pbn, "Date", page.date);
    if (!recapText.empty())
        AppendRecapComment(pbn, recapText, codePage);
    AppendTag(pbn, "Board", fields[BRF_BOARD]);
    for (const char *name : {"West", "North", "East", "South"})
        AppendTag(pbn, name, "");
    AppendTag(pbn, "Dealer", fields[BRF_DEALER]);
    AppendTag(pbn, "Vulnerable", fields[BRF_VULNERABLE]);
    AppendTag(pbn, "Deal", fields[BRF_DEAL]);
    AppendTag(pbn, "Scoring", page.scoring);
    for (const char *name : {"Declarer", "Contract", "Result"})
        AppendTag(pbn, name, "");
    if (!recapText.empty())
        AppendTag(pbn, "TSFlags", Encode(TS_FLAGS_BOARD_WITH_RECAP, codePage));

    std::u16string_view doubleDummyTricks;
    auto result = doc.m_ddResults.find(record[BRF_BOARD]);
    if (result != doc.m_ddResults.end()) {
        const CDoubleDummyResult &dd = result->second;
        doubleDummyTricks = dd.m_strDoubleDummyTricks;
        if (!dd.m_strDoubleDummyTricks.empty())
            AppendTag(pbn, "DoubleDummyTricks", Encode(dd.m_strDoubleDummyTricks, codePage));
        if (!dd.m_strOptimumResultTable.empty()) {
            AppendTag(pbn, "OptimumResultTable", Encode(dd.m_strOptimumResultTable, codePage));
            pbn += Encode(dd.m_strOptimumResultRows, codePage);
        }
    }
    if (!fields[BRF_SECTION].empty())
        AppendTag(pbn, "Section", fields[BRF_SECTION]);
    if (!fields[BRF_SCORETABLE].empty()) {
        AppendTag(pbn, "ScoreTable", fields[BRF_SCORETABLE]);
        pbn += fields[BRF_SCORETABLE_ROWS];
    }

    AppendTextReport(doc.m_strTextReport, record, fields, doubleDummyTricks, codePage);
}

// The status message, and the export dropped when no game was written.
void FinishConversion(CDSCDoc &doc, int games, int boards) {
    if (games == 0) {
        if (doc.m_strStatus.empty())
            doc.m_strStatus = STATUS_NO_BOARDS;
        doc.m_strPbn.clear();
        return;
    }
    doc.m_bConverted = true;
    doc.m_strStatus = platform::WidenAscii(std::to_string(boards));
    doc.m_strStatus += u" boards converted.";
}

} // namespace

void CDSCDoc::Convert() {
    ResetOutputs(*this);
    ScanResult scan;
    ScanBoards(scan);
    const int codePage = ChooseOutputCodePage(*this, {scan.event, scan.site, scan.date, scan.recapText}, scan.boards);
    AppendPbnHeader(m_strPbn, codePage, m_pClock->Now());
    const PageTags page = EncodePageTags(scan.event, scan.site, scan.date, m_nScoringKinds, codePage);

    int games = 0;
    int boards = 0;
    const bool haveRecap = !scan.recapText.empty();
    if (m_nRecapOption == RECAP_INSERT_BOARD && haveRecap) {
        AppendRecapBoard(m_strPbn, page, scan.recapText, codePage);
        ++games;
    }
    EncodedBoardRecord fields; // reused: the strings keep their room from board to board
    for (size_t number = 0; number < scan.boards.size(); ++number) {
        const CBoardRecord &record = scan.boards[number];
        const bool carriesRecap = number == 0 && m_nRecapOption == RECAP_ADD_TO_BOARD1 && haveRecap;
        if (!carriesRecap && record[BRF_DEAL].empty() && record[BRF_SCORETABLE_ROWS].empty())
            continue;
        if (games > 0)
            m_strPbn += "\r\n";
        ++games;
        ++boards;
        AppendBoard(*this, record, page, carriesRecap ? std::u16string_view(scan.recapText) : std::u16string_view(),
                    codePage, fields);
    }
    FinishConversion(*this, games, boards);
}
