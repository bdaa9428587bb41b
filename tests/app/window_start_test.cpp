// The window's start-up, page windows and browser view, driven for real under an X server.
#include <filesystem>

#include <wx/aui/auibook.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/webview.h>

#include "app/window/browser_view.h"
#include "app/window/child_frame.h"
#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/text_view.h"
#include "app/window/window_app.h"
#include "app/window/wx_text.h"
#include "companion/class_registry.h"
#include "platform/file_uri.h"
#include "platform/wide_text.h"
#include "test_http_server.h"
#include "window_driver.h"

namespace {

size_t CountBoards(const std::string &pbn) {
    size_t count = 0;
    for (size_t at = pbn.find("[Board \""); at != std::string::npos; at = pbn.find("[Board \"", at + 1))
        ++count;
    return count;
}

std::u16string FileUri(const std::string &path) {
    return platform::Utf8ToUtf16(platform::FileUriFromPath(path));
}

} // namespace

class WindowStartTest : public WindowTest {
protected:
    // A copy of a test page in the test's home, under a name that needs escaping in a URI.
    std::string CopyPage(const std::string &page, const std::string &name) {
        std::string path = m_home + "/" + name;
        std::filesystem::copy_file(DataPath("conversion/" + page), path);
        return path;
    }
};

TEST_F(WindowStartTest, PageFileFromCommandLineConvertsAsTheBatchRunDoes) {
    std::string page = CopyPage("layout_a.htm", "club results #1.htm");
    ASSERT_TRUE(Start({page}));
    ASSERT_TRUE(g_pMainFrame->IsShown());
    ASSERT_TRUE(WaitForActivePage());
    CDSCDocument *document = ActiveDocument();
    ASSERT_NE(document, nullptr);
    const CDSCDoc &converted = document->Page();

    // The page file is loaded under its proper file URI, which the address box shows.
    EXPECT_EQ(converted.m_strURL, FileUri(page));
    EXPECT_EQ(CMainFrame::GetAddressText(), FileUri(page));
    EXPECT_NE(converted.m_strURL.find(u"club%20results%20%231.htm"), std::u16string::npos);

    // The same outputs as the batch run, byte for byte but for the time of the conversion.
    std::string pbnFile = m_home + "/batch.pbn", textFile = m_home + "/batch.txt";
    ASSERT_EQ(RunProgram({"-pbn", pbnFile, "-text", textFile, page}), 0);
    ASSERT_TRUE(converted.m_bConverted);
    EXPECT_EQ(WithoutCreatedLine(converted.m_strPbn), WithoutCreatedLine(ReadFile(pbnFile)));
    EXPECT_EQ(converted.m_strTextReport, ReadFile(textFile));
    size_t boards = CountBoards(converted.m_strPbn);
    ASSERT_GT(boards, 0u);
    EXPECT_EQ(converted.m_strStatus, platform::WidenAscii(std::to_string(boards) + " boards converted."));

    // The window's title names the page first; the command-line file is no recent file.
    RunUntil([] { return g_pMainFrame->GetTitle() == "Tuesday Evening Pairs - Dealscope"; }, 5);
    EXPECT_EQ(g_pMainFrame->GetTitle(), "Tuesday Evening Pairs - Dealscope");
    EXPECT_TRUE(wxGetApp().RecentFiles().empty());
    // The address box is four inches wide at the screen's resolution.
    EXPECT_EQ(CMainFrame::GetAddressBox()->GetSize().x, 4 * wxGetApp().m_nDpiX);
}

