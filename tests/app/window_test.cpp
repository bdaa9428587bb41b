// The window's start-up, page windows and browser view, driven for real under an X server.
#include <filesystem>
#include <set>

#include <gtk/gtk.h>
#include <wx/aui/auibook.h>
#include <wx/button.h>
#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/menu.h>
#include <wx/modalhook.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/webview.h>

#include "../batch/charset_pages.h"
#include "app/favorites.h"
#include "app/window/about_box.h"
#include "app/window/browser_view.h"
#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/window_app.h"
#include "platform/charset_table.h"
#include "platform/wide_text.h"
#include "test_http_server.h"
#include "window_driver.h"

namespace {

class WindowTest : public GuiTest {
protected:
    // The window's document has the same PBN (but for the time of the conversion) and report as the batch run.
    void ExpectSameAsBatchRun(const std::string &page) {
        const CDSCDoc &converted = ActiveDocument()->Page();
        std::string pbnFile = m_home + "/batch.pbn", textFile = m_home + "/batch.txt";
        ASSERT_EQ(RunProgram({"-pbn", pbnFile, "-text", textFile, page}), 0);
        ASSERT_TRUE(converted.m_bConverted);
        EXPECT_EQ(WithoutCreatedLine(converted.m_strPbn), WithoutCreatedLine(ReadFile(pbnFile)));
        EXPECT_EQ(converted.m_strTextReport, ReadFile(textFile));
    }
    static std::u16string Address() { return g_pMainFrame->GetAddressText(); }
};

} // namespace

TEST(AddressToLoadTest, TypedAddressesAsBrowsersTakeThem) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"  http://club.example/a.htm \t", u"http://club.example/a.htm"},
        {u"localhost:8765/x", u"http://localhost:8765/x"},
        {u"club.example/results", u"http://club.example/results"},
        {u"mailto:td@club.example", u"mailto:td@club.example"},
        {u"/tmp/a b.htm", u"file:///tmp/a%20b.htm"},
        {u"c:/results.htm", u"http://c:/results.htm"}, // a drive letter is no scheme
    };
    for (const auto &[typed, loaded] : cases)
        EXPECT_EQ(AddressToLoad(typed), loaded) << platform::Utf16ToUtf8(typed);
}

TEST_F(WindowTest, FailedStartUpShowsOneErrorBoxAndEndsWithAFailureCode) {
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
        EXPECT_FALSE(g_pMainFrame && g_pMainFrame->IsShown());
        EXPECT_EQ(RunProgram(arguments, true), 1); // the program itself, with its real box answered
    }
}

