// The alarm pop-up on a real display: placed at the bottom right of the desktop, above the
// other windows, its text focused and read-only, gone by itself after about two seconds;
// and an alarm driven through ProcessNotifications shows it once.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include <wx/app.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/window.h>

#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "update/worker/Notifications.h"
#include "update/gui/AlarmPopUp.h"

namespace {
void Pump(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool PumpUntil(const std::function<bool()>& done, int seconds = 10) {
    for (int i = 0; i < seconds * 50 && !done(); ++i)
        Pump(20);
    return done();
}

wxFrame* FindPopUp(const wxString& title) {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* f = dynamic_cast<wxFrame*>(w);
            f && f->GetTitle() == title && !f->IsBeingDeleted())
            return f;
    return nullptr;
}
} // namespace

TEST(AlarmPopUp, ShowsTheTextFocusedAtTheBottomRightAndGoesAwayByItself) {
    bool closed = false;
    AlarmPopUp("Notification Orvalis", "Le Monde", [&] { closed = true; });
    wxFrame* frame = FindPopUp("Notification Orvalis");
    ASSERT_NE(frame, nullptr);
    Pump(200);
    EXPECT_TRUE(frame->HasFlag(wxSTAY_ON_TOP));
    const wxRect area = wxDisplay(0u).GetClientArea();
    EXPECT_EQ(frame->GetPosition().x, area.GetRight() + 1 - 200);
    EXPECT_EQ(frame->GetPosition().y, area.GetBottom() + 1 - 100);
    wxTextCtrl* text = nullptr;
    for (wxWindow* panel : frame->GetChildren())
        for (wxWindow* child : panel->GetChildren())
            if (!text) text = dynamic_cast<wxTextCtrl*>(child);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetValue().ToUTF8(), std::string("Le Monde"));
    EXPECT_FALSE(text->IsEditable());
    EXPECT_EQ(text->GetPosition(), wxPoint(10, 10));
    EXPECT_EQ(text->GetSize(), wxSize(180, 80));
    EXPECT_EQ(text->GetName().ToUTF8(), std::string("Notification Orvalis"));
    EXPECT_FALSE(closed);
    EXPECT_TRUE(PumpUntil([&] { return closed; }));
    Pump(100);
    EXPECT_EQ(FindPopUp("Notification Orvalis"), nullptr);
}

TEST(AlarmPopUp, AnAlarmShowsOnePopUpAtATime) {
    AlarmPopUp_Install();
    Alarm_Hooks().Say = [](const std::string&, int) {};
    AlarmGap_SetLength(1);
    PrefFlags = PREF_ALARMBYPOPUP;
    Notify("Premier", ALARM_NEW_ARTICLES);
    Notify("Second", ALARM_NEW_ARTICLES);
    ProcessNotifications();
    ASSERT_NE(FindPopUp("Notification " + wxString::FromUTF8(AppName)), nullptr);
    PumpUntil([] { return !AlarmGap_Running(); });
    ProcessNotifications(); // the first pop-up still shows: none for the second alarm
    int shown = 0;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* f = dynamic_cast<wxFrame*>(w);
            f && !f->IsBeingDeleted() && f->GetTitle().StartsWith("Notification"))
            ++shown;
    EXPECT_EQ(shown, 1);
    Notifications_Shutdown();
    PumpUntil([] { return FindPopUp("Notification Orvalis") == nullptr; });
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);
    wxEntryStart(argc, argv);
    wxTheApp->CallOnInit();
    int rc = RUN_ALL_TESTS();
    wxEntryCleanup();
    return rc;
}
