// The document menu's commands in the real window: text windows, Show Status, Save As, recap option, and the
// companion's two commands.
#include <filesystem>

#include <gtk/gtk.h>

#include <wx/aui/auibook.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/textctrl.h>

#include "app/window/browser_view.h"
#include "app/window/command_ids.h"
#include "app/window/main_frame.h"
#include "app/window/page_document.h"
#include "app/window/text_view.h"
#include "platform/code_page.h"
#include "platform/settings.h"
#include "platform/wide_text.h"
#include "window_driver.h"

namespace {

class DocumentCommandsTest : public GuiTest {
protected:
    // Starts the window on a copy of a test page and waits for its conversion.
    CDSCDocument *StartOn(const std::string &page, const std::string &name = "results.htm") {
        m_page = CopyPage(page, name);
        return Start({m_page}) && WaitForPage() ? ActiveDocument() : nullptr;
    }

    static void ActivateTab(size_t index) {
        g_pMainFrame->GetNotebook()->SetSelection(index);
        Pump(0.1);
    }

    std::string m_page;
};

// What a text window must show: the text (an output text in the document's output code page) with each CR LF as
// one line end.
std::u16string AsShown(const std::u16string &text) {
    std::u16string shown;
    for (size_t i = 0; i < text.size(); ++i)
        if (text.compare(i, 2, u"\r\n") != 0)
            shown += text[i];
    return shown;
}

std::u16string AsShown(const std::string &text, int codePage) {
    return AsShown(platform::ConvertFromCodePage(text, static_cast<unsigned>(codePage)));
}

} // namespace

TEST_F(DocumentCommandsTest, TextWindowsShowTheDocumentsTextsAndFollowARecapChange) {
    CDSCDocument *document = StartOn("windows1252_accents.htm");
    ASSERT_NE(document, nullptr);
    const CDSCDoc &page = document->Page();
    ASSERT_TRUE(Command(ID_VIEW_SOURCE));
    EXPECT_EQ(ActiveText(), AsShown(page.m_strHtml));
    EXPECT_NE(ActiveText().find(u"\u00E9"), std::u16string::npos); // decoded from Windows-1252
    ActivateTab(0);
    ASSERT_TRUE(Command(ID_VIEW_TEXT));
    EXPECT_EQ(ActiveText(), AsShown(page.m_strTextReport, page.m_nOutputCodePage));
    ActivateTab(0);
    ASSERT_TRUE(Command(ID_VIEW_PBN));
    wxWindow *pbnWindow = g_pMainFrame->GetActiveChild();
    ActivateTab(0);
    ASSERT_TRUE(Command(ID_VIEW_PBN)); // a second View PBN brings the open window forward
    EXPECT_EQ(TabCount(), 4u);
    EXPECT_EQ(g_pMainFrame->GetActiveChild(), pbnWindow);
    EXPECT_EQ(ActiveText(), AsShown(page.m_strPbn, page.m_nOutputCodePage));

    // Copy only with a selection; Cut and Paste never in a text window.
    wxTextCtrl *control = ActiveTextView()->GetTextCtrl();
    control->SetSelection(0, 0);
    EXPECT_FALSE(IsEnabled(wxID_COPY));
    control->SetSelection(0, 5);
    EXPECT_TRUE(IsEnabled(wxID_COPY));
    EXPECT_FALSE(IsEnabled(wxID_CUT) || IsEnabled(wxID_PASTE) || IsEnabled(ID_REFRESH));

    // Chosen from the PBN window's own menu, the recap option converts the page again, the window shows the new
    // text, and the choice is the default of pages opened later.
    EXPECT_TRUE(IsChecked(ID_RECAP_OMIT));
    ASSERT_TRUE(Command(ID_RECAP_INSERT_BOARD));
    EXPECT_NE(page.m_strPbn.find("[Board \"Recap\"]"), std::string::npos);
    EXPECT_EQ(ActiveText(), AsShown(page.m_strPbn, page.m_nOutputCodePage));
    EXPECT_TRUE(IsChecked(ID_RECAP_INSERT_BOARD) && !IsChecked(ID_RECAP_OMIT));
    EXPECT_EQ(platform::AppSettings().GetInt("Settings", "RecapOption", -1), 1);

    // Closing a text window leaves the page open.
    pbnWindow->Close();
    ASSERT_TRUE(RunUntil([] { return TabCount() == 3; }, 5));
    EXPECT_EQ(document->m_pTextFrames[TEXT_PBN], nullptr);
}

