// The podcast download dialog driven in-process: the names it offers, Enter and Escape,
// the mask check box, and the job it queues.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dialog.h>

#include "audio/core/PodcastQueue.h"
#include "audio/gui/PodcastDialog.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "shell/base/AppPaths.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/TestSupport.h"
#include "update/core/Date.h"

namespace {
template <class T> T* Named(const char* name) {
    return dynamic_cast<T*>(wxWindow::FindWindowByName(name));
}

// Runs `step` inside the dialog's modal loop, once it exists.
void WhenShown(std::function<void()> step) {
    wxTheApp->CallAfter([step] {
        for (int i = 0; i < 200 && !Named<wxDialog>("PodcastDownloadDialog"); ++i)
            wxTheApp->Yield(true);
        step();
    });
}

void Press(int id) {
    auto* dlg = Named<wxDialog>("PodcastDownloadDialog");
    ASSERT_NE(dlg, nullptr);
    auto* b = static_cast<wxButton*>(dlg->FindWindow(id));
    wxCommandEvent ev(wxEVT_BUTTON, id);
    ev.SetEventObject(b);
    b->GetEventHandler()->ProcessEvent(ev);
}

class PodcastDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Log_Reset();
        Log_SetFile(m_dir.File("Test.Log"));
        DataPath = m_dir.Path() + "/";
        Pref.PodcastPath = m_dir.Path() + "/Podcast/";
        Pref.AudioExtension = PREF_AUDIOEXTENSION_DEFAULT;
        RssList.Clear();
        PodcastQueue.Clear();
        Rss r;
        r.Name = "Le Journal";
        r.CustomPodcastFileName = "%RN %PF";
        m_feed = &RssList.AddLast(r);
        Item it;
        it.Title = "Matin";
        it.AudioLink = "http://127.0.0.1:9/abc.mp3";
        it.Date = Date_Make(2016, 5, 3, 7, 0, 0);
        Item_AddTo(*m_feed, it, 1);
        m_item = &m_feed->Items.Raw().back();
    }
    void TearDown() override {
        PodcastQueue.Clear();
        RssList.Clear();
    }
    TempDir m_dir;
    Rss* m_feed = nullptr;
    Item* m_item = nullptr;
};
} // namespace

TEST_F(PodcastDialogTest, OffersTheMaskNameTheCurrentNameAndEachMaskWithoutDuplicates) {
    std::vector<std::string> masks;
    const auto names = PodcastDialog_Names(*m_feed, *m_item, true, &masks);
    ASSERT_GE(names.size(), 5u);
    EXPECT_EQ(names[0], "Le Journal abc.mp3");
    EXPECT_EQ(names[1], "abc.mp3");
    EXPECT_EQ(names[2], "Matin.mp3");
    EXPECT_EQ(masks[2], "%PT");
    EXPECT_EQ(std::count(names.begin(), names.end(), "Le Journal abc.mp3"), 1);
    EXPECT_EQ(PodcastDialog_Names(*m_feed, *m_item, false, nullptr).size(), 2u);
}

TEST_F(PodcastDialogTest, OkQueuesTheChosenNameAndTheCheckBoxKeepsItsMask) {
    WhenShown([] {
        auto* combo = Named<wxComboBox>("PodcastFileNames");
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->GetSelection(), 0);
        combo->SetSelection(2);
        Named<wxCheckBox>("PodcastMaskCheck")->SetValue(true);
        EXPECT_EQ(Named<wxDialog>("PodcastDownloadDialog")->GetTitle(),
                  wxString::FromUTF8("Téléchargement d'un podcast"));
        Press(wxID_OK);
    });
    PodCastDownload_Dialog(nullptr, *m_feed, *m_item);
    EXPECT_EQ(m_item->CustomAudioFile, "Matin.mp3");
    EXPECT_EQ(m_feed->CustomPodcastFileName, "%PT");
    ASSERT_EQ(PodcastQueue.Size(), 1u);
    EXPECT_EQ(PodcastQueue.begin()->File, Pref.PodcastPath + "Matin.mp3");
}

TEST_F(PodcastDialogTest, QuitterQueuesNothingAndATypedNameCannotClimbOut) {
    WhenShown([] { Press(wxID_CANCEL); });
    PodCastDownload_Dialog(nullptr, *m_feed, *m_item);
    EXPECT_EQ(PodcastQueue.Size(), 0u);
    WhenShown([] {
        Named<wxComboBox>("PodcastFileNames")->SetValue("../../x.mp3");
        Press(wxID_OK);
    });
    PodCastDownload_Dialog(nullptr, *m_feed, *m_item);
    ASSERT_EQ(PodcastQueue.Size(), 1u);
    EXPECT_EQ(PodcastQueue.begin()->File, Pref.PodcastPath + "....x.mp3");
}

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    int one = 1;
    wxEntryStart(one, argv);
    wxTheApp->CallOnInit();
    testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    wxEntryCleanup();
    return rc;
}
