// The window's start-up, page windows and browser view, driven for real under an X server.
#include <filesystem>

#include <wx/aui/auibook.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/webview.h>

#include "app/window/browser_view.h"
#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/window_app.h"
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

std::vector<std::string> MenuTitles() {
    std::vector<std::string> result;
    wxMenuBar *bar = g_pMainFrame->GetMenuBar();
    for (size_t i = 0; bar && i < bar->GetMenuCount(); ++i)
        result.push_back(std::string(bar->GetMenuLabel(i).utf8_str()));
    return result;
}

} // namespace

TEST_F(WindowStartTest, PageFileFromCommandLineConvertsAsTheBatchRunDoes) {
    std::string page = CopyPage("layout_a.htm", "club results #1.htm");
    ASSERT_TRUE(Start({page}));
    ASSERT_TRUE(g_pMainFrame->IsShown());
    ASSERT_TRUE(WaitForActivePage());
    const CDSCDoc &converted = ActiveDocument()->Page();

    // The page file is loaded under its proper file URI, which the address box shows.
    EXPECT_EQ(converted.m_strURL, FileUri(page));
    EXPECT_EQ(CMainFrame::GetAddressText(), FileUri(page));
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
}

TEST_F(WindowStartTest, BackAndForwardEnableAsPagesAreVisitedAndASecondPageOpensInASecondTab) {
    std::string first = CopyPage("layout_a.htm", "first.htm");
    std::string second = CopyPage("layout_b.htm", "second.htm");
    std::string third = CopyPage("layout_a.htm", "third.htm");
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
    EXPECT_EQ(CMainFrame::GetAddressText(), FileUri(first));
    ASSERT_TRUE(Command(ID_GO_FORWARD));
    ASSERT_TRUE(WaitForPage(FileUri(second)));

    // File Open puts the page in a second tab; each tab puts its own address in the box.
    m_prompts.answers.push_back(third);
    ASSERT_TRUE(Command(wxID_OPEN));
    EXPECT_EQ(m_prompts.openFilters,
              std::vector<std::u16string>{u"HTML Files (*.htm; *.html)|*.htm;*.html|All Files (*.*)|*.*"});
    ASSERT_TRUE(WaitForPage(FileUri(third)));
    EXPECT_EQ(TabCount(), 2u);
    EXPECT_EQ(CMainFrame::GetAddressText(), FileUri(third));
    wxAuiNotebook *tabs = g_pMainFrame->GetNotebook();
    tabs->SetSelection(0);
    EXPECT_TRUE(RunUntil([&] { return CMainFrame::GetAddressText() == FileUri(second); }, 5));
    EXPECT_EQ(ActiveDocument()->Page().m_strURL, FileUri(second));
    tabs->SetSelection(1);
    EXPECT_TRUE(RunUntil([&] { return CMainFrame::GetAddressText() == FileUri(third); }, 5));

    // A file opened once the window is up is the one recent file, kept in the settings for the next start.
    ASSERT_EQ(wxGetApp().RecentFiles(), std::vector<wxString>{wxString::FromUTF8(third)});
    wxMenuBar *bar = g_pMainFrame->GetMenuBar();
    g_pMainFrame->RefreshRecentFiles(bar);
    ASSERT_NE(bar->FindItem(wxID_FILE1), nullptr);
    EXPECT_EQ(bar->FindItem(wxID_FILE1)->GetItemLabel(), "&1 " + wxString::FromUTF8(third));
    EXPECT_EQ(bar->FindItem(wxID_FILE2), nullptr);
    EXPECT_NE(ReadFile(m_home + "/config/Dealscope/Dealscope.ini").find(third), std::string::npos);

    // Chosen from the menu once its window is closed, the file opens again.
    ASSERT_TRUE(Command(wxID_CLOSE));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 1; }, 5));
    g_pMainFrame->RefreshRecentFiles(g_pMainFrame->GetMenuBar());
    ASSERT_TRUE(Command(wxID_FILE1));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 2; }, 5));
    EXPECT_TRUE(WaitForPage(FileUri(third)));
}

