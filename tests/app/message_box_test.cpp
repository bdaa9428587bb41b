// The program's own message boxes over the real window, answered through their buttons.
#include <wx/button.h>
#include <wx/dialog.h>

#include "app/window/main_frame.h"
#include "window_driver.h"

using MessageBoxTest = GuiTest;

// The box asks as ChooseSavePath asks before a file is replaced: the button labelled Yes answers yes, No answers no.
TEST_F(MessageBoxTest, YesAndNoOfTheRealBoxAnswerTheQuestion) {
    ASSERT_TRUE(Start({}));
    ScopedHook<SetWindowPrompts> realBoxes{nullptr};
    for (const int id : {wxID_YES, wxID_NO}) {
        wxString pressed;
        WhenDialogShown box([&](wxDialog &dialog) {
            if (auto *button = dynamic_cast<wxButton *>(dialog.FindWindow(id)))
                pressed = button->GetLabelText(), Click(button->GetHandle());
        });
        box.Register();
        const bool yes =
            WindowPrompts().AskYesNo(g_pMainFrame, u"page.pbn already exists.\r\nDo you want to replace it?", APP_NAME);
        box.Unregister();
        EXPECT_EQ(pressed, id == wxID_YES ? "Yes" : "No");
        EXPECT_EQ(yes, id == wxID_YES);
    }
}
