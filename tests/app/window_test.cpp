// The window's start-up, page windows and browser view, driven for real under an X server.
#include <filesystem>
#include <memory>

#include <gtk/gtk.h>
#include <wx/aui/auibook.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/menu.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/webview.h>

#include "../batch/charset_pages.h"
#include "app/favorites_menu.h"
#include "app/window/about_box.h"
#include "app/window/browser_view.h"
#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/window_app.h"
#include "app/window/wx_text.h"
#include "platform/charset_table.h"
#include "platform/wide_text.h"
#include "test_http_server.h"
#include "window_driver.h"

namespace {

class WindowStartTest : public GuiTest {
protected:
    // The window's document has the same PBN (but for the time of the conversion) and report as the batch run.
    void ExpectSameAsBatchRun(const CDSCDoc &converted, const std::string &page) {
        std::string pbnFile = m_home + "/batch.pbn", textFile = m_home + "/batch.txt";
        ASSERT_EQ(RunProgram({"-pbn", pbnFile, "-text", textFile, page}), 0);
        ASSERT_TRUE(converted.m_bConverted);
        EXPECT_EQ(WithoutCreatedLine(converted.m_strPbn), WithoutCreatedLine(ReadFile(pbnFile)));
        EXPECT_EQ(converted.m_strTextReport, ReadFile(textFile));
    }
};

} // namespace

TEST_F(WindowStartTest, PageFileFromCommandLineConvertsAsTheBatchRunDoes) {
    std::string page = CopyPage("layout_a.htm", "club results #1.htm");
    ASSERT_TRUE(Start({page}));
    ASSERT_TRUE(g_pMainFrame->IsShown());
    ASSERT_TRUE(WaitForActivePage());
    const CDSCDoc &converted = ActiveDocument()->Page();

    // The page file is loaded under its proper file URI, which the address box shows.
    EXPECT_EQ(converted.m_strURL, FileUri(page));
    EXPECT_EQ(g_pMainFrame->GetAddressText(), FileUri(page));
    EXPECT_NE(converted.m_strURL.find(u"club%20results%20%231.htm"), std::u16string::npos);
    ExpectSameAsBatchRun(converted, page);
    size_t boards = 0;
    for (size_t at = converted.m_strPbn.find("[Board \""); at != std::string::npos;
         at = converted.m_strPbn.find("[Board \"", at + 1))
        ++boards;
    ASSERT_GT(boards, 0u);
    EXPECT_EQ(converted.m_strStatus, platform::WidenAscii(std::to_string(boards) + " boards converted."));

    // The window's title names the page first; the command-line file is no recent file.
    EXPECT_TRUE(RunUntil([] { return g_pMainFrame->GetTitle() == "Tuesday Evening Pairs - Dealscope"; }, 5))
        << g_pMainFrame->GetTitle();
    EXPECT_TRUE(wxGetApp().RecentFiles().empty());
    // The address box is four inches wide at the screen's resolution.
    EXPECT_EQ(CMainFrame::GetAddressBox()->GetSize().x, 4 * wxGetApp().m_nDpiX);
    // In a narrow window it still stands in the toolbar, not in the toolbar's overflow menu.
    g_pMainFrame->SetSize(480, 400);
    ASSERT_TRUE(RunUntil([] { return g_pMainFrame->GetSize().x == std::max(480, g_pMainFrame->GetMinSize().x); }, 5));
    Pump(0.3);
    wxTextCtrl *box = CMainFrame::GetAddressBox();
    EXPECT_TRUE(RunUntil(
        [box] {
            return gtk_widget_get_mapped(box->GetHandle()) &&
                   box->GetScreenRect().GetRight() <= g_pMainFrame->GetToolBar()->GetScreenRect().GetRight();
        },
        5));
}

