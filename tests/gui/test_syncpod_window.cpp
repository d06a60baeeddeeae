// The copy-to-player window driven in-process over folders standing for a player's drive:
// why a run stops before the window, the destination chosen in the list, the progress bar
// at its end, the report, and "Quitter" asking before it stops a running copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dataview.h>
#include <wx/dialog.h>
#include <wx/gauge.h>

#include "access/gui/RequestMessage.h"
#include "audio/core/SyncPod.h"
#include "audio/gui/SyncPodDrivesGio.h"
#include "audio/gui/SyncPodWindow.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {
template <class T> T* Named(const char* name) {
    return dynamic_cast<T*>(wxWindow::FindWindowByName(name));
}

// Runs `step` inside the window's modal loop, once it exists.
void WhenShown(std::function<void()> step) {
    wxTheApp->CallAfter([step] {
        for (int i = 0; i < 200 && !Named<wxDialog>("SyncPodWindow"); ++i)
            wxTheApp->Yield(true);
        step();
    });
}

void Press(const char* name) {
    auto* b = Named<wxButton>(name);
    ASSERT_NE(b, nullptr) << name;
    wxCommandEvent ev(wxEVT_BUTTON, b->GetId());
    ev.SetEventObject(b);
    b->GetEventHandler()->ProcessEvent(ev);
}

struct Box {
    std::string Title, Text;
    int Kind = 0;
    int GaugeValue = -1, GaugeRange = -1; // the bar when the box came
};

class SyncPodWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Log_Reset();
        Log_SetFile(m_dir.File("Test.Log"));
        Pref.PodcastPath = m_dir.Path() + "/Podcast/";
        Pref.AudioExtension = PREF_AUDIOEXTENSION_DEFAULT;
        PrefFlags &= ~PREF_NOWARNINGSYNCPOD;
        RssList.Clear();
        Rss r;
        r.Name = "Show";
        r.FilePath = "Show";
        r.NbAutoDownLoadPodCast = 2;
        r.Updated = 1;
        Rss& feed = RssList.AddLast(r);
        for (const char* n : {"a", "b"}) {
            Item it;
            it.Title = n;
            it.AudioLink = std::string("http://127.0.0.1:9/") + n + ".mp3";
            Item_AddTo(feed, it, 1);
        }
        fs::create_directories(Pref.PodcastPath + "Show");
        WriteFileOrDie(Pref.PodcastPath + "Show/a.mp3", "aaaa");
        WriteFileOrDie(Pref.PodcastPath + "Show/b.mp3", "bb");
        fs::create_directories(m_dir.File("player/Music"));
        WriteFileOrDie(m_dir.File("player/Show/old.mp3"), "old");
        SyncPod_Ui().Message = [this](const std::string& title, const std::string& text, int kind,
                                      wxWindow*) {
            Box b{title, text, kind};
            if (auto* g = Named<wxGauge>("SyncPodProgress")) {
                b.GaugeValue = g->GetValue();
                b.GaugeRange = g->GetRange();
            }
            m_boxes.push_back(b);
            if (m_answers.empty()) return static_cast<int>(REQUEST_RESULT_YES);
            const int answer = m_answers.front();
            m_answers.erase(m_answers.begin());
            return answer;
        };
    }
    void TearDown() override {
        SyncPod_Ui().Message = nullptr;
        RssList.Clear();
    }
    TempDir m_dir;
    std::vector<Box> m_boxes;
    std::vector<int> m_answers; // the next answers, then "Oui"
};
} // namespace

TEST_F(SyncPodWindowTest, SaysWhyItStopsBeforeTheWindowAndQuitterBeforeAStartCopiesNothing) {
    auto none = SyncPodDrives_Folders({m_dir.File("absent")});
    EXPECT_FALSE(SyncPod_Run(nullptr, 1, *none));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].Text, "Aucun lecteur amovible détecté !");
    EXPECT_EQ(m_boxes[0].Title, "Info");

    auto drives = SyncPodDrives_Folders({m_dir.File("player")});
    RssList.begin()->NbAutoDownLoadPodCast = 0;
    EXPECT_FALSE(SyncPod_Run(nullptr, 1, *drives));
    EXPECT_EQ(m_boxes.back().Text, "Aucun fichier à synchroniser !");
    RssList.begin()->NbAutoDownLoadPodCast = 2;

    // Synchronising warns first; "Non" stops there.
    m_answers = {REQUEST_RESULT_NO};
    EXPECT_FALSE(SyncPod_Run(nullptr, 0, *drives));
    EXPECT_EQ(m_boxes.back().Title, "Attention");
    EXPECT_NE(m_boxes.back().Text.find("supprimera tous les autres fichiers audios"),
              std::string::npos);
    EXPECT_EQ(m_boxes.back().Kind, REQUEST_YESNO);

    const size_t before = m_boxes.size();
    WhenShown([] {
        EXPECT_EQ(Named<wxDialog>("SyncPodWindow")->GetTitle(),
                  wxString::FromUTF8("Orvalis - Copier"));
        Press("SyncPodQuit");
    });
    EXPECT_FALSE(SyncPod_Run(nullptr, 1, *drives));
    EXPECT_EQ(m_boxes.size(), before) << "nothing runs: Quitter asks nothing";
    EXPECT_TRUE(fs::exists(m_dir.File("player/Show/old.mp3")));
    EXPECT_FALSE(fs::exists(m_dir.File("player/Show/a.mp3")));
}