TEST_F(WindowStartTest, SecondPageOpensInSecondTabAndTabsKeepTheirAddresses) {
    std::string first = CopyPage("layout_a.htm", "first.htm");
    std::string second = CopyPage("layout_b.htm", "second.htm");
    ASSERT_TRUE(Start({first}));
    ASSERT_TRUE(WaitForActivePage());

    m_prompts.answers.push_back(second);
    ASSERT_TRUE(Command(wxID_OPEN));
    ASSERT_EQ(m_prompts.openFilters.size(), 1u);
    EXPECT_EQ(m_prompts.openFilters[0], u"HTML Files (*.htm; *.html)|*.htm;*.html|All Files (*.*)|*.*");
    ASSERT_TRUE(WaitForActivePage());
    wxAuiNotebook *tabs = g_pMainFrame->GetNotebook();
    EXPECT_EQ(tabs->GetPageCount(), 2u);
    EXPECT_EQ(CMainFrame::GetAddressText(), FileUri(second));
    // A file opened once the window is up enters the recent files.
    ASSERT_EQ(wxGetApp().RecentFiles().size(), 1u);
    EXPECT_EQ(wxGetApp().RecentFiles()[0], wxString::FromUTF8(second));

    tabs->SetSelection(0);
    EXPECT_TRUE(RunUntil([&] { return CMainFrame::GetAddressText() == FileUri(first); }, 5));
    EXPECT_EQ(ActiveDocument()->Page().m_strURL, FileUri(first));
    tabs->SetSelection(1);
    EXPECT_TRUE(RunUntil([&] { return CMainFrame::GetAddressText() == FileUri(second); }, 5));
}

TEST_F(WindowStartTest, BackAndForwardEnableAsPagesAreVisited) {
    std::string first = CopyPage("layout_a.htm", "first.htm");
    std::string second = CopyPage("layout_b.htm", "second.htm");
    ASSERT_TRUE(Start({first}));
    ASSERT_TRUE(WaitForActivePage());
    EXPECT_FALSE(IsEnabled(ID_GO_BACK));
    EXPECT_FALSE(IsEnabled(ID_GO_FORWARD));
    EXPECT_TRUE(IsEnabled(ID_REFRESH));
    EXPECT_FALSE(IsEnabled(ID_STOP));

    // Typed into the address box: a path that exists goes to that file.
    wxTextCtrl *box = CMainFrame::GetAddressBox();
    box->ChangeValue(wxString::FromUTF8(second));
    wxCommandEvent enter(wxEVT_TEXT_ENTER, box->GetId());
    enter.SetEventObject(box);
    box->ProcessWindowEvent(enter);
    ASSERT_TRUE(RunUntil([&] { return ActiveDocument()->Page().m_strURL == FileUri(second); }));
    ASSERT_TRUE(WaitForActivePage());
    EXPECT_TRUE(RunUntil([] { return IsEnabled(ID_GO_BACK); }, 5));
    EXPECT_FALSE(IsEnabled(ID_GO_FORWARD));

    ASSERT_TRUE(Command(ID_GO_BACK));
    ASSERT_TRUE(RunUntil([&] { return ActiveDocument()->Page().m_strURL == FileUri(first); }));
    EXPECT_TRUE(RunUntil([] { return IsEnabled(ID_GO_FORWARD); }, 5));
    EXPECT_FALSE(IsEnabled(ID_GO_BACK));
    EXPECT_EQ(CMainFrame::GetAddressText(), FileUri(first));

    ASSERT_TRUE(Command(ID_GO_FORWARD));
    ASSERT_TRUE(RunUntil([&] { return ActiveDocument()->Page().m_strURL == FileUri(second); }));
}