TEST_F(WindowStartTest, BackAndForwardEnableAsPagesAreVisitedAndASecondPageOpensInASecondTab) {
    std::string first = CopyPage("layout_a.htm", "first.htm");
    std::string second = CopyPage("layout_b.htm", "second.htm");
    std::string third = CopyPage("layout_a.htm", "third.htm");
    // What the toolkit writes to standard error while tabs come and go is kept for a look at the end.
    auto errors = std::make_unique<ErrorCapture>(m_home + "/stderr.txt");
    ASSERT_TRUE(Start({first}));
    ASSERT_TRUE(WaitForActivePage());
    EXPECT_FALSE(IsEnabled(ID_GO_BACK));
    EXPECT_FALSE(IsEnabled(ID_GO_FORWARD));
    EXPECT_TRUE(IsEnabled(ID_REFRESH));
    EXPECT_FALSE(IsEnabled(ID_STOP));

    // Typed into the address box: a path that exists goes to that file.
    EnterAddress(second);
    ASSERT_TRUE(WaitForPage(FileUri(second)));
    EXPECT_TRUE(RunUntil([] { return IsEnabled(ID_GO_BACK); }, 5));
    EXPECT_FALSE(IsEnabled(ID_GO_FORWARD));
    ASSERT_TRUE(Command(ID_GO_BACK));
    ASSERT_TRUE(WaitForPage(FileUri(first)));
    EXPECT_TRUE(RunUntil([] { return IsEnabled(ID_GO_FORWARD); }, 5));
    EXPECT_FALSE(IsEnabled(ID_GO_BACK));
    EXPECT_EQ(g_pMainFrame->GetAddressText(), FileUri(first));
    ASSERT_TRUE(Command(ID_GO_FORWARD));
    ASSERT_TRUE(WaitForPage(FileUri(second)));

    // File Open puts the page in a second tab; each tab puts its own address in the box.
    m_prompts.answers.push_back(third);
    ASSERT_TRUE(Command(wxID_OPEN));
    EXPECT_EQ(m_prompts.openFilters,
              std::vector<std::u16string>{u"HTML Files (*.htm; *.html)|*.htm;*.html|All Files (*.*)|*.*"});
    ASSERT_TRUE(WaitForPage(FileUri(third)));
    EXPECT_EQ(TabCount(), 2u);
    EXPECT_EQ(g_pMainFrame->GetAddressText(), FileUri(third));
    wxAuiNotebook *tabs = g_pMainFrame->GetNotebook();
    tabs->SetSelection(0);
    EXPECT_TRUE(RunUntil([&] { return g_pMainFrame->GetAddressText() == FileUri(second); }, 5));
    EXPECT_EQ(ActiveDocument()->Page().m_strURL, FileUri(second));
    tabs->SetSelection(1);
    EXPECT_TRUE(RunUntil([&] { return g_pMainFrame->GetAddressText() == FileUri(third); }, 5));
    // A new tab shows its own, empty address; closing it shows the address of the tab that comes forward.
    ASSERT_TRUE(Command(wxID_NEW));
    EXPECT_TRUE(RunUntil([] { return TabCount() == 3 && g_pMainFrame->GetAddressText().empty(); }, 5));
    ASSERT_TRUE(Command(wxID_CLOSE));
    EXPECT_TRUE(RunUntil([&] { return TabCount() == 2 && g_pMainFrame->GetAddressText() == FileUri(third); }, 5));
    const std::string written = errors->Text();
    errors.reset();
    EXPECT_EQ(written.find("CRITICAL"), std::string::npos) << written;

    // A file opened once the window is up is the one recent file, kept in the settings for the next start.
    ASSERT_EQ(wxGetApp().RecentFiles(), std::vector<wxString>{wxString::FromUTF8(third)});
    EXPECT_TRUE(MenuOpensAtFullSize("File"));
    wxMenuBar *bar = g_pMainFrame->GetMenuBar();
    ASSERT_NE(bar->FindItem(wxID_FILE1), nullptr);
    EXPECT_EQ(bar->FindItem(wxID_FILE1)->GetItemLabel(), "&1 " + wxString::FromUTF8(third));
    EXPECT_EQ(bar->FindItem(wxID_FILE2), nullptr);
    EXPECT_NE(ReadFile(m_home + "/config/Dealscope/Dealscope.ini").find(third), std::string::npos);

    // Chosen from the menu once its window is closed, the file opens again.
    ASSERT_TRUE(Command(wxID_CLOSE));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 1; }, 5));
    ASSERT_TRUE(Command(wxID_FILE1));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 2; }, 5));
    EXPECT_TRUE(WaitForPage(FileUri(third)));
}

