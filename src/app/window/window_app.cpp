#include "app/window/window_app.h"

#include <chrono>

#include <wx/dcscreen.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/sysopt.h>
#include <wx/timer.h>

#include "app/program_folders.h"
#include "app/window/about_box.h"
#include "app/window/browser_view.h"
#include "app/window/child_frame.h"
#include "app/window/command_ids.h"
#include "app/window/favorites_commands.h"
#include "app/window/favorites_hooks.h"
#include "app/window/help_viewer.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/program_icons.h"
#include "app/window/text_view.h"
#include "app/window/window_prompts.h"
#include "app/window/wx_text.h"
#include "platform/error_report.h"
#include "platform/ini_settings.h"

wxIMPLEMENT_APP_NO_MAIN(CDSCApp);

namespace {

// How long "-dda" waits for its page before it gives up and opens the window as it stands.
constexpr std::chrono::seconds PAGE_WAIT_LIMIT{60};

class CDSCDocManager : public wxDocManager {
public:
    CDSCDocManager() : wxDocManager(0, true) {}

    // Only files opened once start-up is done enter the recent-file list.
    void AddFileToHistory(const wxString &file) override {
        if (wxGetApp().m_bStartupDone)
            wxGetApp().AddRecentFile(file);
    }
    wxString MakeNewDocumentName() override { return wxString::Format("Dealscope%d", ++m_nUntitled); }

private:
    void OnOpen(wxCommandEvent &) {
        std::optional<std::string> path =
            WindowPrompts().AskOpenPath(g_pMainFrame, u"HTML Files (*.htm; *.html)|*.htm;*.html|All Files (*.*)|*.*");
        if (path)
            wxGetApp().OpenDocumentFile(PathToWx(platform::PathBytesToText(*path)));
    }
    void OnRecentFile(wxCommandEvent &event) {
        size_t index = static_cast<size_t>(event.GetId() - wxID_FILE1);
        const auto &recent = wxGetApp().RecentFiles();
        if (index >= recent.size())
            return;
        wxString path = recent[index];
        // A file that cannot be opened any more leaves the list.
        if (!wxGetApp().OpenDocumentFile(path))
            wxGetApp().RemoveRecentFile(index);
    }

    int m_nUntitled = 0;
    wxDECLARE_EVENT_TABLE();
};

wxBEGIN_EVENT_TABLE(CDSCDocManager, wxDocManager) EVT_MENU(wxID_OPEN, CDSCDocManager::OnOpen)
    EVT_MENU_RANGE(wxID_FILE1, wxID_FILE1 + RECENT_FILE_COUNT - 1, CDSCDocManager::OnRecentFile) wxEND_EVENT_TABLE()

} // namespace

CDSCApp::CDSCApp() {
    SetAppName("Dealscope");
}

CDSCApp::~CDSCApp() = default;

void CDSCApp::SetCommandLine(int argc, char **argv) {
    m_arguments.assign(argv, argv + argc);
}

bool CDSCApp::OnInit() {
    // The start-up's own failures have been reported; the program then ends with a failure code.
    m_bStartupFailed = !InitInstance();
    return true;
}

int CDSCApp::OnRun() {
    if (m_bStartupFailed)
        return 1;
    return wxApp::OnRun();
}