// A page file from the command line, then pages visited from the favorites, opened, recalled and shown in more
// windows.
TEST_F(WindowTest, PagesVisitedInTabsFavoritesAndTheRecentFile) {
    std::string first = CopyPage("layout_a.htm", "club results #1.htm");
    std::string second = CopyPage("layout_b.htm", "second.htm");
    std::string third = CopyPage("layout_a.htm", "third.htm");
    std::vector<std::string> entries(40, "http://127.0.0.1:9/board.htm?a=1&b=2"); // '&' shows as itself
    entries[2] = entries[5] = platform::Utf16ToUtf8(FileUri(first)); // the later of two equal entries is marked
    entries[7] = platform::Utf16ToUtf8(FileUri(second));
    std::string favorites;
    for (const std::string &entry : entries)
        favorites += entry + "\r\n";
    WriteFile(m_home + "/DealscopeFavorites.txt", favorites);
    // The Favorites popup's items, whole the first time it opens.
    auto popup = [] {
        std::vector<wxMenuItem *> items;
        EXPECT_TRUE(MenuOpensAtFullSize("Favorites"));
        wxMenuBar *bar = g_pMainFrame->GetMenuBar();
        for (wxMenuItem *item : bar->GetMenu(static_cast<size_t>(bar->FindMenu("Favorites")))->GetMenuItems())
            if (item->GetId() >= ID_FAVORITE_FIRST && item->GetId() <= ID_FAVORITE_LAST)
                items.push_back(item);
        return items;
    };
    testing::internal::CaptureStderr();
    ASSERT_TRUE(Start({first}));
    ASSERT_TRUE(WaitForPage(FileUri(first)));
    EXPECT_EQ(Address(), FileUri(first));
    ExpectSameAsBatchRun(first);
    EXPECT_FALSE(IsEnabled(ID_GO_BACK));
    EXPECT_FALSE(IsEnabled(ID_ADD_TO_FAVORITES)); // already listed
    for (int pass = 0; pass < 2; ++pass) {        // opening the popup again shows the same items, not more
        const std::vector<wxMenuItem *> items = popup();
        ASSERT_EQ(items.size(), 32u);
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i]->GetItemLabelText().utf8_string(), entries[i]) << i;
            EXPECT_EQ(items[i]->IsChecked(), i == 5) << i;
        }
    }

    ASSERT_TRUE(Command(ID_FAVORITE_FIRST + 7));
    ASSERT_TRUE(WaitForPage(FileUri(second)));
    EXPECT_TRUE(popup().at(7)->IsChecked());
    ASSERT_TRUE(RunUntil([] { return IsEnabled(ID_GO_BACK); }, 5));
    ASSERT_TRUE(Command(ID_GO_BACK));
    ASSERT_TRUE(WaitForPage(FileUri(first)));
    EXPECT_TRUE(RunUntil([] { return IsEnabled(ID_GO_FORWARD) && !IsEnabled(ID_GO_BACK); }, 5));
    ASSERT_TRUE(Command(ID_GO_FORWARD));
    ASSERT_TRUE(WaitForPage(FileUri(second)));

    // In a narrow window the address box still stands in the toolbar, not in its overflow menu.
    g_pMainFrame->SetSize(480, 400);
    wxTextCtrl *box = CMainFrame::GetAddressBox();
    EXPECT_TRUE(RunUntil(
        [box] {
            return g_pMainFrame->GetSize().x == std::max(480, g_pMainFrame->GetMinSize().x) &&
                   gtk_widget_get_mapped(box->GetHandle()) &&
                   box->GetScreenRect().GetRight() <= g_pMainFrame->GetToolBar()->GetScreenRect().GetRight();
        },
        5));

    // File Open puts the page in a second tab; each tab, and a new empty one, puts its own address in the box.
    m_prompts.answers.push_back(third);
    ASSERT_TRUE(Command(wxID_OPEN));
    ASSERT_TRUE(WaitForPage(FileUri(third)));
    wxAuiNotebook *tabs = g_pMainFrame->GetNotebook();
    tabs->SetSelection(0);
    EXPECT_TRUE(RunUntil([&] { return Address() == FileUri(second); }, 5));
    tabs->SetSelection(1);
    ASSERT_TRUE(Command(wxID_NEW));
    EXPECT_TRUE(RunUntil([] { return TabCount() == 3 && Address().empty(); }, 5));
    EXPECT_FALSE(popup().at(5)->IsChecked()); // a new tab's popup: whole, nothing marked
    ASSERT_TRUE(Command(wxID_CLOSE));
    EXPECT_TRUE(RunUntil([&] { return TabCount() == 2 && Address() == FileUri(third); }, 5));

    // A second window on the same page: both tabs are numbered.
    ASSERT_TRUE(Command(ID_WINDOW_NEW));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 3; }, 5));
    EXPECT_TRUE(tabs->GetPageText(1).EndsWith(":1")) << tabs->GetPageText(1);
    EXPECT_TRUE(tabs->GetPageText(2).EndsWith(":2")) << tabs->GetPageText(2);

    // The file opened in the window is the one recent file; chosen once its windows are closed, it opens again.
    EXPECT_TRUE(MenuOpensAtFullSize("File"));
    ASSERT_EQ(wxGetApp().RecentFiles(), std::vector<wxString>{wxString::FromUTF8(third)});
    ASSERT_TRUE(Command(wxID_CLOSE));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 1; }, 5));
    ASSERT_TRUE(Command(wxID_FILE1));
    EXPECT_TRUE(WaitForPage(FileUri(third)));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(errors.find("CRITICAL"), std::string::npos) << errors;
}