TEST_F(WindowStartTest, PopUpLinkOpensInNewTab) {
    TestHttpServer server;
    server.Serve("/index.htm", {"text/html", "<html><body><a id=\"pop\" target=\"_blank\" href=\"/b.htm\" "
                                             "style=\"position:absolute;left:0;top:0;width:400px;height:300px;"
                                             "display:block\">results</a></body></html>"});
    server.Serve("/b.htm", {"text/html", ReadFile(DataPath("conversion/layout_b.htm"))});
    ASSERT_TRUE(Start({server.Url("/index.htm")}));
    ASSERT_TRUE(WaitForActivePage());
    ASSERT_EQ(TabCount(), 1u);

    // A click on the link, as the user makes it.
    ActiveBrowserView()->GetWebView()->RunScript("document.getElementById('pop').click();");
    ASSERT_TRUE(RunUntil([] { return TabCount() == 2; }, 10));
    ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(server.Url("/b.htm"))));
    EXPECT_TRUE(ActiveDocument()->Page().m_bConverted);
}

TEST_F(WindowStartTest, CharsetOnlyInHttpHeaderConvertsAsTheBatchRunDoes) {
    // A UTF-8 page whose charset only the server names: read as Windows-1252 it would convert differently.
    std::string page = ReadFile(DataPath("conversion/utf8_outside_latin1.htm"));
    size_t meta = page.find("<meta charset=");
    ASSERT_NE(meta, std::string::npos);
    page.erase(meta, page.find('>', meta) + 1 - meta);
    TestHttpServer server;
    server.Serve("/results.htm", {"text/html; charset=utf-8", page});
    std::string url = server.Url("/results.htm");

    ASSERT_TRUE(Start({url}));
    ASSERT_TRUE(WaitForPage(platform::Utf8ToUtf16(url)));
    const CDSCDoc &converted = ActiveDocument()->Page();
    EXPECT_EQ(converted.m_strRawHtml, page);
    EXPECT_EQ(converted.m_nOutputCodePage, 65001);
    ExpectSameAsBatchRun(converted, url);
    // The PBN window shows the names outside Latin-1 as the page has them.
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

TEST_F(WindowStartTest, WithoutPageAnEmptyBrowserTheHelpBookAndMenusThatFollowTheActiveWindow) {
    ASSERT_TRUE(Start({}));
    ASSERT_EQ(TabCount(), 1u);
    CDSCDocument *document = ActiveDocument();
    ASSERT_NE(document, nullptr);
    Pump(0.5);
    // Nothing was loaded: nothing to convert, nothing to show.
    EXPECT_FALSE(document->Page().m_bPageLoaded);
    EXPECT_EQ(CMainFrame::GetAddressText(), u"");
    EXPECT_FALSE(IsEnabled(ID_VIEW_SOURCE));
    EXPECT_FALSE(IsEnabled(ID_VIEW_PBN));
    EXPECT_TRUE(IsEnabled(ID_SHOW_STATUS));
    // A page window shows the document menu.
    EXPECT_EQ(MenuTitles(), (std::vector<std::string>{"&File", "&Edit", "&View", "&Browser", "F&avorites", "&Convert",
                                                      "&Window", "&Help"}));

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

    // With no page window open, the frame's own menu.
    ASSERT_TRUE(Command(wxID_CLOSE));
    ASSERT_TRUE(RunUntil([] { return TabCount() == 0; }, 5));
    EXPECT_TRUE(RunUntil([] { return MenuTitles() == std::vector<std::string>{"&File", "&View", "&Help"}; }, 5));
    // Nothing to cut, copy or paste into then.
    wxToolBar *tools = g_pMainFrame->GetToolBar();
    EXPECT_TRUE(RunUntil(
        [&] {
            return !tools->GetToolEnabled(wxID_CUT) && !tools->GetToolEnabled(wxID_COPY) &&
                   !tools->GetToolEnabled(wxID_PASTE);
        },
        5));
}

TEST_F(WindowStartTest, PageFileThatCannotBeOpenedEndsStartUp) {
    EXPECT_FALSE(Start({m_home + "/missing.htm"}));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text.rfind(u"Failed to open document.", 0), 0u);
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

TEST_F(WindowStartTest, DdaAloneWithoutTheCompanionReportsAndEnds) {
    EXPECT_FALSE(Start({"-dda", CopyPage("layout_a.htm", "results.htm")}));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].icon, IWindowPrompts::Icon::Error);
    EXPECT_FALSE(g_pMainFrame && g_pMainFrame->IsShown());
}

TEST_F(WindowStartTest, FailedStartUpEndsTheProgramWithAFailureCodeOnceItsBoxIsAnswered) {
    const std::vector<std::string> failures[] = {{m_home + "/missing.htm"},
                                                 {"-dda", CopyPage("layout_a.htm", "results.htm")}};
    for (const std::vector<std::string> &arguments : failures)
        EXPECT_EQ(RunProgram(arguments, 1), 1) << arguments[0];
}
