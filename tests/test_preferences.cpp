// Preferences: reading "Orvalis.ini" with its defaults and bounds, and writing it back.
#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/TestSupport.h"

namespace {
class PreferencesFile : public ::testing::Test {
  protected:
    void SetUp() override {
        Log_Reset();
        Log_SetFile(dir.File("Orvalis.Log"));
        saved = Pref_Environment();
        char cwd[4096];
        savedCwd = getcwd(cwd, sizeof cwd) ? cwd : "/";
        PrefEnvironment& env = Pref_Environment();
        env.AppPath = dir.File("app/");
        env.DocumentsPath = dir.File("docs/");
        env.DataPath = dir.File("data/");
        env.Portable = false;
        env.UserName = "marie";
        env.VersionCode = 200;
        env.SystemRelease = "6.1.0-28-amd64";
        Dir_Create(env.AppPath);
        Dir_Create(env.DataPath);
        PrefChanged = false;
    }
    void TearDown() override {
        Pref_Environment() = saved;
        if (chdir(savedCwd.c_str()) != 0) ADD_FAILURE() << "cannot return to " << savedCwd;
    }
    std::string Fixture(const std::string& name) { return TestData("prefs/" + name); }
    // The value a written file holds for a key.
    std::string Written(const std::string& file, const std::string& key) {
        IniReader r;
        EXPECT_TRUE(r.Open(file));
        return r.ReadString(key, "<missing>");
    }
    TempDir dir;
    PrefEnvironment saved;
    std::string savedCwd;
};
} // namespace

// Each fixture read and written back by the tool must give its ".Expected.ini" byte for
// byte: defaults, bounds, flag spellings, tokens and the written order.
TEST_F(PreferencesFile, TheToolWritesEachFixtureBackExactlyAsExpected) {
    const char* cases[] = {
        "values_below_and_above_bounds", // MaxRss 0, AudioTempo 7, volumes out of range
        "values_at_the_other_ends",      // MaxRss 1000, AudioTempo -1 kept
        "flag_spellings",                // "escaptosystray", "oN", "1", "yes", "0"
        "path_tokens",                   // %mydoc% in any case, %MainApp%, back-slashes
        "older_audio_extension_default", // the older default in upper case
        "empty_audio_extension",         // an empty list takes the current default
        "ansi_without_byte_order_mark",  // Windows-1252 text
        "sound_file_names",              // an invalid name, an empty one, a full path
        "proxy_password_base64",         // "abc" as UTF-16LE Base64
        "proxy_password_garbage",        // not Base64: written back untouched
        "keys_read_but_not_written",     // NetAgent, SyncReadedFile are not written
    };
    for (const char* name : cases) {
        TempDir home;
        const std::string out = home.File("out.ini");
        const ProcessResult r =
            RunTool({"prefs", Fixture(std::string(name) + ".ini"), out}, home.Path(),
                    {"HOME=" + home.Path(), "XDG_DOCUMENTS_DIR=" + home.File("Docs")});
        ASSERT_EQ(r.ExitCode, 0) << name << ": " << r.Err;
        EXPECT_EQ(ReadFileOrEmpty(out),
                  ReadFileOrEmpty(Fixture(std::string(name) + ".Expected.ini")))
            << name;
    }
}

TEST_F(PreferencesFile, ValuesOutsideTheirBoundsAreCorrected) {
    ASSERT_EQ(Pref_Charge(Fixture("values_below_and_above_bounds.ini"), 1), 1);
    EXPECT_EQ(Pref.MaxRss, 1);
    EXPECT_EQ(Pref.AudioTempo, 0);
    EXPECT_EQ(Pref.AudioVolume, 2);
    EXPECT_EQ(Pref.MuteVolume, 50);
    EXPECT_EQ(Pref.MoveAudio, 10);
    EXPECT_EQ(Pref.AlarmVolume, 100);
    ASSERT_EQ(Pref_Charge(Fixture("values_at_the_other_ends.ini"), 1), 1);
    EXPECT_EQ(Pref.MaxRss, 400);
    EXPECT_EQ(Pref.AudioTempo, -1);
    EXPECT_EQ(Pref.AlarmVolume, 10);
}