TEST_F(WindowTest, PopUpsOpenInTabsThatWebKitLoadsItself) {
    TestHttpServer server;
    server.Serve("/index.htm", {"text/html", "<a id=\"blank\" target=\"_blank\" href=\"/b.htm\">b</a>"
                                             "<a id=\"named\" target=\"other\" href=\"/c.htm\">c</a>"
                                             "<button id=\"script\" onclick=\"window.open('/b.htm')\">o</button>"
                                             "<form id=\"post\" method=\"post\" target=\"_blank\" action=\"/c.htm\">"
                                             "<input name=\"section\" value=\"A B\"></form>"});
    server.Serve("/b.htm", {"text/html", ReadFile(DataPath("conversion/layout_b.htm"))});
    server.Serve("/c.htm", {"text/html", "c"});
    ASSERT_TRUE(Start({server.Url("/index.htm")}));
    ASSERT_TRUE(WaitForPage());
    wxWebView *opener = ActiveBrowserView()->GetWebView();
    auto run = [&](const char *script, size_t tabs) {
        g_pMainFrame->GetNotebook()->SetSelection(0);
        opener->RunScript(script);
        return RunUntil([tabs] { return TabCount() == tabs; }, 10);
    };

    // A script's window and a link to a new window each open in a new tab, where the page converts.
    ASSERT_TRUE(run("document.getElementById('script').click();", 2));
    ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(server.Url("/b.htm"))));
    EXPECT_TRUE(ActiveDocument()->Page().m_bConverted);
    ASSERT_TRUE(run("document.getElementById('blank').click();", 3));
    ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(server.Url("/b.htm"))));
    // A named target opens its tab once and then reuses it.
    ASSERT_TRUE(run("document.getElementById('named').click();", 4));
    ASSERT_TRUE(RunUntil([&] { return server.RequestCount() == 4; }, 10));
    ASSERT_TRUE(run("document.getElementById('named').click();", 4));
    ASSERT_TRUE(RunUntil([&] { return server.RequestCount() == 5; }, 10));
    EXPECT_EQ(TabCount(), 4u);
    // A form posted to a new window posts its data there.
    ASSERT_TRUE(run("document.getElementById('post').submit();", 5));
    ASSERT_TRUE(RunUntil([&] { return server.LastRequest("/c.htm").method == "POST"; }, 10));
    EXPECT_EQ(server.LastRequest("/c.htm").body, "section=A+B");
}

TEST_F(WindowTest, NavigationsThatBringNoNewPageKeepThePageAndItsAnalysis) {
    ASSERT_EQ(RegisterCompanion(), "");
    std::vector<wxString> handedOff;
    ScopedHook<CAboutDlg::SetBrowserLauncher> launcher([&](const wxString &url) { handedOff.push_back(url); });
    std::string page = ReadFile(DataPath("conversion/layout_a.htm"));
    page.insert(page.rfind("</body>"), "<a id=\"anchor\" href=\"#b3\">3</a><a id=\"mail\" href=\"mailto:td@x.example\">"
                                       "m</a><a id=\"pbn\" href=\"/hands.pbn\">PBN</a>"
                                       "<iframe id=\"frame\" src=\"/frame1.htm\"></iframe>");
    TestHttpServer server;
    server.Serve("/results.htm", {"text/html", page});
    server.Serve("/hands.pbn", {"application/octet-stream", "[Board \"1\"]\r\n"});
    server.Serve("/frame1.htm", {"text/html", "<a id=\"next\" href=\"/frame2.htm\">next</a>"});
    server.Serve("/slow.htm", {"text/html", "slow", 3000});
    std::u16string url = platform::Utf8ToUtf16(server.Url("/results.htm"));
    ASSERT_TRUE(Start({server.Url("/results.htm")}));
    ASSERT_TRUE(WaitForPage(url));
    // The tables of the analysis appear in the PBN window.
    ASSERT_TRUE(Command(ID_VIEW_PBN));
    ASSERT_TRUE(Command(ID_DOUBLE_DUMMY_ALL));
    const CDSCDoc &doc = ActiveDocument()->Page();
    ASSERT_TRUE(RunUntil([&] { return !doc.m_ddResults.empty(); }, 30));
    EXPECT_TRUE(m_prompts.messages.empty());
    EXPECT_NE(ActiveText().find(u"[OptimumResultTable \""), std::u16string::npos);
    EXPECT_FALSE(IsEnabled(ID_DOUBLE_DUMMY_ALL)); // with results in, until a page loads again
    g_pMainFrame->GetNotebook()->SetSelection(0);
    const std::string analysed = doc.m_strPbn;
    CDSCView *view = ActiveBrowserView();
    auto run = [&](const std::string &script, const std::string &requested = "") {
        if (!script.empty())
            view->GetWebView()->RunScript(wxString::FromUTF8(script));
        if (!requested.empty()) {
            EXPECT_TRUE(RunUntil([&] { return server.LastRequest(requested).method == "GET"; }, 5)) << requested;
        }
        Pump(0.5);
        EXPECT_TRUE(RunUntil([] { return !IsEnabled(ID_STOP); }, 5));
        EXPECT_EQ(doc.m_strPbn, analysed);
        EXPECT_TRUE(doc.m_bPageLoaded);
    };

    // A jump within the page: history and the address box follow it, the page stays.
    run("document.getElementById('anchor').click();");
    EXPECT_EQ(Address(), url + u"#b3");
    ASSERT_TRUE(Command(ID_GO_BACK));
    EXPECT_TRUE(RunUntil([&] { return IsEnabled(ID_GO_FORWARD) && Address() == url; }, 5));
    ASSERT_TRUE(Command(ID_GO_FORWARD));
    EXPECT_TRUE(RunUntil([&] { return Address() == url + u"#b3"; }, 5));
    // A mail address goes to the desktop; a file the browser cannot show and a link within a frame load nothing.
    run("document.getElementById('mail').click();");
    EXPECT_EQ(handedOff, std::vector<wxString>{"mailto:td@x.example"});
    run("document.getElementById('pbn').click();", "/hands.pbn");
    run("document.getElementById('frame').contentDocument.getElementById('next').click();", "/frame2.htm");
    // A load stopped before its page came, an address on a port that browsers refuse.
    view->Navigate2(platform::Utf8ToUtf16(server.Url("/slow.htm")));
    ASSERT_TRUE(RunUntil([&] { return server.LastRequest("/slow.htm").method == "GET"; }, 5));
    ASSERT_TRUE(Command(ID_STOP));
    run("");
    EnterAddress("http://127.0.0.1:6000/results.htm");
    EXPECT_TRUE(RunUntil([&] { return view->m_bLoadFailed; }, 5));
    run("");
    EXPECT_EQ(Address(), u"http://127.0.0.1:6000/results.htm");

    // A tab closed while its page loads goes quietly.
    ASSERT_TRUE(Command(wxID_NEW));
    ActiveBrowserView()->Navigate2(platform::Utf8ToUtf16(server.Url("/slow.htm?again")));
    Pump(0.5);
    ASSERT_TRUE(Command(wxID_CLOSE));
    Pump(3);
    EXPECT_EQ(TabCount(), 2u);
}