TEST_F(DocumentCommandsTest, SaveAsAddsTheExtensionAsksBeforeReplacingAndAFailedSaveKeepsOldFiles) {
    CDSCDocument *document = StartOn("windows1252_accents.htm", "tuesday.htm");
    ASSERT_NE(document, nullptr);
    const CDSCDoc &page = document->Page();
    std::string pbn = m_home + "/saved.pbn", text = m_home + "/saved.txt";
    WriteFile(m_home + "/saved.htm", "old content");
    WriteFile(pbn, "old content");
    WriteFile(text, "old content");
    // A name typed without its extension gets it first; a file that exists is replaced only when the user says
    // so, and No goes back to the dialog.
    m_prompts.answers = {m_home + "/saved", pbn, m_home + "/saved", m_home + "/saved"};
    m_prompts.replies = {true, true, false, true};
    ASSERT_TRUE(Command(ID_SAVE_HTML_AS));
    ASSERT_TRUE(Command(ID_SAVE_PBN_AS));
    ASSERT_TRUE(Command(ID_SAVE_TEXT_AS));
    const std::u16string replaceText = u" already exists.\nDo you want to replace it?";
    EXPECT_EQ(m_prompts.questions,
              (std::vector<std::u16string>{u"saved.htm" + replaceText, u"saved.pbn" + replaceText,
                                           u"saved.txt" + replaceText, u"saved.txt" + replaceText}));
    ASSERT_EQ(m_prompts.saveRequests.size(), 4u);
    EXPECT_EQ(m_prompts.saveRequests[1].defaultPath, u"tuesday.pbn");
    EXPECT_EQ(m_prompts.saveRequests[2].filter, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(ReadFile(m_home + "/saved.htm"), ReadFile(m_page)); // the page exactly as loaded from its file
    EXPECT_EQ(ReadFile(pbn), page.m_strPbn);
    EXPECT_EQ(ReadFile(text), page.m_strTextReport);

    // A path under a regular file cannot be written: the error names the path, and no file changes.
    std::string impossible = text + "/inside.pbn";
    m_prompts.answers = {impossible};
    ASSERT_TRUE(Command(ID_SAVE_PBN_AS));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text.rfind(platform::Utf8ToUtf16(impossible) + u":\r\n", 0), 0u);
    EXPECT_EQ(ReadFile(text), page.m_strTextReport);

    // The real file dialogs carry their commands' titles on their windows.
    struct TitleHook : wxModalDialogHook {
        std::vector<wxString> titles;
        int Enter(wxDialog *dialog) override {
            titles.push_back(wxString::FromUTF8(gtk_window_get_title(GTK_WINDOW(dialog->GetHandle()))));
            return wxID_CANCEL;
        }
        void Exit(wxDialog *) override {}
    } hook;
    hook.Register();
    ScopedHook<SetWindowPrompts> realDialogs(nullptr);
    ASSERT_TRUE(Command(wxID_OPEN));
    ASSERT_TRUE(Command(ID_SAVE_PBN_AS));
    hook.Unregister();
    EXPECT_EQ(hook.titles, (std::vector<wxString>{"Open", "Save As"}));
}

TEST_F(DocumentCommandsTest, ShowStatusTheEnableRulesAndAFailedAnalysisFollowTheConversion) {
    CDSCDocument *document = StartOn("layout_a.htm");
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(Command(ID_SHOW_STATUS));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text, u"Conversion successful.\r\n\r\n" + document->Page().m_strStatus);
    const int boardCommands[] = {ID_VIEW_PBN,     ID_SAVE_PBN_AS,          ID_VIEW_TEXT,
                                 ID_SAVE_TEXT_AS, ID_OPEN_WITH_TRICKSMITH, ID_DOUBLE_DUMMY_ALL};
    for (int id : boardCommands)
        EXPECT_TRUE(IsEnabled(id)) << id;

    // No companion registered: once the menu is gone and under the busy cursor, the analysis is reported as failed
    // and the document stays as it was.
    std::string before = document->Page().m_strPbn;
    m_prompts.messages.clear();
    ASSERT_TRUE(Command(ID_DOUBLE_DUMMY_ALL));
    EXPECT_TRUE(m_prompts.messages.empty());
    ASSERT_TRUE(RunUntil([&] { return !m_prompts.messages.empty(); }, 10));
    EXPECT_TRUE(m_prompts.messages[0].busy);
    EXPECT_EQ(m_prompts.messages[0].icon, IWindowPrompts::Icon::Error);
    EXPECT_EQ(document->Page().m_strPbn, before);

    // A page without boards: only the page's own commands stay.
    m_prompts.answers = {CopyPage("no_boards.htm", "empty.htm")};
    ASSERT_TRUE(Command(wxID_OPEN));
    ASSERT_TRUE(RunUntil([] { return ActiveDocument() && ActiveDocument()->Page().m_bPageLoaded; }));
    EXPECT_TRUE(IsEnabled(ID_VIEW_SOURCE) && IsEnabled(ID_SAVE_HTML_AS));
    for (int id : boardCommands)
        EXPECT_FALSE(IsEnabled(id)) << id;
}

TEST_F(DocumentCommandsTest, DoubleDummyAllAddsTheTablesToThePbnWindow) {
    ASSERT_EQ(RegisterCompanion(), "");
    CDSCDocument *document = StartOn("layout_a.htm");
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(Command(ID_VIEW_PBN));
    ASSERT_TRUE(Command(ID_DOUBLE_DUMMY_ALL));
    ASSERT_TRUE(RunUntil([&] { return !document->Page().m_ddResults.empty(); }, 30));
    EXPECT_TRUE(m_prompts.messages.empty());
    EXPECT_NE(ActiveText().find(u"[OptimumResultTable \""), std::u16string::npos);
    EXPECT_FALSE(IsEnabled(ID_DOUBLE_DUMMY_ALL)); // with results in, until a page loads again
}

TEST_F(DocumentCommandsTest, OpenWithTricksmithStartsTheRegisteredProgramOnANewFile) {
    std::string program = m_home + "/tricksmith.sh", record = m_home + "/started-with.txt";
    WriteFile(program,
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".part'\nmv '" + record + ".part' '" + record + "'\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    ASSERT_EQ(RegisterCompanion(program), "");
    CDSCDocument *document = StartOn("layout_a.htm");
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(Command(ID_OPEN_WITH_TRICKSMITH));
    ASSERT_TRUE(RunUntil([&] { return std::filesystem::exists(record); }, 10));
    EXPECT_EQ(ReadFile(record), m_home + "/tmp/results.pbn\n");
    EXPECT_EQ(ReadFile(m_home + "/tmp/results.pbn"), document->Page().m_strPbn);
    std::filesystem::remove(record);
    ASSERT_TRUE(Command(ID_OPEN_WITH_TRICKSMITH));
    ASSERT_TRUE(RunUntil([&] { return std::filesystem::exists(record); }, 10));
    EXPECT_EQ(ReadFile(record), m_home + "/tmp/results-1.pbn\n"); // the next hand-off makes a new file
}
