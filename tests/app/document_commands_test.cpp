// The document menu's commands in the real window, walked through as a person would: Show Status, a failed
// analysis, text windows, the recap option, Save As, the hand-off to the companion and a page without boards.
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

TEST_F(GuiTest, DocumentCommandsFollowTheConversion) {
    const std::string page = CopyPage("windows1252_accents.htm", "tuesday.htm");
    ASSERT_TRUE(Start({page}) && WaitForPage());
    CDSCDocument *document = ActiveDocument();
    const CDSCDoc &doc = document->Page();
    ASSERT_TRUE(Command(ID_SHOW_STATUS));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text, u"Conversion successful.\r\n\r\n" + doc.m_strStatus);
    const int boardCommands[] = {ID_VIEW_PBN,     ID_SAVE_PBN_AS,          ID_VIEW_TEXT,
                                 ID_SAVE_TEXT_AS, ID_OPEN_WITH_TRICKSMITH, ID_DOUBLE_DUMMY_ALL};
    for (int id : boardCommands)
        EXPECT_TRUE(IsEnabled(id)) << id;

    // No companion registered: once the menu is gone and under the busy cursor, the analysis is reported as failed
    // and the document stays as it was.
    const std::string before = doc.m_strPbn;
    m_prompts.messages.clear();
    ASSERT_TRUE(Command(ID_DOUBLE_DUMMY_ALL));
    EXPECT_TRUE(m_prompts.messages.empty());
    ASSERT_TRUE(RunUntil([&] { return !m_prompts.messages.empty(); }, 10));
    EXPECT_TRUE(m_prompts.messages[0].busy);
    EXPECT_EQ(m_prompts.messages[0].icon, IWindowPrompts::Icon::Error);
    EXPECT_EQ(doc.m_strPbn, before);
    m_prompts.messages.clear();

    auto activateTab = [](size_t index) {
        g_pMainFrame->GetNotebook()->SetSelection(index);
        Pump(0.1);
    };
    ASSERT_TRUE(Command(ID_VIEW_SOURCE));
    EXPECT_EQ(ActiveText(), AsShown(doc.m_strHtml));
    EXPECT_NE(ActiveText().find(u"\u00E9"), std::u16string::npos); // decoded from Windows-1252
    activateTab(0);
    ASSERT_TRUE(Command(ID_VIEW_TEXT));
    EXPECT_EQ(ActiveText(), AsShown(doc.m_strTextReport, doc.m_nOutputCodePage));
    activateTab(0);
    ASSERT_TRUE(Command(ID_VIEW_PBN));
    wxWindow *pbnWindow = g_pMainFrame->GetActiveChild();
    activateTab(0);
    ASSERT_TRUE(Command(ID_VIEW_PBN)); // a second View PBN brings the open window forward
    EXPECT_EQ(TabCount(), 4u);
    EXPECT_EQ(g_pMainFrame->GetActiveChild(), pbnWindow);
    EXPECT_EQ(ActiveText(), AsShown(doc.m_strPbn, doc.m_nOutputCodePage));

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
    EXPECT_NE(doc.m_strPbn.find("[Board \"Recap\"]"), std::string::npos);
    EXPECT_EQ(ActiveText(), AsShown(doc.m_strPbn, doc.m_nOutputCodePage));
    EXPECT_TRUE(IsChecked(ID_RECAP_INSERT_BOARD) && !IsChecked(ID_RECAP_OMIT));
    EXPECT_EQ(platform::AppSettings().GetInt("Settings", "RecapOption", -1), 1);

    // Closing a text window leaves the page open.
    pbnWindow->Close();
    ASSERT_TRUE(RunUntil([] { return TabCount() == 3; }, 5));
    EXPECT_EQ(document->m_pTextFrames[TEXT_PBN], nullptr);
    activateTab(0);

    // A name typed without its extension gets it first; a file that exists is replaced only when the user says
    // so, and No goes back to the dialog.
    const std::string pbn = m_home + "/saved.pbn", text = m_home + "/saved.txt";
    for (const char *name : {"/saved.htm", "/saved.pbn", "/saved.txt"})
        WriteFile(m_home + name, "old content");
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
    EXPECT_EQ(ReadFile(m_home + "/saved.htm"), ReadFile(page)); // the page exactly as loaded from its file
    EXPECT_EQ(ReadFile(pbn), doc.m_strPbn);
    EXPECT_EQ(ReadFile(text), doc.m_strTextReport);

    // A path under a regular file cannot be written: the error names the path, and no file changes.
    const std::string impossible = text + "/inside.pbn";
    m_prompts.answers = {impossible};
    ASSERT_TRUE(Command(ID_SAVE_PBN_AS));
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].text.rfind(platform::Utf8ToUtf16(impossible) + u":\r\n", 0), 0u);
    EXPECT_EQ(ReadFile(text), doc.m_strTextReport);

    {
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

    // Open with Tricksmith starts the registered program on a new file each time (the analysis made the first).
    const std::string program = m_home + "/tricksmith.sh", record = m_home + "/started-with.txt";
    WriteFile(program,
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".part'\nmv '" + record + ".part' '" + record + "'\n");
    fs::permissions(program, fs::perms::owner_all);
    ASSERT_EQ(RegisterCompanion(program), "");
    for (const char *handedOff : {"/tmp/tuesday-1.pbn", "/tmp/tuesday-2.pbn"}) {
        fs::remove(record);
        ASSERT_TRUE(Command(ID_OPEN_WITH_TRICKSMITH));
        ASSERT_TRUE(RunUntil([&] { return fs::exists(record); }, 10));
        EXPECT_EQ(ReadFile(record), m_home + handedOff + "\n");
        EXPECT_EQ(ReadFile(m_home + handedOff), doc.m_strPbn);
    }

    // A page without boards: only the page's own commands stay.
    m_prompts.answers = {CopyPage("no_boards.htm", "empty.htm")};
    ASSERT_TRUE(Command(wxID_OPEN));
    ASSERT_TRUE(RunUntil([] { return ActiveDocument() && ActiveDocument()->Page().m_bPageLoaded; }));
    EXPECT_TRUE(IsEnabled(ID_VIEW_SOURCE) && IsEnabled(ID_SAVE_HTML_AS));
    for (int id : boardCommands)
        EXPECT_FALSE(IsEnabled(id)) << id;
}