TEST_F(WindowTest, BrowserEngineReadsEachPageInTheCharsetTheBatchRunFinds) {
    const std::string body = CharsetPageBody(ReadFile(DataPath("conversion/utf8_outside_latin1.htm")));
    std::vector<CharsetPage> pages = CharsetPages();
    // Last, a page whose charset only the server names.
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
            ExpectSameAsBatchRun(url);
        else // the markup parser takes no XML declaration, in the window or the batch run
            EXPECT_NE(RunProgram({"-pbn", m_home + "/batch.pbn", url}), 0);
    }
    ASSERT_TRUE(Command(ID_VIEW_PBN));
    EXPECT_NE(ActiveText().find(u"\u0141"), std::u16string::npos);
}

TEST_F(WindowTest, WithoutPageTheMenusTheHelpBookAndTheAboutBox) {
    ASSERT_TRUE(Start({}));
    Pump(0.5);
    EXPECT_EQ(Address(), u"");
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

    // The help book opens formatted on its first page, and its first link leads to the commands.
    ASSERT_TRUE(Command(ID_VIEW_HELP));
    ASSERT_TRUE(RunUntil([] { return HelpFrame() != nullptr; }));
    wxHtmlHelpFrame *help = HelpFrame();
    wxHtmlWindow *html = help->GetHelpWindow()->GetHtmlWindow();
    ASSERT_TRUE(RunUntil([&] { return html->ToText().Contains("Dealscope\nDealscope reads"); }, 5)) << html->ToText();
    const wxHtmlContainerCell *cells = html->GetInternalRepresentation();
    const wxHtmlLinkInfo *link = nullptr;
    for (wxHtmlTerminalCellsInterator cell(cells->GetFirstTerminal(), cells->GetLastTerminal()); cell && !link; ++cell)
        link = cell->GetLink();
    ASSERT_NE(link, nullptr);
    html->OnLinkClicked(*link);
    EXPECT_TRUE(RunUntil([&] { return html->ToText().Contains("Commands\nFile\nNew (Ctrl+N)"); }, 5));
    // At the viewer's first size every page of the book fits its pane, needing no sideways scroll; narrower, the
    // command line's page scrolls sideways to show what does not fit.
    const wxHtmlHelpDataItems &pages = help->GetHelpWindow()->GetData()->GetContentsArray();
    for (size_t i = 0; i < pages.size(); ++i) {
        ASSERT_TRUE(html->LoadPage(pages[i].GetFullPath()));
        EXPECT_LE(html->GetVirtualSize().x, html->GetClientSize().x) << pages[i].name << ":\n" << html->ToText();
    }
    help->SetSize(help->GetSize().x - 250, help->GetSize().y);
    EXPECT_TRUE(RunUntil([&] { return html->GetVirtualSize().x > html->GetClientSize().x; }, 5));

    // The program's icon in all its sizes on the frame, and in the About box left of the texts, at its own size.
    EXPECT_EQ(g_pMainFrame->GetIcons().GetIconCount(), 7u);
    {
        CAboutDlg about(g_pMainFrame);
        wxStaticBitmap *icon = nullptr;
        for (wxWindow *child : about.GetChildren())
            icon = icon ? icon : dynamic_cast<wxStaticBitmap *>(child);
        ASSERT_NE(icon, nullptr);
        EXPECT_GT(icon->GetBitmap().GetSize().x, 0);
        EXPECT_EQ(icon->GetRect().GetSize(), icon->GetBitmap().GetSize());
        EXPECT_LT(icon->GetRect().GetRight(), about.FindWindow(CAboutDlg::IDC_VERSION)->GetPosition().x);
    }

    // With no page window open, the frame's own menu.
    ASSERT_TRUE(Command(wxID_CLOSE));
    EXPECT_TRUE(RunUntil([] { return g_pMainFrame->GetMenuBar()->GetMenuCount() == 3; }, 5));
    EXPECT_EQ(MenusShown(), "File: New Open... Close (off) - Print Setup... - Recent File (off) - Exit\n"
                            "View: Toolbars and Docking Windows Status Bar (on)\n"
                            "Help: About Dealscope...\n");
}

