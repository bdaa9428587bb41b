#include <gtest/gtest.h>

#include <wx/hyperlink.h>
#include <wx/stattext.h>

#include "app/window/about_box.h"
#include "app/window/wx_text.h"
#include "platform/wide_text.h"

TEST(AboutBox, ShowsNameVersionAndNotice) {
    CAboutDlg dialog(nullptr);
    EXPECT_EQ(dialog.GetTitle(), "About Dealscope");
    EXPECT_EQ(FromWx(dialog.FindWindow(CAboutDlg::IDC_VERSION)->GetLabel()),
              platform::Utf8ToUtf16(EXPECTED_VERSION_LINE));
    const wxString notice = dialog.FindWindow(CAboutDlg::IDC_LEGAL_NOTICE)->GetLabel();
    EXPECT_NE(notice.Find("Greenbaize Works"), wxNOT_FOUND);
    // Both texts fit their controls whatever the system's font.
    for (int id : {CAboutDlg::IDC_VERSION, CAboutDlg::IDC_LEGAL_NOTICE}) {
        wxWindow *text = dialog.FindWindow(id);
        EXPECT_LE(text->GetTextExtent(text->GetLabel()).x, text->GetSize().x) << id;
        EXPECT_LE(text->GetRect().GetRight(), dialog.GetClientSize().x) << id;
    }
}

TEST(AboutBox, LinkOpensTheMakersPageAndStaysOpen) {
    std::vector<wxString> opened;
    auto previous = CAboutDlg::SetBrowserLauncher([&opened](const wxString &url) { opened.push_back(url); });
    {
        CAboutDlg dialog(nullptr);
        dialog.Show();
        auto *link = dynamic_cast<wxHyperlinkCtrl *>(dialog.FindWindow(CAboutDlg::IDC_WEBSITE_LINK));
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->GetLabel(), "Visit the Tricksmith website");
        wxHyperlinkEvent click(link, link->GetId(), link->GetURL());
        link->GetEventHandler()->ProcessEvent(click);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0], "https://www.greenbaize.example/dealscope");
        EXPECT_TRUE(dialog.IsShown());
    }
    CAboutDlg::SetBrowserLauncher(previous);
}