bool CDSCApp::InitInstance() {
    // The screen's logical resolution: the address box is four inches wide.
    wxSize ppi = wxScreenDC().GetPPI();
    m_nDpiX = ppi.x > 0 ? ppi.x : 96;
    m_nDpiY = ppi.y > 0 ? ppi.y : 96;

    InstallMessageBoxSink();
    SetWindowServices(this);

    // The settings file, and the recent files kept in it.
    m_settings = std::make_unique<platform::IniSettings>(platform::DefaultSettingsPath());
    platform::SetAppSettings(m_settings.get());
    LoadRecentFiles();

    // The help book; a missing one shows only when help is asked for.
    m_helpBookPath = wxString::FromUTF8(ResourceFolder() + "/help/Dealscope.hhp");

    if (!GetFavoritesCommands())
        SetFavoritesCommands(&AppFavoritesCommands());
    if (IFavoritesCommands *favorites = GetFavoritesCommands())
        favorites->LoadFavorites();

    // The page windows' template (the one the document manager knows: New, Open and the recent files use it)
    // and the text windows' template, kept apart from the document manager.
    new CDSCDocManager;
    // The document manager owns the page windows' template; another window on a document asks the document for it.
    new wxDocTemplate(wxDocManager::GetDocumentManager(), "Dealscope", "*.*", "", "htm", "Dealscope.Document",
                      "Dealscope.View", CLASSINFO(CDSCDocument), CLASSINFO(CDSCView));
    m_pTextViewTemplate =
        new wxDocTemplate(wxDocManager::GetDocumentManager(), "Dealscope", "*.*", "", "txt", "Dealscope.Document",
                          "Dealscope.TextView", CLASSINFO(CDSCDocument), CLASSINFO(CDSCTextView), wxTEMPLATE_INVISIBLE);
    wxDocManager::GetDocumentManager()->DisassociateTemplate(m_pTextViewTemplate);

    // The main frame, hidden until start-up is done.
    g_pMainFrame = new CMainFrame(wxDocManager::GetDocumentManager(), m_nDpiX, m_recentFiles);
    SetMainWindow(g_pMainFrame);
    SetTopWindow(g_pMainFrame);
    SetProgramIcons(*g_pMainFrame);
    g_pMainFrame->RestorePlacement();
    Bind(
        wxEVT_MENU, [this](wxCommandEvent &) { ShowHelpContents(); }, ID_VIEW_HELP);
    Bind(
        wxEVT_MENU, [](wxCommandEvent &) { ShowAboutBox(g_pMainFrame); }, wxID_ABOUT);

    // The command line: a page file, or an empty page (which goes to the start URL when one was given).
    std::vector<const char *> argv;
    for (const std::string &argument : m_arguments)
        argv.push_back(argument.c_str());
    m_cmdInfo.ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    if (m_cmdInfo.m_nShellCommand == CTSCommandLineInfo::FileOpen) {
        if (!OpenDocumentFile(PathToWx(m_cmdInfo.m_strFileName)))
            return false;
    } else if (!NewPageDocument()) {
        return false;
    }

    CDSCDocument *document = FirstPageDocument();
    bool pageRequested = m_cmdInfo.m_nShellCommand == CTSCommandLineInfo::FileOpen;
    if (document && !m_cmdInfo.m_strStartURL.empty() && m_cmdInfo.m_nShellCommand == CTSCommandLineInfo::FileNew) {
        document->DeleteContents();
        document->Navigate(m_cmdInfo.m_strStartURL);
        pageRequested = true;
    }

    // "-dda" alone: the companion analyses the page before the window opens.
    if (document && m_cmdInfo.m_bDda) {
        if (pageRequested)
            WaitForPage(*document);
        try {
            document->OnDoubleDummyAll();
        } catch (const platform::UserException &) {
            return false;
        } catch (const platform::ProgramException &error) {
            platform::ShowError(error.Message());
            return false;
        }
    }

    m_bStartupDone = true;
    g_pMainFrame->Show();
    g_pMainFrame->Raise();
    return true;
}

bool CDSCApp::WaitForPage(CDSCDocument &document) {
    CDSCView *view = document.GetBrowserView();
    if (!view)
        return false;
    auto deadline = std::chrono::steady_clock::now() + PAGE_WAIT_LIMIT;
    wxGUIEventLoop loop;
    wxTimer timer;
    bool loaded = false;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent &) {
        loaded = document.Page().m_bPageLoaded;
        if (loaded || view->m_bLoadFailed || std::chrono::steady_clock::now() > deadline)
            loop.Exit();
    });
    timer.Start(20);
    loop.Run();
    timer.Stop();
    return loaded;
}

int CDSCApp::OnExit() {
    SaveRecentFiles();
    if (wxDocManager *manager = wxDocManager::GetDocumentManager()) {
        manager->CloseDocuments(true);
        // After a failed start-up the hidden main frame is still there: it goes before the document manager
        // that it calls into while it is taken down.
        DeletePendingObjects();
        delete g_pMainFrame;
        delete m_pTextViewTemplate;
        m_pTextViewTemplate = nullptr;
        delete manager;
    }
    m_help.reset();
    SetWindowServices(nullptr);
    platform::SetErrorSink(nullptr);
    platform::SetMessageSink(nullptr);
    platform::SetAppSettings(nullptr);
    m_settings.reset();
    return wxApp::OnExit();
}

