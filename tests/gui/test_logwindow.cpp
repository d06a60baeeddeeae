// The log window shows the header and the pending lines read-only, names its text for
// screen readers, and Escape closes it.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "shell/base/Log.h"
#include "shell/core/Startup.h"
#include "shell/gui/LogWindow.h"

namespace {
class TestApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};
void Pump() {
    for (int i = 0; i < 20; ++i) {
        wxYield();
        wxMilliSleep(10);
    }
}
} // namespace

TEST(LogWindow, ShowsHeaderThenLinesReadOnlyAndNamed) {
    Log_Reset();
    Log("Orvalis 1.10.1708.2300 Unicode", 0, 1);
    Log("- une ligne é");
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Orvalis");
    ASSERT_TRUE(OpenLogWindow(frame));
    ShowLog(1);
    Pump();
    wxTextCtrl* text = LogWindow_Text();
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->IsEditable());
    EXPECT_TRUE(text->IsMultiLine());
    EXPECT_EQ(std::string(text->GetName().ToUTF8()), "Log de " + AppName);
    const std::string shown(text->GetValue().ToUTF8());
    EXPECT_NE(shown.find("Orvalis 1.10.1708.2300 Unicode"), std::string::npos);
    EXPECT_NE(shown.find("- une ligne é"), std::string::npos);
    EXPECT_LT(shown.find("Unicode"), shown.find("une ligne"));
    EXPECT_EQ(std::string(text->GetParent()->GetLabel().ToUTF8()), "Log de " + AppName);

    // Escape closes the window.
    text->SetFocus();
    Pump();
    wxUIActionSimulator sim;
    sim.Char(WXK_ESCAPE);
    Pump();
    EXPECT_FALSE(text->GetParent()->IsShown());
    LogWindow_Destroy();
    frame->Destroy();
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new TestApp);
    wxEntryStart(argc, argv);
    wxTheApp->CallOnInit();
    const int rc = RUN_ALL_TESTS();
    wxEntryCleanup();
    return rc;
}