TEST_F(WindowStartTest, PopUpLinkOpensInNewTab) {
    TestHttpServer server;
    server.Serve("/index.htm", {"text/html", "<html><body><a id=\"pop\" target=\"_blank\" href=\"/b.htm\" "
                                             "style=\"position:absolute;left:0;top:0;width:400px;height:300px;"
                                             "display:block\">results</a></body></html>"});
    server.Serve("/b.htm", {"text/html", ReadFile(DataPath("conversion/layout_b.htm"))});
    ASSERT_TRUE(Start({server.Url("/index.htm")}));
    ASSERT_TRUE(WaitForActivePage());
    ASSERT_EQ(g_pMainFrame->GetNotebook()->GetPageCount(), 1u);

    // A click on the link, as the user makes it.
    wxWebView *webView = ActiveBrowserView()->GetWebView();
    webView->RunScript("document.getElementById('pop').click();");
    ASSERT_TRUE(RunUntil([] { return g_pMainFrame->GetNotebook()->GetPageCount() == 2; }, 10));
    ASSERT_TRUE(RunUntil([&] {
        CDSCDocument *document = ActiveDocument();
        return document && document->Page().m_strURL == platform::Utf8ToUtf16(server.Url("/b.htm")) &&
               document->Page().m_bConverted;
    }));
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
    ASSERT_TRUE(WaitForActivePage());
    const CDSCDoc &converted = ActiveDocument()->Page();
    EXPECT_EQ(converted.m_strURL, platform::Utf8ToUtf16(url));
    EXPECT_EQ(converted.m_strRawHtml, page);
    ASSERT_TRUE(converted.m_bConverted);
    EXPECT_EQ(converted.m_nOutputCodePage, 65001);
    // The PBN window shows the names outside Latin-1 as the page has them.
    ASSERT_TRUE(Command(ID_VIEW_PBN));
    ASSERT_NE(ActiveTextView(), nullptr);
    EXPECT_NE(FromWx(ActiveTextView()->GetTextCtrl()->GetValue()).find(u"\u0141"), std::u16string::npos);

    std::string pbnFile = m_home + "/batch.pbn", textFile = m_home + "/batch.txt";
    ASSERT_EQ(RunProgram({"-pbn", pbnFile, "-text", textFile, url}), 0);
    EXPECT_EQ(WithoutCreatedLine(converted.m_strPbn), WithoutCreatedLine(ReadFile(pbnFile)));
    EXPECT_EQ(converted.m_strTextReport, ReadFile(textFile));
}

TEST_F(WindowStartTest, ClosingTabWhilePageLoadsIsSafe) {
    TestHttpServer server;
    server.Serve("/slow.htm", {"text/html", ReadFile(DataPath("conversion/layout_a.htm")), 1500});
    std::string first = m_home + "/first.htm";
    std::filesystem::copy_file(DataPath("conversion/layout_b.htm"), first);
    ASSERT_TRUE(Start({first}));
    ASSERT_TRUE(WaitForActivePage());

    ASSERT_TRUE(Command(wxID_NEW));
    ASSERT_EQ(g_pMainFrame->GetNotebook()->GetPageCount(), 2u);
    ActiveBrowserView()->Navigate2(platform::Utf8ToUtf16(server.Url("/slow.htm")));
    ASSERT_TRUE(RunUntil([&] { return server.RequestCount() > 0; }, 10));
    ASSERT_TRUE(Command(wxID_CLOSE));
    Pump(2.5);
    EXPECT_EQ(g_pMainFrame->GetNotebook()->GetPageCount(), 1u);
    EXPECT_TRUE(ActiveDocument()->Page().m_bConverted);
}

TEST_F(WindowStartTest, NewWindowShowsEmptyBrowser) {
    ASSERT_TRUE(Start({}));
    ASSERT_EQ(g_pMainFrame->GetNotebook()->GetPageCount(), 1u);
    CDSCDocument *document = ActiveDocument();
    ASSERT_NE(document, nullptr);
    Pump(0.5);
    // Nothing was loaded: nothing to convert, nothing to show.
    EXPECT_FALSE(document->Page().m_bPageLoaded);
    EXPECT_EQ(CMainFrame::GetAddressText(), u"");
    EXPECT_FALSE(IsEnabled(ID_VIEW_SOURCE));
    EXPECT_FALSE(IsEnabled(ID_VIEW_PBN));
    EXPECT_TRUE(IsEnabled(ID_SHOW_STATUS));
}

TEST_F(WindowStartTest, DdaAloneAnalysesThePageThenShowsTheWindow) {
    ASSERT_EQ(companion::RegisterLocalServer(companion::TRICKSMITH_CLASS_ID, companion::TRICKSMITH_PROG_ID,
                                             DEALSCOPE_STANDIN),
              "");
    std::string page = m_home + "/results.htm";
    std::filesystem::copy_file(DataPath("conversion/layout_a.htm"), page);
    ASSERT_TRUE(Start({"-dda", page}));
    EXPECT_TRUE(m_prompts.messages.empty());
    ASSERT_TRUE(g_pMainFrame->IsShown());
    const CDSCDoc &converted = ActiveDocument()->Page();
    EXPECT_TRUE(converted.m_bPageLoaded);
    EXPECT_FALSE(converted.m_ddResults.empty());
    EXPECT_NE(converted.m_strPbn.find("[DoubleDummyTricks \""), std::string::npos);
    // The analysis left its temporary file behind, named after the page.
    EXPECT_TRUE(std::filesystem::exists(m_home + "/tmp/results.pbn"));
}