TEST_F(SyncPodWindowTest, SynchronisesOntoTheChosenFolderAndReportsWithTheBarFull) {
    auto drives = SyncPodDrives_Folders({m_dir.File("player")});
    WhenShown([this] {
        auto* list = Named<wxDataViewListCtrl>("SyncPodDestinations");
        ASSERT_NE(list, nullptr);
        std::vector<std::string> rows;
        for (int i = 0; i < static_cast<int>(list->GetItemCount()); ++i)
            rows.push_back(std::string(list->GetTextValue(i, 0).ToUTF8()));
        EXPECT_EQ(rows,
                  (std::vector<std::string>{m_dir.File("player/"), m_dir.File("player/Music/"),
                                            m_dir.File("player/Show/")}));
        EXPECT_EQ(list->GetSelectedRow(), 0) << "the drive's root is offered first";
        EXPECT_EQ(Named<wxGauge>("SyncPodProgress")->GetRange(), 2);
        Press("SyncPodStart");
    });
    EXPECT_TRUE(SyncPod_Run(nullptr, 0, *drives));
    ASSERT_EQ(m_boxes.size(), 2u) << "the warning, then the report";
    const Box& report = m_boxes[1];
    EXPECT_EQ(report.Title, "Terminé avec succés !");
    EXPECT_EQ(report.Text.rfind("Synchronisation pour 2 fichiers de podcast", 0), 0u);
    EXPECT_NE(report.Text.find(" 2 fichiers sources copiés."), std::string::npos);
    EXPECT_EQ(report.GaugeValue, 2) << "the bar stands at its end";
    EXPECT_EQ(ReadFileOrEmpty(m_dir.File("player/Show/a.mp3")), "aaaa");
    EXPECT_EQ(ReadFileOrEmpty(m_dir.File("player/Show/b.mp3")), "bb");
    EXPECT_FALSE(fs::exists(m_dir.File("player/Show/old.mp3")));
    EXPECT_NE(Log_Text().find("2 files copyed, 0 file not found, 0 errors"), std::string::npos);
}

TEST_F(SyncPodWindowTest, QuitterDuringTheCopyAsksThenStopsAndStillReports) {
    auto drives = SyncPodDrives_Folders({m_dir.File("player")});
    WhenShown([] {
        Press("SyncPodStart");
        Press("SyncPodQuit"); // the worker has not been joined yet: the copy counts as running
    });
    EXPECT_TRUE(SyncPod_Run(nullptr, 1, *drives));
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].Title, "Info");
    EXPECT_EQ(m_boxes[0].Text, "La synchronisation n'est pas terminée.\r\nVoulez-vous arrêter ?");
    EXPECT_EQ(m_boxes[0].Kind, REQUEST_YESNO);
    EXPECT_EQ(m_boxes[1].Text.rfind("Copie pour 2 fichiers de podcast", 0), 0u);
    for (const auto& e : fs::recursive_directory_iterator(m_dir.File("player")))
        EXPECT_NE(e.path().extension(), ".Tmp") << e.path();
}

TEST_F(SyncPodWindowTest, TheVolumeMonitorOffersNoFixedDiskAndOnlyWritableFolders) {
    auto drives = SyncPodDrives_Gio();
    for (const std::string& line : drives->List()) {
        const std::string path = drives->PathOf(line);
        ASSERT_FALSE(path.empty()) << line;
        EXPECT_EQ(path.back(), '/') << line;
        EXPECT_NE(path, "/") << "the system disk is no player";
        EXPECT_EQ(::access(path.c_str(), W_OK), 0) << line;
    }
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