void CDSCApp::InstallMessageBoxSink() {
    auto owner = []() -> wxWindow * { return g_pMainFrame && g_pMainFrame->IsShown() ? g_pMainFrame : nullptr; };
    platform::SetErrorSink([owner](const std::u16string &text) {
        WindowPrompts().ShowMessage(owner(), text, APP_NAME, IWindowPrompts::Icon::Error);
    });
    platform::SetMessageSink([owner](const std::u16string &text) {
        WindowPrompts().ShowMessage(owner(), text, APP_NAME, IWindowPrompts::Icon::None);
    });
    RouteToolkitMessagesToSinks();
}

wxDocument *CDSCApp::OpenDocumentFile(const wxString &path) {
    return wxDocManager::GetDocumentManager()->CreateDocument(path, wxDOC_SILENT);
}

CDSCDocument *CDSCApp::NewPageDocument() {
    return wxDynamicCast(wxDocManager::GetDocumentManager()->CreateDocument(wxString(), wxDOC_NEW), CDSCDocument);
}

CDSCDocument *CDSCApp::FirstPageDocument() const {
    for (wxDocument *document : wxDocManager::GetDocumentManager()->GetDocumentsVector())
        if (auto *page = wxDynamicCast(document, CDSCDocument))
            return page;
    return nullptr;
}

void CDSCApp::AddRecentFile(const wxString &path) {
    wxString full = wxFileName(path).GetAbsolutePath();
    std::erase(m_recentFiles, full);
    m_recentFiles.insert(m_recentFiles.begin(), full);
    if (m_recentFiles.size() > RECENT_FILE_COUNT)
        m_recentFiles.resize(RECENT_FILE_COUNT);
    SaveRecentFiles();
    if (g_pMainFrame)
        g_pMainFrame->RefreshListMenus();
}

void CDSCApp::RemoveRecentFile(size_t index) {
    if (index < m_recentFiles.size())
        m_recentFiles.erase(m_recentFiles.begin() + static_cast<std::ptrdiff_t>(index));
    SaveRecentFiles();
    if (g_pMainFrame)
        g_pMainFrame->RefreshListMenus();
}

void CDSCApp::LoadRecentFiles() {
    m_recentFiles.clear();
    for (int i = 1; i <= RECENT_FILE_COUNT; ++i) {
        std::string path = platform::AppSettings().GetString(RECENT_FILE_SECTION, "File" + std::to_string(i), "");
        if (!path.empty())
            m_recentFiles.push_back(PathToWx(platform::PathBytesToText(path)));
    }
}

void CDSCApp::SaveRecentFiles() {
    if (!m_settings)
        return;
    for (int i = 1; i <= RECENT_FILE_COUNT; ++i) {
        size_t index = static_cast<size_t>(i - 1);
        std::string path = index < m_recentFiles.size() ? PathFromWx(m_recentFiles[index]) : "";
        std::string name = "File" + std::to_string(i);
        if (platform::AppSettings().GetString(RECENT_FILE_SECTION, name, "") != path)
            platform::AppSettings().SetString(RECENT_FILE_SECTION, name, path);
    }
}

wxString CDSCApp::HelpBookPath() const {
    return m_helpBookPath;
}

void CDSCApp::ShowHelpContents() {
    if (!m_help) {
        // The help viewer reads a page as HTML only when its file type is text/html. This system's file types may
        // call a ".htm" page XHTML, and the viewer would then show the pages' source with dead links: the file
        // types of the toolkit's own table, where ".htm" and ".html" are HTML, are the ones used.
        wxSystemOptions::SetOption("filesys.no-mimetypesmanager", 1);
        m_help = std::make_unique<CHelpController>(wxHF_DEFAULT_STYLE, g_pMainFrame);
        wxLogNull once; // a book that does not open is reported below, in one box
        if (!m_help->AddBook(wxFileName(m_helpBookPath))) {
            m_help.reset();
            platform::ShowError(u"Unable to open the help book " + FromWx(m_helpBookPath) + u".");
            return;
        }
    }
    m_help->DisplayContents();
    // The viewer puts a help icon of the toolkit's own on its frame: it carries the program's, as every window does.
    if (wxFrame *frame = m_help->GetFrame(); frame && g_pMainFrame)
        frame->SetIcons(g_pMainFrame->GetIcons());
}