TEST_F(PreferencesFile, FlagsReadOnOrOneInAnyCaseUnderEitherSpelling) {
    ASSERT_EQ(Pref_Charge(Fixture("flag_spellings.ini"), 1), 1);
    EXPECT_TRUE(PrefFlags & PREF_ESCAPTOSYSTRAY);
    EXPECT_TRUE(PrefFlags & PREF_ALTF4TOSYSTRAY);
    EXPECT_TRUE(PrefFlags & PREF_AUTOSTART);
    EXPECT_TRUE(PrefFlags & PREF_SYNCREADEDFEED);
    EXPECT_FALSE(PrefFlags & PREF_ALARMBYSPEECH);
    EXPECT_FALSE(PrefFlags & PREF_ALARMBYSOUND);
    EXPECT_FALSE(PrefFlags & PREF_ISSURETOQUIT);     // "yes" is not a way to say on
    EXPECT_TRUE(PrefFlags & PREF_PLAYLINKBYDEFAULT); // absent: its default
    EXPECT_EQ(Pref.UseProxy, 255);
}

TEST_F(PreferencesFile, AMissingFileGivesDefaultsAndIsWrittenAtTheFirstSave) {
    ASSERT_EQ(chdir(Pref_Environment().DataPath.c_str()), 0);
    EXPECT_EQ(Pref_Charge("Orvalis.ini", 0), 0);
    EXPECT_TRUE(PrefChanged);
    EXPECT_EQ(Pref.MaxRss, 150);
    EXPECT_EQ(Pref.NetAgent, "Orvalis");
    EXPECT_EQ(Pref.AudioTimeFormat, "%et%em minute %es seconde, %ep%");
    EXPECT_EQ(Pref.PodcastPath, dir.File("docs/Podcast/"));
    EXPECT_TRUE(Dir_Exists(Pref.PodcastPath));
    EXPECT_EQ(Pref.SyncReadedFile, "marie-6.1.0-28-amd64.OVSR");
    EXPECT_EQ(Pref_Save(0), 1);
    EXPECT_FALSE(PrefChanged);
    EXPECT_TRUE(File_Exists("Orvalis.ini"));
    EXPECT_FALSE(File_Exists("Orvalis.ini.Tmp"));
}

TEST_F(PreferencesFile, AMissingFileThatMustExistChangesNothing) {
    Pref_Charge(Fixture("values_at_the_other_ends.ini"), 1);
    EXPECT_EQ(Pref_Charge(dir.File("none.ini"), 1), 0);
    EXPECT_EQ(Pref.MaxRss, 400);
    EXPECT_FALSE(PrefChanged);
}

TEST_F(PreferencesFile, NothingIsWrittenWhenNothingChangedAndNotForced) {
    Pref_Charge(Fixture("flag_spellings.ini"), 1);
    EXPECT_EQ(Pref_SaveTo(dir.File("out.ini"), 0), 1);
    EXPECT_FALSE(File_Exists(dir.File("out.ini")));
    PrefChanged = true;
    EXPECT_EQ(Pref_SaveTo(dir.File("out.ini"), 0), 1);
    EXPECT_TRUE(File_Exists(dir.File("out.ini")));
}

TEST_F(PreferencesFile, AFailedSaveKeepsTheChangedFlag) {
    Pref_Charge(Fixture("flag_spellings.ini"), 1);
    PrefChanged = true;
    EXPECT_EQ(Pref_SaveTo(dir.File("no/such/folder/Orvalis.ini"), 0), 0);
    EXPECT_TRUE(PrefChanged);
}

TEST_F(PreferencesFile, AProxyPasswordSurvivesASaveAndALoad) {
    Pref_Charge(dir.File("none.ini"), 0);
    const std::string password = "pässwörd €😀 ; = x";
    Pref.ProxyPassWord = password;
    ASSERT_EQ(Pref_SaveTo(dir.File("out.ini"), 1), 1);
    EXPECT_EQ(Written(dir.File("out.ini"), "ProxyPassWord"),
              Base64Encode(Utf8ToUtf16LEBytes(password)));
    Pref.ProxyPassWord.clear();
    ASSERT_EQ(Pref_Charge(dir.File("out.ini"), 1), 1);
    EXPECT_EQ(Pref.ProxyPassWord, password);
    Pref_Charge(Fixture("proxy_password_base64.ini"), 1);
    EXPECT_EQ(Pref.ProxyPassWord, "abc");
}