TEST_F(WindowStartTest, PopUpsOpenInTabsThatWebKitLoadsItself) {
    TestHttpServer server;
    server.Serve("/index.htm", {"text/html", "<html><body><a id=\"blank\" target=\"_blank\" href=\"/b.htm\">results</a>"
                                             "<a id=\"named\" target=\"other\" href=\"/c.htm\">other</a>"
                                             "<button id=\"script\" onclick=\"window.open('/b.htm')\">open</button>"
                                             "<form id=\"post\" method=\"post\" target=\"_blank\" action=\"/c.htm\">"
                                             "<input name=\"section\" value=\"A B\"></form></body></html>"});
    server.Serve("/b.htm", {"text/html", ReadFile(DataPath("conversion/layout_b.htm"))});
    server.Serve("/c.htm", {"text/html", "<html><body>c</body></html>"});
    ASSERT_TRUE(Start({server.Url("/index.htm")}));
    ASSERT_TRUE(WaitForActivePage());
    wxWebView *opener = ActiveBrowserView()->GetWebView();
    auto click = [&](const char *script, size_t tabs) {
        g_pMainFrame->GetNotebook()->SetSelection(0);
        opener->RunScript(script);
        return RunUntil([tabs] { return TabCount() == tabs; }, 10);
    };

    // A script's window and a link to a new window each open in a new tab, where the page converts.
    ASSERT_TRUE(click("document.getElementById('script').click();", 2));
    ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(server.Url("/b.htm"))));
    EXPECT_TRUE(ActiveDocument()->Page().m_bConverted);
    ASSERT_TRUE(click("document.getElementById('blank').click();", 3));
    ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(server.Url("/b.htm"))));
    // A named target opens its tab once and then reuses it.
    ASSERT_TRUE(click("document.getElementById('named').click();", 4));
    ASSERT_TRUE(RunUntil([&] { return server.LastRequest("/c.htm").method == "GET"; }, 10));
    server.Serve("/c.htm", {"text/html", "<html><body>c again</body></html>"});
    ASSERT_TRUE(click("document.getElementById('named').click();", 4));
    ASSERT_TRUE(RunUntil([&] { return server.RequestCount() == 5; }, 10));
    EXPECT_EQ(TabCount(), 4u);
    // A form posted to a new window posts its data there.
    ASSERT_TRUE(click("document.getElementById('post').submit();", 5));
    ASSERT_TRUE(RunUntil([&] { return server.LastRequest("/c.htm").method == "POST"; }, 10));
    EXPECT_EQ(server.LastRequest("/c.htm").body, "section=A+B");
}

