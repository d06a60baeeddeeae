// The shortcut editor page inside the preferences dialog: rows, check boxes and key
// follow the selection, a key already taken is refused with the program's message box,
// and "Valider" puts the edited keys into the records and the preferences file.
#include <gtest/gtest.h>

#include <functional>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/notebook.h>
#include <wx/textctrl.h>

#include "access/core/Shortcuts.h"
#include "access/gui/ShortcutPanel.h"
#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/gui/PrefsDialog.h"
#include "support/TestSupport.h"

namespace {
void Collect(wxWindow* w, std::vector<wxWindow*>& out) {
    out.push_back(w);
    for (wxWindow* c : w->GetChildren())
        Collect(c, out);
}

template <typename T> T* Find(wxWindow* root, const wxString& label = {}) {
    std::vector<wxWindow*> all;
    Collect(root, all);
    for (wxWindow* w : all)
        if (auto* t = dynamic_cast<T*>(w); t && (label.empty() || t->GetLabel() == label)) return t;
    return nullptr;
}

void Send(wxWindow* control, wxEventType type) {
    wxCommandEvent ev(type, control->GetId());
    ev.SetEventObject(control);
    if (auto* list = dynamic_cast<wxListBox*>(control)) ev.SetInt(list->GetSelection());
    control->GetEventHandler()->ProcessEvent(ev);
}

// Runs `step` inside the message box's modal loop once it shows.
void WhenShown(std::function<void()> step) {
    wxTheApp->CallAfter([step] {
        for (int i = 0; i < 200 && !wxWindow::FindWindowById(2251); ++i)
            wxTheApp->Yield(true);
        step();
    });
}

class ShortcutPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Log_Reset();
        Log_SetFile(dir.File("Orvalis.Log"));
        PrefEnvironment& env = Pref_Environment();
        env.AppPath = dir.File("app/");
        env.DocumentsPath = dir.File("docs/");
        env.DataPath = dir.File("data/");
        Dir_Create(env.AppPath + "Lang");
        Dir_Create(env.DataPath);
        ShortcutList.clear();
        RegisterShortcuts();
        Shortcuts_Install();
        ShortcutPanel_Install();
        Pref_Charge(dir.File("none.ini"), 0);
    }
    TempDir dir;
};
} // namespace

TEST_F(ShortcutPageTest, TheEditorFollowsTheSelectionRefusesATakenKeyAndSavesOnValider) {
    PrefsDialog dlg(nullptr);
    wxWindow* page = dlg.Book()->GetPage(6);
    auto* list = Find<wxListBox>(page);
    auto* shift = Find<wxCheckBox>(page, "Maj");
    auto* control = Find<wxCheckBox>(page, "Control");
    auto* key = Find<wxChoice>(page);
    auto* change = Find<wxButton>(page, "Modifier");
    ASSERT_TRUE(list && shift && control && key && change);
    ASSERT_EQ(list->GetCount(), 33u);
    EXPECT_EQ(list->GetString(0).ToStdString(wxConvUTF8), "Actualiser les flux=F5");
    EXPECT_EQ(list->GetSelection(), 0);
    EXPECT_EQ(key->GetStringSelection(), "F5");

    list->SetSelection(2); // "Actualiser tous les flux" = Maj+F5
    Send(list, wxEVT_LISTBOX);
    EXPECT_TRUE(shift->GetValue());
    EXPECT_FALSE(control->GetValue());
    EXPECT_EQ(key->GetStringSelection(), "F5");

    shift->SetValue(false); // plain F5 belongs to the first row
    std::string shown;
    WhenShown([&] {
        auto* text = static_cast<wxTextCtrl*>(wxWindow::FindWindowById(2251));
        shown = text->GetValue().ToStdString(wxConvUTF8);
        Send(wxWindow::FindWindowById(2253), wxEVT_BUTTON);
    });
    Send(change, wxEVT_BUTTON);
    EXPECT_EQ(shown, "Ce raccourcis est utilisé par \nActualiser les flux");
    EXPECT_EQ(list->GetString(2).ToStdString(wxConvUTF8), "Actualiser tous les flux=Maj+F5");

    control->SetValue(true);
    key->SetStringSelection("F11");
    Send(change, wxEVT_BUTTON);
    EXPECT_EQ(list->GetString(2).ToStdString(wxConvUTF8), "Actualiser tous les flux=Control+F11");
    EXPECT_EQ(Shortcut_Find(68)->Key, std::to_string(0x10074)); // not before "Valider"

    dlg.Apply(true);
    EXPECT_EQ(Shortcut_Find(68)->Key, std::to_string(0x20000 | 122));
    ASSERT_TRUE(Pref_SaveTo(dir.File("Orvalis.ini"), 1));
    EXPECT_NE(ReadFileOrEmpty(dir.File("Orvalis.ini")).find("Shortcut_ActualizeAllRss = 131194"),
              std::string::npos);
}

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    int one = 1;
    if (!wxEntryStart(one, argv)) return 2;
    wxTheApp->CallOnInit();
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    wxEntryCleanup();
    return rc;
}