TEST_F(WindowTest, PageFileWhoseNameIsNotUtf8Opens) {
    std::string page = CopyPage("layout_a.htm", "r\xE9sultats.htm");
    ASSERT_TRUE(Start({page}));
    ASSERT_TRUE(WaitForPage(FileUri(page)));
    EXPECT_TRUE(ActiveDocument()->Page().m_bConverted);
}

// The recap options and the favorite items are check items drawn with the round mark of a choice, also after the
// favorite items are made anew and on the placeholder that stands in for them. A favorites line that is not UTF-8
// shows in the menu and keeps its bytes when a favorite is added.
TEST_F(WindowTest, RecapOptionsAndFavoritesCarryRadioMarks) {
    const std::string first = CopyPage("layout_a.htm", "first.htm");
    const std::string second = CopyPage("layout_b.htm", "second.htm");
    const std::string file = m_home + "/DealscopeFavorites.txt";
    WriteFile(file, "http://caf\xE9.example/\n");
    ASSERT_TRUE(Start({first}));
    ASSERT_TRUE(WaitForPage(FileUri(first)));
    EXPECT_TRUE(m_prompts.messages.empty());
    EXPECT_NE(MenusShown().find("Favorites... - http://caf\xEF\xBF\xBD.example/\n"), std::string::npos) << MenusShown();
    EXPECT_EQ(MarksDrawn(ID_RECAP_OMIT), "@oo");
    ASSERT_TRUE(Command(ID_RECAP_ADD_TO_BOARD1));
    EXPECT_EQ(MarksDrawn(ID_RECAP_OMIT), "oo@");

    ASSERT_TRUE(Command(ID_ADD_TO_FAVORITES));
    EXPECT_EQ(ReadFile(file), "http://caf\xE9.example/\r\n" + platform::Utf16ToUtf8(FileUri(first)) + "\r\n");
    EXPECT_EQ(MarksDrawn(ID_FAVORITE_FIRST), "o@");
    // A second page window has menus of its own.
    m_prompts.answers.push_back(second);
    ASSERT_TRUE(Command(wxID_OPEN));
    ASSERT_TRUE(WaitForPage(FileUri(second)));
    EXPECT_EQ(MarksDrawn(ID_FAVORITE_FIRST), "oo");
    ASSERT_TRUE(Command(ID_ADD_TO_FAVORITES));
    EXPECT_EQ(MarksDrawn(ID_FAVORITE_FIRST), "oo@");
    EXPECT_EQ(MarksDrawn(ID_RECAP_OMIT), "oo@"); // the option chosen is the default of later pages

    // All favorites removed, as the Favorites dialog's OK removes them: the placeholder comes back, greyed.
    AppFavorites().SaveFavorites({});
    g_pMainFrame->RefreshListMenus();
    EXPECT_EQ(MarksDrawn(ID_FAVORITE_FIRST), "o-");
    g_pMainFrame->GetNotebook()->SetSelection(0);
    EXPECT_TRUE(RunUntil([] { return MarksDrawn(ID_FAVORITE_FIRST) == "o-"; }, 5));
    EXPECT_TRUE(m_prompts.messages.empty());
}