TEST_F(WindowStartTest, NavigationsThatBringNoNewPageKeepThePageAndItsAnalysis) {
    ASSERT_EQ(RegisterCompanion(), "");
    std::vector<wxString> handedOff;
    ScopedHook<CAboutDlg::SetBrowserLauncher> launcher([&](const wxString &url) { handedOff.push_back(url); });
    std::string page = ReadFile(DataPath("conversion/layout_a.htm"));
    page.insert(page.rfind("</body>"),
                "<a id=\"anchor\" href=\"#b3\">3</a><a id=\"mail\" href=\"mailto:td@club.example\">"
                "mail</a><a id=\"pbn\" href=\"/hands.pbn\">PBN</a>"
                "<iframe id=\"frame\" src=\"/frame1.htm\"></iframe>");
    TestHttpServer server;
    server.Serve("/results.htm", {"text/html", page});
    server.Serve("/hands.pbn", {"application/octet-stream", "[Board \"1\"]\r\n"});
    server.Serve("/frame1.htm", {"text/html", "<a id=\"next\" href=\"/frame2.htm\">next</a>"});
    server.Serve("/frame2.htm", {"text/html", "frame 2"});
    server.Serve("/slow.htm", {"text/html", "<html><body>slow</body></html>", 3000});
    std::u16string url = platform::Utf8ToUtf16(server.Url("/results.htm"));
    ASSERT_TRUE(Start({server.Url("/results.htm")}));
    ASSERT_TRUE(WaitForPage(url));
    ASSERT_TRUE(Command(ID_DOUBLE_DUMMY_ALL));
    const CDSCDoc &doc = ActiveDocument()->Page();
    ASSERT_TRUE(RunUntil([&] { return !doc.m_ddResults.empty(); }, 30));
    const std::string analysed = doc.m_strPbn;
    ASSERT_NE(analysed.find("[OptimumResultTable \""), std::string::npos);
    CDSCView *view = ActiveBrowserView();
    auto run = [&](const std::string &script) { view->GetWebView()->RunScript(wxString::FromUTF8(script)); };
    auto unchanged = [&] {
        EXPECT_TRUE(RunUntil([] { return !IsEnabled(ID_STOP); }, 5));
        EXPECT_EQ(doc.m_strPbn, analysed);
        EXPECT_TRUE(doc.m_bPageLoaded);
    };

    // A jump within the page: history and the address box follow it, the page stays.
    run("document.getElementById('anchor').click();");
    EXPECT_TRUE(RunUntil([] { return IsEnabled(ID_GO_BACK); }, 5));
    EXPECT_FALSE(IsEnabled(ID_GO_FORWARD));
    EXPECT_EQ(g_pMainFrame->GetAddressText(), url + u"#b3");
    ASSERT_TRUE(Command(ID_GO_BACK));
    EXPECT_TRUE(RunUntil([] { return IsEnabled(ID_GO_FORWARD) && !IsEnabled(ID_GO_BACK); }, 5));
    EXPECT_EQ(g_pMainFrame->GetAddressText(), url);
    ASSERT_TRUE(Command(ID_GO_FORWARD));
    EXPECT_TRUE(RunUntil([&] { return g_pMainFrame->GetAddressText() == url + u"#b3"; }, 5));
    unchanged();

    // A mail address goes to the desktop.
    run("document.getElementById('mail').click();");
    EXPECT_TRUE(RunUntil([&] { return !handedOff.empty(); }, 5));
    EXPECT_EQ(handedOff, std::vector<wxString>{"mailto:td@club.example"});
    // A file that the browser cannot show, a link within a frame, a load stopped before its page came, an
    // address on a port that browsers refuse.
    run("document.getElementById('pbn').click();");
    ASSERT_TRUE(RunUntil([&] { return server.LastRequest("/hands.pbn").method == "GET"; }, 5));
    run("document.getElementById('frame').contentDocument.getElementById('next').click();");
    ASSERT_TRUE(RunUntil([&] { return server.LastRequest("/frame2.htm").method == "GET"; }, 5));
    Pump(0.5);
    unchanged();
    view->Navigate2(platform::Utf8ToUtf16(server.Url("/slow.htm")));
    ASSERT_TRUE(RunUntil([&] { return server.LastRequest("/slow.htm").method == "GET"; }, 5));
    ASSERT_TRUE(Command(ID_STOP));
    Pump(0.5);
    unchanged();
    EnterAddress("http://127.0.0.1:6000/results.htm");
    EXPECT_TRUE(RunUntil([&] { return view->m_bLoadFailed; }, 5));
    Pump(0.5);
    unchanged();
    EXPECT_EQ(g_pMainFrame->GetAddressText(), u"http://127.0.0.1:6000/results.htm");
    EXPECT_EQ(TabCount(), 1u);
}

