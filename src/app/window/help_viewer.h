#pragma once
// The help book's viewer: the toolkit's HTML help, whose frame opens inside the work area of the main window's
// screen, wherever it was when it last closed (its place is kept in the settings).
#include <wx/html/helpctrl.h>

class CHelpController : public wxHtmlHelpController {
public:
    using wxHtmlHelpController::wxHtmlHelpController;

protected:
    wxHtmlHelpFrame *CreateHelpFrame(wxHtmlHelpData *data) override;
};
