// The message, input and wait boxes driven in-process: layout, closing, results and the
// wait box's cancel. With ORVALIS_BOX_DEMO set, the program instead shows one box and
// prints its answer, for the accessibility test in tests/e2e/test_message_box.py.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "access/gui/ReqInput.h"
#include "access/gui/RequestMessage.h"
#include "access/gui/WaitBox.h"
#include "support/TestSupport.h"

namespace {
// Runs `step` inside the next modal loop, once the box exists.
void WhenShown(std::function<void()> step) {
    wxTheApp->CallAfter([step] {
        for (int i = 0;
             i < 200 && !wxWindow::FindWindowById(2251) && !wxWindow::FindWindowById(2272); ++i)
            wxTheApp->Yield(true);
        step();
    });
}

wxTopLevelWindow* Box() {
    wxWindow* w = wxWindow::FindWindowById(2251);
    if (!w) w = wxWindow::FindWindowById(2272);
    return w ? static_cast<wxTopLevelWindow*>(wxGetTopLevelParent(w)) : nullptr;
}

void Click(int id) {
    auto* b = static_cast<wxButton*>(wxWindow::FindWindowById(id));
    wxCommandEvent ev(wxEVT_BUTTON, id);
    ev.SetEventObject(b);
    b->GetEventHandler()->ProcessEvent(ev);
}

std::string Demo(const std::string& what) {
    std::string title = "Question";
    std::string text = "Première ligne\r\nDeuxième ligne\r\nTroisième ligne";
    if (what == "ok") return "result=" + std::to_string(RequestMessage(title, text, 0, nullptr));
    if (what == "yesno") return "result=" + std::to_string(RequestMessage(title, text, 4, nullptr));
    if (what == "yesnocancel")
        return "result=" + std::to_string(RequestMessage(title, text, 3, nullptr));
    if (what == "input")
        return "value=" + ReqInput("Nom", "Nom du groupe :", "Actualités", 0, nullptr);
    if (what == "wait") {
        auto* main = new wxFrame(nullptr, wxID_ANY, "Orvalis", wxDefaultPosition, wxSize(400, 300));
        main->Show();
        WaitBox_Create(main);
        WaitBox_Open("Importation", "Importation des flux", 0, 10, false);
        int step = 0;
        while (!WaitBox_Cancelled())
            WaitBox_SetProgress(++step % 10);
        WaitBox_Close();
        return "cancelled=1";
    }
    return "unknown";
}
} // namespace

TEST(MessageBoxLayout, AOneLineMessageGetsThreeLinesAndALongOneTwenty) {
    int heights[2] = {0, 0};
    WhenShown([&] {
        heights[0] = wxWindow::FindWindowById(2251)->GetSize().GetHeight();
        Box()->Close();
    });
    EXPECT_EQ(RequestMessage("Info", "Une ligne", 0, nullptr), 2); // closing gives 2
    std::string longText;
    for (int i = 0; i < 40; ++i)
        longText += "Ligne " + std::to_string(i) + "\r\n";
    WhenShown([&] {
        heights[1] = wxWindow::FindWindowById(2251)->GetSize().GetHeight();
        Box()->Close();
    });
    EXPECT_EQ(RequestMessage("Info", longText, 0, nullptr), 2);
    EXPECT_EQ(heights[0], 66);
    EXPECT_EQ(heights[1], 440);
}

TEST(MessageBoxButtons, EachKindHasItsButtonsAndResults) {
    struct Row {
        int kind;
        int click;
        int result;
        bool hasNo, hasCancel;
    } rows[] = {
        {0, 2253, 6, false, false}, // "Ok"
        {4, 2253, 6, true, false},  // "Oui"
        {4, 2254, 7, true, false},  // "Non"
        {3, 2252, 2, true, true},   // "Cancel"
        {7, 2253, 6, false, false}, // any other kind: "Ok"
    };
    for (const Row& r : rows) {
        bool no = false, cancel = false;
        std::string yesLabel;
        WhenShown([&] {
            no = wxWindow::FindWindowById(2254) != nullptr;
            cancel = wxWindow::FindWindowById(2252) != nullptr;
            yesLabel = wxWindow::FindWindowById(2253)->GetLabel().ToStdString();
            Click(r.click);
        });
        EXPECT_EQ(RequestMessage("Titre", "Texte", r.kind, nullptr), r.result) << r.kind;
        EXPECT_EQ(no, r.hasNo) << r.kind;
        EXPECT_EQ(cancel, r.hasCancel) << r.kind;
        EXPECT_EQ(yesLabel, (r.kind == 3 || r.kind == 4) ? "Oui" : "Ok");
    }
}