TEST_F(WindowStartTest, BrowserEngineReadsEachPageInTheCharsetTheBatchRunFinds) {
    const std::string body = CharsetPageBody(ReadFile(DataPath("conversion/utf8_outside_latin1.htm")));
    std::vector<CharsetPage> pages = CharsetPages();
    // Last, a page whose charset only the server names: read as Windows-1252, its names outside Latin-1 would
    // convert differently.
    pages.push_back({"charset in the HTTP header alone", "text/html; charset=utf-8", "<html><head>", "utf-8"});
    TestHttpServer server;
    for (size_t i = 0; i < pages.size(); ++i)
        server.Serve("/page" + std::to_string(i) + ".htm", {pages[i].contentType, pages[i].start + body});
    ASSERT_TRUE(Start({}));
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(pages[i].what);
        const std::string url = server.Url("/page" + std::to_string(i) + ".htm");
        EnterAddress(url);
        ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(url)));
        EXPECT_EQ(ActiveBrowserView()->GetDocumentCodePage(), platform::GetCharsetCodePage(pages[i].charset));
        if (ActiveDocument()->Page().m_bConverted)
            ExpectSameAsBatchRun(ActiveDocument()->Page(), url);
        else // the markup parser takes no XML declaration, in the window or the batch run
            EXPECT_NE(RunProgram({"-pbn", m_home + "/batch.pbn", url}), 0);
    }
    // The PBN window shows those names as the page has them.
    ASSERT_TRUE(Command(ID_VIEW_PBN));
    EXPECT_NE(ActiveText().find(u"\u0141"), std::u16string::npos);
}

TEST_F(WindowStartTest, ClosingTabWhilePageLoadsIsSafe) {
    TestHttpServer server;
    server.Serve("/slow.htm", {"text/html", ReadFile(DataPath("conversion/layout_a.htm")), 1500});
    ASSERT_TRUE(Start({CopyPage("layout_b.htm", "first.htm")}));
    ASSERT_TRUE(WaitForActivePage());

    ASSERT_TRUE(Command(wxID_NEW));
    ASSERT_EQ(TabCount(), 2u);
    ActiveBrowserView()->Navigate2(platform::Utf8ToUtf16(server.Url("/slow.htm")));
    ASSERT_TRUE(RunUntil([&] { return server.RequestCount() > 0; }, 10));
    ASSERT_TRUE(Command(wxID_CLOSE));
    Pump(2.5);
    EXPECT_EQ(TabCount(), 1u);
    EXPECT_TRUE(ActiveDocument()->Page().m_bConverted);
}

