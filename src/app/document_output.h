#pragma once
// What the document's Show Status and Save As commands and a batch run share: writing an output file whole or
// not at all, and the text of the status box.
#include <string>
#include <string_view>

class CDSCDoc;

// Writes the bytes unchanged (no byte-order mark, no line-end or code-page conversion) through a mirror file,
// so a file being replaced keeps its old content on failure. On failure the error goes through
// platform::ReportException with the path as context, which does not return.
void WriteTextFile(const std::u16string &path, std::string_view text);

// "Conversion successful.", "Conversion failed." or "Conversion unavailable.", then a blank line and the
// document's status message when there is one.
std::u16string FormatStatusText(const CDSCDoc &doc);

// The status box (platform::ShowMessage): standard error in a batch run, a plain message box in the window.
void OnShowStatus(const CDSCDoc &doc);
