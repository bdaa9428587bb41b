#include <clocale>
#include <ctime>
#include <locale.h>
#include <string>

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

} // namespace

void CDSCDoc::Convert() {
    m_strPbn.clear();
    m_bConverted = false;
    m_strTextReport.clear();
    m_nOutputCodePage = CODE_PAGE_LATIN1;
    m_nScoringKinds = 0;

    ScanResult scan;
    ScanBoards(scan);

    // The output code page: every text of the page counts, boards that will not be written included. The same
    // pass measures the fields, so that the export and the report get their room at once.
    bool fits = FitsLatin1(scan.event) && FitsLatin1(scan.site) && FitsLatin1(scan.date) && FitsLatin1(scan.recapText);
    size_t fieldUnits = scan.recapText.size();
    for (const CBoardRecord &record : scan.boards) {
        for (const std::u16string &field : record) {
            fits = fits && FitsLatin1(field);
            fieldUnits += field.size();
        }
    }
    if (!fits)
        m_nOutputCodePage = CODE_PAGE_UTF8;
    const int codePage = m_nOutputCodePage;
    const size_t estimate =
        (codePage == CODE_PAGE_UTF8 ? fieldUnits * 3 / 2 : fieldUnits) + scan.boards.size() * 400 + 512;
    m_strPbn.reserve(estimate);
    m_strTextReport.reserve(estimate);

    const std::string event = Encode(scan.event, codePage);
    const std::string site = Encode(scan.site, codePage);
    const std::string date = Encode(scan.date, codePage);
    const std::string_view scoring = m_nScoringKinds == SCORING_MATCHPOINTS ? "MP2"
                                     : m_nScoringKinds == SCORING_IMPS      ? "IMP"
                                                                            : "?";

    CVersionInfo version;
    version.Read();
    std::string &pbn = m_strPbn;
    pbn += "% PBN 2.1\r\n% EXPORT\r\n";
    pbn += "%Content-type: text/x-pbn; charset=";
    pbn += codePage == CODE_PAGE_LATIN1 ? "ISO-8859-1" : "UTF-8";
    pbn += "\r\n%Creator: Dealscope Version ";
    pbn += Encode(version.m_strVersion, CODE_PAGE_LATIN1);
    pbn += " (";
    pbn += MAKER_ADDRESS;
    pbn += ")\r\n%Created: ";
    pbn += FormatCreated(m_pClock->Now());
    pbn += "\r\n";

    int games = 0;
    int boards = 0;
    const bool haveRecap = !scan.recapText.empty();
    if (m_nRecapOption == RECAP_INSERT_BOARD && haveRecap) {
        AppendTag(pbn, "Event", "");
        AppendTag(pbn, "Site", "");
        AppendTag(pbn, "Date", date);
        AppendTag(pbn, "Board", "Recap");
        for (const char *name : {"West", "North", "East", "South", "Dealer", "Vulnerable", "Deal", "Scoring",
                                 "Declarer", "Contract", "Result"})
            AppendTag(pbn, name, "");
        pbn += '{';
        pbn += Encode(scan.recapText, codePage);
        pbn += "}\r\n";
        AppendTag(pbn, "TSFlags", Encode(TS_FLAGS_RECAP_BOARD, codePage));
        ++games;
    }

    EncodedBoardRecord fields; // reused: the strings keep their room from board to board
    for (size_t number = 0; number < scan.boards.size(); ++number) {
        const CBoardRecord &record = scan.boards[number];
        const bool carriesRecap = number == 0 && m_nRecapOption == RECAP_ADD_TO_BOARD1 && haveRecap;
        if (!carriesRecap && record[BRF_DEAL].empty() && record[BRF_SCORETABLE_ROWS].empty())
            continue;
        for (int i = 0; i < BRF_COUNT; ++i) {
            fields[i].clear();
            platform::AppendToCodePage(fields[i], record[i], static_cast<unsigned>(codePage));
        }
        if (games > 0)
            pbn += "\r\n";
        ++games;
        ++boards;

        AppendTag(pbn, "Event", event);
        AppendTag(pbn, "Site", site);
        AppendTag(pbn, "Date", date);
        if (carriesRecap) {
            pbn += '{';
            pbn += Encode(scan.recapText, codePage);
            pbn += "}\r\n";
        }
        AppendTag(pbn, "Board", fields[BRF_BOARD]);
        for (const char *name : {"West", "North", "East", "South"})
            AppendTag(pbn, name, "");
        AppendTag(pbn, "Dealer", fields[BRF_DEALER]);
        AppendTag(pbn, "Vulnerable", fields[BRF_VULNERABLE]);
        AppendTag(pbn, "Deal", fields[BRF_DEAL]);
        AppendTag(pbn, "Scoring", scoring);
        for (const char *name : {"Declarer", "Contract", "Result"})
            AppendTag(pbn, name, "");
        if (carriesRecap)
            AppendTag(pbn, "TSFlags", Encode(TS_FLAGS_BOARD_WITH_RECAP, codePage));

        std::u16string_view doubleDummyTricks;
        auto result = m_ddResults.find(record[BRF_BOARD]);
        if (result != m_ddResults.end()) {
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

        AppendTextReport(m_strTextReport, record, fields, doubleDummyTricks, codePage);
    }

    if (games == 0) {
        if (m_strStatus.empty())
            m_strStatus = STATUS_NO_BOARDS;
        m_strPbn.clear();
        return;
    }
    m_bConverted = true;
    m_strStatus = platform::WidenAscii(std::to_string(boards));
    m_strStatus += u" boards converted.";
}