TEST_F(WindowStartTest, WithoutPageAnEmptyBrowserTheHelpBookTheIconAndMenusThatFollowTheActiveWindow) {
    ASSERT_TRUE(Start({}));
    ASSERT_EQ(TabCount(), 1u);
    CDSCDocument *document = ActiveDocument();
    ASSERT_NE(document, nullptr);
    Pump(0.5);
    // Nothing was loaded: nothing to convert, nothing to show.
    EXPECT_FALSE(document->Page().m_bPageLoaded);
    EXPECT_EQ(g_pMainFrame->GetAddressText(), u"");
    // A page window shows the document menu: nothing to convert, nothing to show.
    EXPECT_EQ(MenusShown(), "File: New Open... Close - Print... Print Setup... - Recent File (off) - Exit\n"
                            "Edit: Undo (off) - Cut Copy Paste\n"
                            "View: Toolbars and Docking Windows Status Bar (on)\n"
                            "Browser: Back (off) Forward (off) Stop (off) Refresh (off) - View Source (off) Save HTML "
                            "As... (off)\n"
                            "Favorites: Add To Favorites (off) Favorites... - Top Favorites (off)\n"
                            "Convert: Show Status Double Dummy All Boards (off) - Recap View PBN (off) Open with "
                            "Tricksmith (off) Save PBN As... (off) - View Text (off) Save Text As... (off)\n"
                            "Window: New Window Windows...\n"
                            "Help: View Help About Dealscope...\n");

    // View Help opens the help book on its first page, what the program does.
    ASSERT_TRUE(Command(ID_VIEW_HELP));
    EXPECT_TRUE(m_prompts.messages.empty());
    wxTopLevelWindow *help = nullptr;
    RunUntil(
        [&] {
            for (wxWindow *window : wxTopLevelWindows)
                if (window != g_pMainFrame && window->IsShown() &&
                    static_cast<wxTopLevelWindow *>(window)->GetTitle().StartsWith("Help: "))
                    help = static_cast<wxTopLevelWindow *>(window);
            return help != nullptr;
        },
        5);
    ASSERT_NE(help, nullptr);
    // The page is shown formatted, not as its source, and its first link leads to the commands.
    wxHtmlWindow *html = dynamic_cast<wxHtmlHelpFrame &>(*help).GetHelpWindow()->GetHtmlWindow();
    ASSERT_TRUE(RunUntil([&] { return html->ToText().Contains("Dealscope\nDealscope reads"); }, 5)) << html->ToText();
    const wxHtmlLinkInfo *link = nullptr;
    const wxHtmlContainerCell *cells = html->GetInternalRepresentation();
    for (wxHtmlTerminalCellsInterator cell(cells->GetFirstTerminal(), cells->GetLastTerminal()); cell && !link; ++cell)
        link = cell->GetLink();
    ASSERT_NE(link, nullptr);
    html->OnLinkClicked(*link);
    EXPECT_TRUE(RunUntil([&] { return html->ToText().Contains("Commands\nFile\nNew (Ctrl+N)"); }, 5)) << html->ToText();

    // The program's icon in all its sizes on the frame, and shown in the About box.
    EXPECT_EQ(g_pMainFrame->GetIcons().GetIconCount(), 7u);
    {
        CAboutDlg about(g_pMainFrame);
        wxSize shown;
        wxRect place;
        for (wxWindow *child : about.GetChildren())
            if (auto *bitmap = dynamic_cast<wxStaticBitmap *>(child)) {
                shown = bitmap->GetBitmap().GetSize();
                place = bitmap->GetRect();
            }
        EXPECT_GT(shown.x, 0);
        EXPECT_GT(shown.y, 0);
        // In its place left of the texts, no larger than the picture.
        EXPECT_EQ(place.GetSize(), shown);
        EXPECT_LT(place.GetRight(), about.FindWindow(CAboutDlg::IDC_VERSION)->GetPosition().x);
    }

    // With no page window open, the frame's own menu.
    ASSERT_TRUE(Command(wxID_CLOSE));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 0; }, 5));
    EXPECT_TRUE(RunUntil([] { return g_pMainFrame->GetMenuBar()->GetMenuCount() == 3; }, 5));
    EXPECT_EQ(MenusShown(), "File: New Open... Close (off) - Print Setup... - Recent File (off) - Exit\n"
                            "View: Toolbars and Docking Windows Status Bar (on)\n"
                            "Help: About Dealscope...\n");
    // Nothing to cut, copy or paste into then.
    wxToolBar *tools = g_pMainFrame->GetToolBar();
    EXPECT_TRUE(RunUntil(
        [&] {
            return !tools->GetToolEnabled(wxID_CUT) && !tools->GetToolEnabled(wxID_COPY) &&
                   !tools->GetToolEnabled(wxID_PASTE);
        },
        5));
}

TEST(AddressToLoadTest, TypedAddressesAsBrowsersTakeThem) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"  http://club.example/a.htm \t", u"http://club.example/a.htm"},
        {u"localhost:8765/x", u"http://localhost:8765/x"},
        {u"club.example:80", u"http://club.example:80"},
        {u"club.example/results", u"http://club.example/results"},
        {u"mailto:td@club.example", u"mailto:td@club.example"},
        {u"about:blank", u"about:blank"},
        {u"/tmp/a b.htm", u"file:///tmp/a%20b.htm"},
        {u"c:/results.htm", u"http://c:/results.htm"}, // a drive letter is no scheme
    };
    for (const auto &[typed, loaded] : cases)
        EXPECT_EQ(AddressToLoad(typed), loaded) << platform::Utf16ToUtf8(typed);
}

