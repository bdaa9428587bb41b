#pragma once
// The application object of the window: start-up in its order, the templates of page and text windows, the
// recent files, help, and the application-wide commands (New, Open, Print Setup, About, View Help).
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>

#include "app/command_line.h"
#include "app/window/window_services.h"

class wxDocManager;
class wxDocTemplate;
class wxDocument;
class wxHtmlHelpController;
class CDSCDocument;

namespace platform {
class IniSettings;
}

class CDSCApp : public wxApp, public IWindowServices {
public:
    CDSCApp();
    ~CDSCApp() override;

    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;

    // Opens a page file in a new page window (or activates the window that shows it already); nullptr when
    // the file cannot be opened, which has been reported. Files opened once start-up is done enter the
    // recent-file list.
    wxDocument *OpenDocumentFile(const wxString &path);
    CDSCDocument *NewPageDocument() override;
    wxDocTemplate *TextViewTemplate() const override { return m_pTextViewTemplate; }
    // The first page document of all open documents, or nullptr.
    CDSCDocument *FirstPageDocument() const;

    void AddRecentFile(const wxString &path);
    void RemoveRecentFile(size_t index);
    const std::vector<wxString> &RecentFiles() const { return m_recentFiles; }

    // The help book's path (a .hhp file), whether or not it exists.
    wxString HelpBookPath() const;
    void ShowHelpContents();

    // The original command line, as the executable received it.
    void SetCommandLine(int argc, char **argv);

    int m_nDpiX = 0;
    int m_nDpiY = 0;
    wxDocTemplate *m_pTextViewTemplate = nullptr; // owned; not known to the document manager
    bool m_bStartupDone = false;
    bool m_bStartupFailed = false;
    CTSCommandLineInfo m_cmdInfo;

private:
    bool InitInstance();
    bool WaitForPage(CDSCDocument &document);
    void LoadRecentFiles();
    void SaveRecentFiles();
    void InstallMessageBoxSink();

    std::vector<std::string> m_arguments;
    std::unique_ptr<platform::IniSettings> m_settings;
    std::vector<wxString> m_recentFiles;
    std::unique_ptr<wxHtmlHelpController> m_help;
    wxString m_helpBookPath;
};

wxDECLARE_APP(CDSCApp);

// The page files the command line named and those of the recent-file list are kept under this section and
// these value names of the settings file.
inline constexpr char RECENT_FILE_SECTION[] = "Recent File List";
