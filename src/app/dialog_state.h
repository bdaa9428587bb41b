#pragma once
// What a resizable dialog remembers between runs, in the settings store under its own section: "WindowRect"
// (left:right:top:bottom of the window), and for its first list "Width", "Order" (comma-separated, column by
// column) and "Type" (the list's view: 0 icon, 1 report, 2 small icon, 3 list). The window side reads and applies
// them (window/size_box_window.h); the texts and rules are here.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/size_box.h"

namespace platform {
class ISettings;
}

// "%d:%d:%d:%d" of left, right, top, bottom.
std::string FormatWindowRect(const SizeBoxRect &rect);
// Four numbers as "%d:%d:%d:%d" reads them (leading blanks and a sign allowed); nothing when fewer are read.
std::optional<SizeBoxRect> ParseWindowRect(std::string_view text);
// Shifts a saved rectangle, its size unchanged, so that its top-left corner lies at least 100 pixels inside
// the right and bottom of the work area and not left of or above it (a later rule wins over an earlier one).
SizeBoxRect KeepOnWorkArea(SizeBoxRect rect, const SizeBoxRect &workArea);

// Decimal numbers joined by "," without blanks; empty for no numbers.
std::string FormatColumnValues(const std::vector<int> &values);

// One column's saved width and display order; a missing value leaves that property of the column alone.
struct ColumnSetting {
    std::optional<int> width;
    std::optional<int> order;
};
// Reads the "Width" and "Order" texts side by side: each number as wcstol with base 0 reads it, then one
// separator character is skipped; a text that has run out stays out. Stops when both have run out.
std::vector<ColumnSetting> ParseColumnSettings(std::string_view widths, std::string_view orders);

// Settings values of one section; an empty section stores and loads nothing.
void SaveWindowRect(platform::ISettings &settings, const std::string &section, const SizeBoxRect &rect);
std::optional<SizeBoxRect> LoadWindowRect(const platform::ISettings &settings, const std::string &section);
void SaveListColumns(platform::ISettings &settings, const std::string &section, const std::vector<int> &widths,
                     const std::vector<int> &orders, int viewType);
struct ListColumnsState {
    std::vector<ColumnSetting> columns;
    std::optional<int> viewType; // absent when "Type" is absent or empty
};
ListColumnsState LoadListColumns(const platform::ISettings &settings, const std::string &section);