TEST_F(WindowStartTest, PageFileThatCannotBeOpenedEndsStartUp) {
    EXPECT_FALSE(Start({m_home + "/missing.htm"}));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text.rfind(u"Failed to open document.", 0), 0u);
}

TEST_F(WindowStartTest, MenusFollowTheActiveWindow) {
    ASSERT_TRUE(Start({}));
    auto titles = [] {
        std::vector<std::string> result;
        wxMenuBar *bar = g_pMainFrame->GetMenuBar();
        for (size_t i = 0; bar && i < bar->GetMenuCount(); ++i)
            result.push_back(std::string(bar->GetMenuLabel(i).utf8_str()));
        return result;
    };
    // A page window shows the document menu.
    EXPECT_EQ(titles(), (std::vector<std::string>{"&File", "&Edit", "&View", "&Browser", "F&avorites", "&Convert",
                                                  "&Window", "&Help"}));
    // With no window open, the frame's own menu.
    ASSERT_TRUE(Command(wxID_CLOSE));
    ASSERT_TRUE(RunUntil([] { return g_pMainFrame->GetNotebook()->GetPageCount() == 0; }, 5));
    EXPECT_TRUE(RunUntil([&] { return titles() == std::vector<std::string>{"&File", "&View", "&Help"}; }, 5));
}

TEST_F(WindowStartTest, RecentFilesListPagesOpenedInTheWindow) {
    std::string first = m_home + "/first.htm", second = m_home + "/second.htm";
    std::filesystem::copy_file(DataPath("conversion/layout_a.htm"), first);
    std::filesystem::copy_file(DataPath("conversion/layout_b.htm"), second);
    ASSERT_TRUE(Start({first}));
    ASSERT_TRUE(WaitForActivePage());
    m_prompts.answers.push_back(second);
    ASSERT_TRUE(Command(wxID_OPEN));
    ASSERT_TRUE(WaitForActivePage());

    wxMenuBar *bar = g_pMainFrame->GetMenuBar();
    g_pMainFrame->RefreshRecentFiles(bar);
    wxMenuItem *item = bar->FindItem(wxID_FILE1);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetItemLabel(), "&1 " + wxString::FromUTF8(second));
    EXPECT_EQ(bar->FindItem(wxID_FILE2), nullptr);
    // Kept in the settings for the next start.
    EXPECT_NE(ReadFile(m_home + "/config/Dealscope/Dealscope.ini").find(second), std::string::npos);

    // Chosen from the menu, the file opens again (in the window that already shows it).
    ASSERT_TRUE(Command(wxID_CLOSE));
    ASSERT_TRUE(RunUntil([] { return g_pMainFrame->GetNotebook()->GetPageCount() == 1; }, 5));
    g_pMainFrame->RefreshRecentFiles(g_pMainFrame->GetMenuBar());
    ASSERT_TRUE(Command(wxID_FILE1));
    ASSERT_TRUE(RunUntil([] { return g_pMainFrame->GetNotebook()->GetPageCount() == 2; }, 5));
    ASSERT_TRUE(WaitForActivePage());
    EXPECT_EQ(ActiveDocument()->Page().m_strURL, FileUri(second));
}

TEST_F(WindowStartTest, ViewHelpOpensTheHelpBookAtItsContents) {
    ASSERT_TRUE(Start({}));
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
    // It opens on the book's first page, what the program does.
    EXPECT_TRUE(RunUntil(
        [&] { return help->GetTitle().Contains("index.htm") || help->GetTitle().Contains("What Dealscope does"); }, 5));
}

TEST_F(WindowStartTest, DdaAloneWithoutTheCompanionReportsAndEnds) {
    std::string page = m_home + "/results.htm";
    std::filesystem::copy_file(DataPath("conversion/layout_a.htm"), page);
    EXPECT_FALSE(Start({"-dda", page}));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].icon, IWindowPrompts::Icon::Error);
    EXPECT_FALSE(g_pMainFrame && g_pMainFrame->IsShown());
}
