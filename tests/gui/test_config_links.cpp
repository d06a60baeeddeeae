// The main window linked to the moving-between-computers modules: the configuration and
// version commands are installed, and the one-minute timer takes the read states another
// installation left in the shared folder every "SyncReadedNbTime" minutes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include <wx/app.h>

#include "audio/core/SyncReaded.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/base/Prefs.h"
#include "shell/gui/MainWindow.h"
#include "support/TestSupport.h"

namespace {
class TestApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

void Pump() {
    for (int i = 0; i < 20; ++i) {
        wxYield();
        wxMilliSleep(5);
    }
}
} // namespace

TEST(ConfigLinks, TheTimerAndThePreferencesTakeTheStatesOfTheSharedFolder) {
    TempDir dir;
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    std::filesystem::create_directories(dir.File("shared"));
    Pref_Defaults();
    PrefFlags = PREF_SYNCREADEDFEED;
    Pref.SyncReadedPath = dir.File("shared/");
    Pref.SyncReadedFile = "here.OVSR";
    Pref.SyncReadedNbTime = 2;
    MainHooks_Reset();
    SyncReaded_Reset();
    RssList.Clear();
    Rss r;
    r.Name = "Alpha";
    r.Url = "https://alpha.example/rss";
    RssList_Add(r);
    Item a1, a2;
    a1.Title = "a1";
    a2.Title = "a2";
    a1.ID = std::string(32, '1');
    a2.ID = std::string(32, '2');
    Item_AddTo(*RssList.Current(), a1, 1);
    Item_AddTo(*RssList.Current(), a2, 1);

    MainWindow* w = MainWindow_Create();
    MainWindow_Ready();
    Pump();
    for (int cmd : {CMD_CONFIG_LOAD, CMD_CONFIG_SAVE, CMD_CONFIG_SAVE_ARCHIVE, CMD_CHECK_VERSION})
        EXPECT_TRUE(static_cast<bool>(Command_Find(cmd))) << cmd;

    const int32_t stamp = (1700000000 & ~15) | 1;
    WriteFileOrDie(dir.File("shared/there.OVSR"),
                   std::string(32, '1') + "\t" + std::to_string(stamp) + "\t250\t\r\n");
    Rss& feed = *RssList.begin();
    OnTimer(6); // one minute of two
    EXPECT_EQ(feed.Items.begin()->Readed, 0);
    OnTimer(6);
    EXPECT_EQ(feed.Items.begin()->Readed, stamp);
    EXPECT_EQ(feed.Items.begin()->AudioPos, 250);

    // The preferences dialog's changes are followed by a scan at once.
    WriteFileOrDie(dir.File("shared/elsewhere.OVSR"),
                   std::string(32, '2') + "\t" + std::to_string(stamp) + "\t0\t\r\n");
    for (const auto& f : Main_Hooks().PrefsChanged)
        f();
    EXPECT_EQ(std::next(feed.Items.begin())->Readed, stamp);

    PrefFlags = 0;
    w->Close(true);
    Pump();
    RssList.Clear();
    Items_SyncApplyHook = nullptr;
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
