#pragma once
// The document's companion commands: "Open with Tricksmith" and "Double Dummy All Boards", with their enable
// rules. The window hooks them to its menu; the batch run calls OnDoubleDummyAll for the "dda" switch, whether or
// not the page converted.
#include <string>

class CDSCDoc;

// "Open with Tricksmith" is enabled when the page converted.
bool OnUpdateOpenWithTricksmith(const CDSCDoc &doc);
// "Double Dummy All Boards" is enabled when the page converted and has no double-dummy results yet.
bool OnUpdateDoubleDummyAll(const CDSCDoc &doc);

// Creates a new temporary .pbn file named after the page; returns its descriptor, the path in `path`.
// Reports a failure (platform::FatalError) and does not return then.
int CreateTempPbnFile(const CDSCDoc &doc, std::string &path);
// Writes the document's PBN text into a new temporary file and returns its path; reports a failure and does
// not return then.
std::string WriteTempPbn(const CDSCDoc &doc);

// Writes the PBN text to a new temporary file and starts the companion on it without waiting. A failure is
// reported and abandons the command (platform::UserException).
void OnOpenWithTricksmith(CDSCDoc &doc);

// Writes the PBN text (empty when the page did not convert) to a new temporary file, then has the companion
// analyse every board of it and stores the results in m_ddResults; when at least one board got
// results, the page is converted again and true is returned (the window then refreshes the document's views).
// A failure is reported and abandons the command (platform::UserException); the document then keeps the
// results it had.
bool OnDoubleDummyAll(CDSCDoc &doc);