TEST_F(WindowStartTest, DdaAloneAnalysesThePageThenShowsTheWindow) {
    ASSERT_EQ(RegisterCompanion(), "");
    ASSERT_TRUE(Start({"-dda", CopyPage("layout_a.htm", "results.htm")}));
    EXPECT_TRUE(m_prompts.messages.empty());
    ASSERT_TRUE(g_pMainFrame->IsShown());
    const CDSCDoc &converted = ActiveDocument()->Page();
    EXPECT_TRUE(converted.m_bPageLoaded);
    EXPECT_FALSE(converted.m_ddResults.empty());
    EXPECT_NE(converted.m_strPbn.find("[DoubleDummyTricks \""), std::string::npos);
    // The analysis left its temporary file behind, named after the page.
    EXPECT_TRUE(std::filesystem::exists(m_home + "/tmp/results.pbn"));
}

TEST_F(WindowStartTest, FailedStartUpShowsOneErrorBoxAndEndsWithAFailureCode) {
    const std::pair<std::vector<std::string>, std::u16string> failures[] = {
        {{m_home + "/missing.htm"}, u"Failed to open document."},
        {{m_home}, u"Failed to open document."},
        {{"-dda", CopyPage("layout_a.htm", "results.htm")}, u""}}; // no companion registered
    for (const auto &[arguments, text] : failures) {
        SCOPED_TRACE(arguments[0]);
        m_prompts.messages.clear();
        EXPECT_FALSE(Start(arguments));
        ASSERT_EQ(m_prompts.messages.size(), 1u);
        EXPECT_EQ(m_prompts.messages[0].text.rfind(text, 0), 0u);
        EXPECT_EQ(m_prompts.messages[0].icon, IWindowPrompts::Icon::Error);
        EXPECT_FALSE(g_pMainFrame && g_pMainFrame->IsShown());
        // The program itself, with its real box answered.
        EXPECT_EQ(RunProgram(arguments, 1), 1);
    }
}

// The Favorites popup and commands in the real page window.
namespace {

class FavoritesWindowTest : public GuiTest {
protected:
    // Starts the window on a copy of a test page and waits until it shows it.
    bool StartOnPage() {
        m_page = CopyPage("layout_a.htm", "page.htm");
        return Start({m_page}) && WaitForPage(FileUri(m_page));
    }

    // The favorites file in the home (no Documents folder is configured there).
    std::string FavoritesPath() const { return m_home + "/DealscopeFavorites.txt"; }

    // The favorite items of the Favorites popup, opened as a click opens it; none when it was not drawn whole.
    static std::vector<wxMenuItem *> OpenFavoritesPopup() {
        std::vector<wxMenuItem *> items;
        if (!MenuOpensAtFullSize("Favorites"))
            return items;
        wxMenuBar *bar = g_pMainFrame->GetMenuBar();
        wxMenu *menu = bar->GetMenu(static_cast<size_t>(bar->FindMenu(ToWx(FAVORITES_MENU_TITLE))));
        for (wxMenuItem *item : menu->GetMenuItems())
            if (item->GetId() >= ID_FAVORITE_FIRST && item->GetId() <= ID_FAVORITE_LAST)
                items.push_back(item);
        return items;
    }

    std::string m_page;
};

} // namespace

