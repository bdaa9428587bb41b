#pragma once
// The header of a recap listing: event, session, section, date, masterpoint limits, club and tournament, read
// from the listing's first lines, either as tagged items ("EVENT>", "|CLUB>", ...) or as a session line
// followed by a section line.
#include <ctime>
#include <string>
#include <string_view>

enum RecapField {
    RECAP_EVENT,
    RECAP_SESSION,
    RECAP_SECTION,
    RECAP_DATE,
    RECAP_MP_LIMITS,
    RECAP_CLUB,
    RECAP_TOURN,
    RECAP_FIELD_COUNT
};

// The tags in field order.
extern const std::u16string_view RecapTagTable[RECAP_FIELD_COUNT];

struct CalendarDate {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..31
};

class CRecapHeader {
public:
    // The date of the date field, parsed on the first call that finds one; false when the field holds no
    // readable date. A day past the end of its month runs on into the next month.
    bool GetDate(CalendarDate &date);
    // "%Y.%m.%d" of GetDate, or empty.
    std::u16string GetDateText();

    std::u16string m_fields[RECAP_FIELD_COUNT];
    bool m_bDateParsed = false;
    CalendarDate m_date;
    int m_nState = 0; // 0 header lines, 1 section line expected, 2 done
    int m_nTagCount = 0;
};

// The number of still-empty fields that this line filled from their tags.
int ParseRecapTags(std::u16string_view line, CRecapHeader &header);
// True when the line names a session ("<event> <Day> <Part> Session <date>"); fields event, session and date
// are then set.
bool ParseSessionLine(std::u16string_view line, CRecapHeader &header);
// True when "Section" followed by white space and an upper-case letter names the section.
bool ParseSectionLine(std::u16string_view line, CRecapHeader &header);
// Reads the header lines of a recap text into a new record.
void ReadRecapHeader(std::u16string_view recapText, CRecapHeader &header);
