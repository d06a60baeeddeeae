// The preferences dialog, in a real window under Xvfb. With "--show FOLDER" the program
// only opens the dialog over the preferences of FOLDER (for the end-to-end test) and
// saves them when the user confirms.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/notebook.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/wx.h>

#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>

#include "platform/core/FileUtil.h"
#include "shell/core/AutoStart.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/gui/PrefsDialog.h"
#include "support/TestSupport.h"

namespace {
// Every window under `root`, depth first.
void Collect(wxWindow* root, std::vector<wxWindow*>& out) {
    for (wxWindow* child : root->GetChildren()) {
        out.push_back(child);
        Collect(child, out);
    }
}

std::string AtkName(wxWindow* w) {
    AtkObject* acc = gtk_widget_get_accessible(w->GetHandle());
    const char* name = acc ? atk_object_get_name(acc) : nullptr;
    return name ? name : "";
}

template <typename T> T* FindNamed(wxWindow* root, const wxString& name) {
    std::vector<wxWindow*> all;
    Collect(root, all);
    for (wxWindow* w : all)
        if (auto* t = dynamic_cast<T*>(w); t && t->GetName() == name) return t;
    return nullptr;
}

class PrefsDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Log_Reset();
        Log_SetFile(dir.File("Orvalis.Log"));
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        PrefEnvironment& env = Pref_Environment();
        env.AppPath = dir.File("app/");
        env.DocumentsPath = dir.File("docs/");
        env.DataPath = dir.File("data/");
        Dir_Create(env.AppPath + "Lang");
        Dir_Create(env.DataPath);
        WriteFileOrDie(env.AppPath + "Lang/English.Txt", "\xEF\xBB\xBF");
        Pref_Charge(dir.File("none.ini"), 0);
        PrefChanged = false;
    }
    TempDir dir;
};
} // namespace

TEST_F(PrefsDialogTest, TheNotebookHoldsTheSevenPagesInOrder) {
    PrefsDialog dlg(nullptr);
    EXPECT_EQ(dlg.GetTitle(), wxString::FromUTF8("Préférences"));
    const char* pages[] = {"Général", "Article",           "Alerte", "Audio", "Podcast",
                           "Proxy",   "Raccourcis clavier"};
    ASSERT_EQ(dlg.Book()->GetPageCount(), 7u);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(dlg.Book()->GetPageText(i), wxString::FromUTF8(pages[i]));
}

TEST_F(PrefsDialogTest, EveryControlCarriesItsLabelAsAccessibleName) {
    PrefsDialog dlg(nullptr);
    std::vector<wxWindow*> all;
    Collect(&dlg, all);
    int controls = 0;
    for (wxWindow* w : all) {
        if (dynamic_cast<wxStaticText*>(w) || dynamic_cast<wxPanel*>(w) ||
            dynamic_cast<wxNotebook*>(w))
            continue;
        if (!w->AcceptsFocus() && !w->AcceptsFocusFromKeyboard()) continue;
        ++controls;
        EXPECT_FALSE(w->GetName().empty()) << w->GetClassInfo()->GetClassName();
        EXPECT_EQ(AtkName(w), std::string(w->GetName().ToUTF8()))
            << w->GetClassInfo()->GetClassName();
    }
    EXPECT_GT(controls, 45);
    EXPECT_NE(FindNamed<wxButton>(&dlg, "Valider"), nullptr);
    EXPECT_NE(FindNamed<wxButton>(&dlg, "Annuler"), nullptr);
    EXPECT_NE(FindNamed<wxSpinCtrl>(&dlg, "Nb max de flux actifs"), nullptr);
    EXPECT_NE(FindNamed<wxTextCtrl>(&dlg, "Mot de passe proxy"), nullptr);
}