TEST_F(FavoritesWindowTest, PopupListsFirst32MarksCurrentPageAndOpensThem) {
    const std::string other = platform::Utf16ToUtf8(FileUri(CopyPage("layout_a.htm", "other page.htm")));
    const std::string page = platform::Utf16ToUtf8(FileUri(m_home + "/page.htm"));
    // Addresses with '&' show as themselves.
    std::vector<std::string> entries;
    for (int i = 0; i < 40; ++i)
        entries.push_back("http://127.0.0.1:9/board" + std::to_string(i) + ".htm?a=1&b=2");
    entries[2] = page;
    entries[5] = page; // the later of two equal entries carries the mark
    entries[7] = other;
    std::string file;
    for (const std::string &entry : entries)
        file += entry + "\r\n";
    WriteFile(FavoritesPath(), file);

    ASSERT_TRUE(StartOnPage());
    EXPECT_FALSE(IsEnabled(ID_ADD_TO_FAVORITES)); // already listed
    for (int pass = 0; pass < 2; ++pass) {        // opening the popup again shows the same items, not more
        const std::vector<wxMenuItem *> items = OpenFavoritesPopup();
        ASSERT_EQ(items.size(), 32u);
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i]->GetItemLabelText().utf8_string(), entries[i]) << i;
            EXPECT_TRUE(items[i]->IsEnabled()) << i;
            EXPECT_EQ(items[i]->IsChecked(), i == 5) << i;
        }
    }

    // A new tab's popup is whole the first time it opens, with nothing marked.
    ASSERT_TRUE(Command(wxID_NEW));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 2; }, 5));
    std::vector<wxMenuItem *> items = OpenFavoritesPopup();
    ASSERT_EQ(items.size(), 32u);
    EXPECT_FALSE(items[5]->IsChecked());
    g_pMainFrame->GetNotebook()->SetSelection(0);

    ASSERT_TRUE(Command(ID_FAVORITE_FIRST + 7));
    ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(other)));
    EXPECT_TRUE(ActiveDocument()->Page().m_bConverted);
    items = OpenFavoritesPopup();
    EXPECT_TRUE(items[7]->IsChecked());
    EXPECT_FALSE(items[5]->IsChecked());
}

TEST_F(FavoritesWindowTest, AddToFavoritesWritesTheFileAndFillsThePopup) {
    ASSERT_TRUE(StartOnPage());
    std::vector<wxMenuItem *> items = OpenFavoritesPopup();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->GetItemLabelText(), "Top Favorites");
    EXPECT_FALSE(items[0]->IsEnabled());

    const std::string page = platform::Utf16ToUtf8(FileUri(m_page));
    ASSERT_TRUE(Command(ID_ADD_TO_FAVORITES));
    EXPECT_EQ(ReadFile(FavoritesPath()), page + "\r\n");
    EXPECT_FALSE(IsEnabled(ID_ADD_TO_FAVORITES));
    items = OpenFavoritesPopup();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->GetItemLabelText().utf8_string(), page);
    EXPECT_TRUE(items[0]->IsEnabled());
    EXPECT_TRUE(items[0]->IsChecked());
}

TEST_F(FavoritesWindowTest, UnreadableFavoritesFileIsReportedAndKept) {
    const std::string bytes = "http://caf\xE9.example/\r\n";
    WriteFile(FavoritesPath(), bytes);
    ASSERT_TRUE(StartOnPage());
    ASSERT_FALSE(m_prompts.messages.empty());
    EXPECT_NE(m_prompts.messages[0].text.find(platform::Utf8ToUtf16(FavoritesPath())), std::u16string::npos);
    ASSERT_TRUE(Command(ID_ADD_TO_FAVORITES));
    EXPECT_EQ(ReadFile(FavoritesPath()), bytes);
    EXPECT_EQ(m_prompts.messages.size(), 2u);
}

TEST_F(WindowStartTest, PageFileWhoseNameIsNotUtf8Opens) {
    std::string page = CopyPage("layout_a.htm", "r\xE9sultats.htm");
    ASSERT_TRUE(Start({page}));
    ASSERT_TRUE(WaitForActivePage());
    EXPECT_EQ(ActiveDocument()->Page().m_strURL, FileUri(page));
    ExpectSameAsBatchRun(ActiveDocument()->Page(), page);
    EXPECT_NE(ActiveDocument()->Page().m_strPbn.find("[Board \""), std::string::npos);
}