TEST(MessageBoxOwner, TheOwnerIsDisabledMeanwhileAndGetsItsFocusBack) {
    auto* owner = new wxFrame(nullptr, wxID_ANY, "Propriétaire");
    auto* field = new wxTextCtrl(owner, wxID_ANY, "x");
    owner->Show();
    field->SetFocus();
    bool enabledMeanwhile = true;
    WhenShown([&] {
        enabledMeanwhile = owner->IsEnabled();
        Click(2253);
    });
    EXPECT_EQ(RequestMessage("Titre", "Texte", 0, owner), 6);
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(owner->IsEnabled());
    owner->Destroy();
}

TEST(InputBox, TheDefaultIsCutToTheMaximumLength) {
    std::string shown;
    WhenShown([&] {
        shown = static_cast<wxTextCtrl*>(wxWindow::FindWindowById(2272))
                    ->GetValue()
                    .ToStdString(wxConvUTF8);
        Click(2273);
    });
    EXPECT_EQ(ReqInput("Nom", "Nom :", "éléphant", 3, nullptr), "élé");
    EXPECT_EQ(shown, "élé");
}

TEST(InputBox, ADigitsOnlyFieldTakesNoLettersAndAPasswordFieldHidesItsText) {
    bool hidden = false;
    WhenShown([&] {
        auto* field = static_cast<wxTextCtrl*>(wxWindow::FindWindowById(2272));
        hidden = field->HasFlag(wxTE_PASSWORD);
        field->SetFocus();
        field->SetInsertionPointEnd();
        wxUIActionSimulator sim;
        sim.Text("a1b2");
        for (int i = 0; i < 50; ++i)
            wxTheApp->Yield(true), wxMilliSleep(10);
        Click(2273);
    });
    EXPECT_EQ(ReqInput("Nombre", "Combien ?", "7", 0x20000 | 0x10000, nullptr), "712");
    EXPECT_TRUE(hidden);
}

TEST(WaitBox, AnnulerIsReportedOnceAndTheMainWindowComesBack) {
    auto* main = new wxFrame(nullptr, wxID_ANY, "Principal");
    main->Show();
    WaitBox_Create(main);
    WaitBox_Open("Travail", "Un instant", 0, 5, false);
    EXPECT_FALSE(main->IsEnabled());
    EXPECT_EQ(WaitBox_Cancelled(), 0);
    Click(wxID_CANCEL);
    EXPECT_EQ(WaitBox_Cancelled(), 1);
    EXPECT_EQ(WaitBox_Cancelled(), 0);
    WaitBox_Close();
    EXPECT_TRUE(main->IsEnabled());
    WaitBox_Open("Travail", "", -1, -1, true);
    EXPECT_FALSE(wxWindow::FindWindowById(wxID_CANCEL, nullptr)->IsEnabled());
    WaitBox_Close();
    WaitBox_Destroy();
    main->Destroy();
}

TEST(ButtonAccelerators, TheLetterAfterTheAmpersandRaisesTheCommandAloneAndWithAlt) {
    auto* frame =
        new wxFrame(nullptr, wxID_ANY, "Raccourcis de boutons", wxPoint(0, 0), wxSize(300, 200));
    auto* button = new wxButton(frame, wxID_ANY, "&Annuler");
    int raised = 0, others = 0;
    frame->Bind(wxEVT_MENU, [&](wxCommandEvent& e) { (e.GetId() == 500 ? raised : others)++; });
    AddButtonAccelerator("&annuler", frame, 500);    // lower case is upper-cased
    AddButtonAccelerator("Sans lettre", frame, 501); // no "&": nothing
    AddButtonAccelerator("&1 fois", frame, 502);     // not a letter: nothing
    AddButtonAccelerator("Fin &", frame, 503);       // nothing after "&"
    frame->Show();
    for (int i = 0; i < 30; ++i)
        wxTheApp->Yield(true), wxMilliSleep(10);
    std::string id =
        RunProcess({"/usr/bin/xdotool", "search", "--name", "Raccourcis de boutons"}).Out;
    id = id.substr(0, id.find('\n'));
    ASSERT_FALSE(id.empty());
    RunProcess({"/usr/bin/xdotool", "windowfocus", "--sync", id});
    button->SetFocus();
    for (int i = 0; i < 30; ++i)
        wxTheApp->Yield(true), wxMilliSleep(10);
    RunProcess({"/usr/bin/xdotool", "key", "a"});
    RunProcess({"/usr/bin/xdotool", "key", "alt+a"});
    RunProcess({"/usr/bin/xdotool", "key", "f"});
    for (int i = 0; i < 50 && raised < 2; ++i)
        wxTheApp->Yield(true), wxMilliSleep(10);
    EXPECT_EQ(raised, 2);
    EXPECT_EQ(others, 0);
    frame->Destroy();
}

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    int one = 1;
    wxEntryStart(one, argv);
    wxTheApp->CallOnInit();
    if (const char* demo = getenv("ORVALIS_BOX_DEMO")) {
        std::string out = Demo(demo);
        std::cout << out << std::endl;
        wxEntryCleanup();
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    wxEntryCleanup();
    return rc;
}