TEST_F(PrefsDialogTest, TheControlsShowTheSettingsAndValiderCopiesThemBack) {
    Pref.MaxRss = 77;
    PrefFlags |= PREF_ISSURETOQUIT;
    Pref.ProxyPassWord = "secret";
    Pref.UpdateThreads = 3;
    PrefsDialog dlg(nullptr);
    auto* maxRss = FindNamed<wxSpinCtrl>(&dlg, "Nb max de flux actifs");
    auto* threads =
        FindNamed<wxSpinCtrl>(&dlg, wxString::FromUTF8("Nombre de flux actualisés en même temps"));
    ASSERT_NE(threads, nullptr);
    EXPECT_TRUE(threads->AcceptsFocusFromKeyboard());
    EXPECT_EQ(threads->GetValue(), 3);
    EXPECT_EQ(threads->GetMin(), 1);
    EXPECT_EQ(threads->GetMax(), 16);
    threads->SetValue(16);
    auto* sure = FindNamed<wxCheckBox>(&dlg, wxString::FromUTF8("Avertissement à la fermeture"));
    auto* password = FindNamed<wxTextCtrl>(&dlg, "Mot de passe proxy");
    auto* player = FindNamed<wxChoice>(&dlg, "Choix du lecteur audio");
    auto* language = FindNamed<wxChoice>(&dlg, "Langue");
    ASSERT_TRUE(maxRss && sure && password && player && language);
    EXPECT_EQ(maxRss->GetValue(), 77);
    EXPECT_TRUE(sure->GetValue());
    EXPECT_EQ(password->GetValue(), "secret");
    ASSERT_EQ(language->GetCount(), 2u);
    EXPECT_EQ(language->GetString(0), wxString::FromUTF8("Français (Par défaut)"));
    maxRss->SetValue(12);
    sure->SetValue(false);
    password->SetValue(wxString::FromUTF8("pässe"));
    player->SetSelection(3);
    language->SetSelection(1);
    dlg.Apply(true);
    EXPECT_TRUE(PrefChanged);
    EXPECT_EQ(Pref.MaxRss, 12);
    EXPECT_EQ(Pref.UpdateThreads, 16);
    EXPECT_FALSE(PrefFlags & PREF_ISSURETOQUIT);
    EXPECT_EQ(Pref.ProxyPassWord, "pässe");
    EXPECT_EQ(Pref.AudioPlayer, "Bass Device 1");
    EXPECT_EQ(Pref.AppLang, "English");
}

TEST_F(PrefsDialogTest, StartingWithTheSessionWritesAndRemovesTheAutostartEntry) {
    {
        PrefsDialog dlg(nullptr);
        FindNamed<wxCheckBox>(&dlg, wxString::FromUTF8("Se lancer au démarrage de windows"))
            ->SetValue(true);
        dlg.Apply(true);
    }
    EXPECT_TRUE(PrefFlags & PREF_AUTOSTART);
    ASSERT_TRUE(File_Exists(dir.File("config/autostart/Orvalis.desktop")));
    EXPECT_NE(ReadFileOrEmpty(dir.File("config/autostart/Orvalis.desktop"))
                  .find("Exec=\"" + dir.File("app/Orvalis")),
              std::string::npos);
    {
        PrefsDialog dlg(nullptr);
        FindNamed<wxCheckBox>(&dlg, wxString::FromUTF8("Se lancer au démarrage de windows"))
            ->SetValue(false);
        dlg.Apply(true);
    }
    EXPECT_FALSE(File_Exists(dir.File("config/autostart/Orvalis.desktop")));
}

TEST_F(PrefsDialogTest, TheShortcutEditorFillsItsOwnPage) {
    bool applied = false;
    Pref_SetShortcutPageBuilder([&](wxPanel* page) -> std::function<void()> {
        new wxCheckBox(page, wxID_ANY, "Control");
        return [&] { applied = true; };
    });
    PrefsDialog dlg(nullptr);
    EXPECT_EQ(dlg.Book()->GetPage(6)->GetChildren().size(), 1u);
    dlg.Apply(true);
    EXPECT_TRUE(applied);
    Pref_SetShortcutPageBuilder({});
}

// Opens the dialog for the end-to-end test and saves on "Valider".
static int ShowOnly(const std::string& folder) {
    Pref_Environment().DataPath = folder + "/";
    Pref_Environment().DocumentsPath = folder + "/docs/";
    Log_SetFile(folder + "/Orvalis.Log");
    Pref_Charge(folder + "/Orvalis.ini", 0);
    PrefsDialog dlg(nullptr);
    const int answer = dlg.ShowModal();
    if (answer == wxID_OK) {
        dlg.Apply(true);
        Pref_SaveTo(folder + "/Orvalis.ini", 1);
    }
    return answer == wxID_OK ? 0 : 3;
}

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    // wx would refuse the options meant for this program and for GoogleTest.
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv)) return 2;
    wxTheApp->CallOnInit();
    int rc;
    if (argc == 3 && std::strcmp(argv[1], "--show") == 0) {
        rc = ShowOnly(argv[2]);
    } else {
        ::testing::InitGoogleTest(&argc, argv);
        rc = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    return rc;
}