TEST_F(PreferencesFile, FoldersInsideTheDocumentsFolderAreWrittenWithTheToken) {
    Pref_Charge(dir.File("none.ini"), 0);
    Pref.PodcastPath = dir.File("docs/Casts/Evening/");
    Pref.FeedTextPath = dir.File("app/Texts/");
    Pref.SyncReadedPath = "/srv/shared/";
    ASSERT_EQ(Pref_SaveTo(dir.File("out.ini"), 1), 1);
    EXPECT_EQ(Written(dir.File("out.ini"), "PodcastPath"), "%MyDoc%Casts/Evening/");
    EXPECT_EQ(Written(dir.File("out.ini"), "FeedTextPath"), "%MainApp%Texts/");
    EXPECT_EQ(Written(dir.File("out.ini"), "SyncReadedPath"), "/srv/shared/");
    ASSERT_EQ(Pref_Charge(dir.File("out.ini"), 1), 1);
    EXPECT_EQ(Pref.PodcastPath, dir.File("docs/Casts/Evening/"));
    EXPECT_EQ(Pref.FeedTextPath, dir.File("app/Texts/"));
}

TEST_F(PreferencesFile, TokensAreReplacedIgnoringCaseAndBackSlashesBecomeSlashes) {
    ASSERT_EQ(Pref_Charge(Fixture("path_tokens.ini"), 1), 1);
    EXPECT_EQ(Pref.PodcastPath, dir.File("docs/Casts/Morning/"));
    EXPECT_EQ(Pref.SyncReadedPath, dir.File("app/Shared/"));
    EXPECT_EQ(Pref.FeedTextPath, dir.File("docs/"));
}

TEST_F(PreferencesFile, AnUnusablePodcastFolderFallsBackToTheDataFolder) {
    WriteFileOrDie(dir.File("blocker"), "a file where a folder should be");
    WriteFileOrDie(dir.File("p.ini"),
                   "\xEF\xBB\xBFPodcastPath = " + dir.File("blocker/Casts/") + "\r\n");
    Pref_Charge(dir.File("p.ini"), 1);
    EXPECT_EQ(Pref.PodcastPath, dir.File("data/Podcast/"));
}

TEST_F(PreferencesFile, PortableModeUsesTheRelativePodcastFolderAndMarksTheReadStateFile) {
    Pref_Environment().Portable = true;
    ASSERT_EQ(chdir(Pref_Environment().DataPath.c_str()), 0);
    Pref_Charge("absent.ini", 0);
    EXPECT_EQ(Pref.PodcastPath, dir.File("data/Podcast/"));
    EXPECT_EQ(Pref.SyncReadedFile, "marie-6.1.0-28-amd64P.OVSR");
}

TEST_F(PreferencesFile, KeysReadButNeverWrittenKeepTheirFileValueInMemory) {
    Pref_Charge(Fixture("keys_read_but_not_written.ini"), 1);
    EXPECT_EQ(Pref.NetAgent, "Other agent");
    EXPECT_EQ(Pref.SyncReadedFile, "shared-copy.OVSR");
    EXPECT_EQ(Pref_ShortcutKey("shortcut_actualizerss"), "0");
    EXPECT_EQ(Pref_ShortcutKey("GlobalShortcut_AudioPause"), "393296");
    EXPECT_EQ(Pref_ShortcutKey("GlobalShortcut_QuickMenu"), "393302");
}

TEST_F(PreferencesFile, SoundFileNamesThatCannotBeUsedTakeTheirDefault) {
    Pref_Charge(Fixture("sound_file_names.ini"), 1);
    EXPECT_EQ(Pref.AlarmNewFeedFile, "NewFeed.Wav");
    EXPECT_EQ(Pref.AlarmAllDownloadedFile, "AllDownloaded.Wav");
    EXPECT_EQ(Pref.AlarmFinishFirstActualizeFile, "/usr/share/sounds/done.wav");
}

TEST_F(PreferencesFile, TheDocumentsFolderComesFromTheUserDirectoriesFile) {
    TempDir home;
    WriteFileOrDie(home.File("cfg/user-dirs.dirs"), "# written by xdg-user-dirs-update\n"
                                                    "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    WriteFileOrDie(home.File("in.ini"), "\xEF\xBB\xBFPodcastPath = %MyDoc%Sendungen\\\r\n");
    const ProcessResult r =
        RunTool({"prefs", home.File("in.ini"), home.File("out.ini")}, home.Path(),
                {"HOME=" + home.Path(), "XDG_CONFIG_HOME=" + home.File("cfg")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_TRUE(Dir_Exists(home.File("Dokumente/Sendungen")));
    EXPECT_EQ(Written(home.File("out.ini"), "PodcastPath"), "%MyDoc%Sendungen/");
}