// An error box as the program shows it: the error icon drawn beside the whole text, and one OK button.
TEST_F(WindowTest, ErrorBoxShowsTheErrorIconBesideItsWholeText) {
    ScopedHook<SetWindowPrompts> realBoxes{nullptr};
    const std::string page = m_home + "/" + std::string(150, 'x') + "/no such page.htm";
    const wxString expected = "Failed to open document." + wxString::FromUTF8(page) + ":Nosuchfileordirectory";
    struct BoxLook : wxModalDialogHook {
        std::set<wxDialog *> boxes; // the generic box passes the hook twice on its way to the screen
        int redInIcon = 0;
        wxString text;
        std::vector<wxString> buttons;
        bool textFits = true;
        std::unique_ptr<wxTimer> timer; // the toolkit is up only once the box comes
        int Enter(wxDialog *box) override {
            if (!boxes.insert(box).second)
                return wxID_NONE;
            timer = std::make_unique<wxTimer>();
            timer->Bind(wxEVT_TIMER, [this, box](wxTimerEvent &) {
                if (!gtk_widget_get_mapped(box->GetHandle()))
                    return;
                timer->Stop();
                Look(*box);
                if (GTK_IS_DIALOG(box->GetHandle()))
                    gtk_dialog_response(GTK_DIALOG(box->GetHandle()), GTK_RESPONSE_OK); // GTK's own box
                else
                    box->EndModal(wxID_OK);
            });
            timer->Start(200);
            return wxID_NONE; // shown as the user sees it
        }
        void Exit(wxDialog *) override {}
        void Look(wxDialog &box) {
            const DrawnWindow drawn(box);
            for (wxWindow *child : box.GetChildren()) {
                const wxRect r = child->GetRect();
                if (dynamic_cast<wxStaticBitmap *>(child)) {
                    for (int y = r.y; y < r.GetBottom(); ++y)
                        for (int x = r.x; x < r.GetRight(); ++x) {
                            const unsigned char *p = drawn.Pixel(x, y);
                            redInIcon += p[2] > 150 && p[1] < 80 && p[0] < 80; // BGRX
                        }
                } else if (auto *label = dynamic_cast<wxStaticText *>(child)) {
                    text += label->GetLabel();
                    for (const wxString &line : wxSplit(label->GetLabel(), '\n', '\0'))
                        textFits = textFits && label->GetTextExtent(line).x <= r.width;
                    textFits = textFits && wxRect(box.GetClientSize()).Contains(r);
                } else if (auto *button = dynamic_cast<wxButton *>(child)) {
                    buttons.push_back(button->GetLabelText());
                }
            }
        }
    } look;
    look.Register();
    EXPECT_FALSE(Start({page}));
    look.Unregister();
    look.timer.reset();
    ASSERT_EQ(look.boxes.size(), 1u);
    EXPECT_GT(look.redInIcon, 100);
    // Line breaks fall where the box breaks the text; no character is lost at them.
    auto squeezed = [](wxString text) { return text.Replace("\n", ""), text.Replace(" ", ""), text; };
    EXPECT_EQ(squeezed(look.text), squeezed(expected));
    EXPECT_TRUE(look.textFits);
    EXPECT_EQ(look.buttons, std::vector<wxString>{"OK"});
}

// What the toolkit reports itself reaches the user as the program's own errors do: through the error sink, in the
// program's box, not in a box of the toolkit's.
TEST_F(WindowTest, ToolkitErrorsGoThroughTheErrorSink) {
    DialogCount dialogs;
    ASSERT_TRUE(Start({}));
    dialogs.Register();
    wxHtmlHelpController help;
    EXPECT_FALSE(help.AddBook(wxFileName(m_home + "/missing.hhp")));
    wxLog::FlushActive();
    dialogs.Unregister();
    EXPECT_EQ(dialogs.count, 0);
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_NE(m_prompts.messages[0].text.find(u"missing.hhp"), std::u16string::npos);
    EXPECT_EQ(m_prompts.messages[0].icon, IWindowPrompts::Icon::Error);
}
