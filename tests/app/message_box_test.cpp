// The program's own message boxes over the real window, answered through their buttons.
#include <wx/button.h>
#include <wx/dialog.h>

#include "app/window/main_frame.h"
#include "window_driver.h"

namespace {

class MessageBoxTest : public GuiTest {
protected:
    ScopedHook<SetWindowPrompts> m_realBoxes{nullptr};

    static void Press(wxDialog &box, int id) {
        if (auto *button = dynamic_cast<wxButton *>(box.FindWindow(id)))
            Click(button->GetHandle());
    }
};

} // namespace

// The box asks as ChooseSavePath asks before a file is replaced: Yes answers yes, No answers no.
TEST_F(MessageBoxTest, YesAndNoOfTheRealBoxAnswerTheQuestion) {
    ASSERT_TRUE(Start({}));
    for (const int button : {wxID_YES, wxID_NO}) {
        wxString pressed;
        WhileDialogShown box([&](wxDialog &dialog) {
            if (auto *shown = dynamic_cast<wxButton *>(dialog.FindWindow(button)))
                pressed = shown->GetLabelText();
            Press(dialog, button);
            return true;
        });
        box.Register();
        const bool yes =
            WindowPrompts().AskYesNo(g_pMainFrame, u"page.pbn already exists.\r\nDo you want to replace it?", APP_NAME);
        box.Unregister();
        EXPECT_TRUE(box.closed);
        EXPECT_EQ(pressed, button == wxID_YES ? "Yes" : "No");
        EXPECT_EQ(yes, button == wxID_YES);
    }
}
