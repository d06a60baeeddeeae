// Read-state synchronisation: two data folders sharing one synchronisation folder, run
// through orvalis-tool in turns; the state file's reading rules; a state applied to an
// article that arrives with a later update.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "audio/core/SyncReaded.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "platform/core/FileUtil.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/TestSupport.h"
#include "update/worker/FeedThread.h"

namespace {
const int32_t T = 1700000000 & ~15;
const char* kUrl = "http://sync.example/feed";

std::string Id(char c) {
    return std::string(32, c);
}

struct State {
    int32_t Readed = 0;
    int32_t AudioPos = 0;
    bool operator==(const State& o) const { return Readed == o.Readed && AudioPos == o.AudioPos; }
};

// One installation's data folder: preferences naming the shared folder, one feed and
// its article file.
void MakeInstallation(const std::string& dir, const std::string& shared, const std::string& file,
                      const std::map<std::string, State>& items) {
    std::filesystem::create_directories(dir + "/Feeds");
    WriteFileOrDie(dir + "/Orvalis.ini", "SyncReadedFeed = On\r\nSyncReadedPath = " + shared +
                                             "\r\nSyncReadedFile = " + file + "\r\n");
    WriteFileOrDie(dir + "/ListRSSU.Ini",
                   std::string("; Orvalis 1.10.1708.2300\r\n[Shared]\r\nUrl = ") + kUrl +
                       "\r\nItemsFileName = sync.example.Txt\r\n");
    std::string text = "Name = Shared\r\nURL = " + std::string(kUrl) + "\r\n";
    int n = 0;
    for (const auto& [id, s] : items)
        text += "\r\n[Items " + std::to_string(++n) + "]\r\nID = " + id + "\r\nTitle = Article " +
                id.substr(0, 1) + "\r\nreaded = " + std::to_string(s.Readed) +
                "\r\nAudioPos = " + std::to_string(s.AudioPos) + "\r\n";
    WriteFileOrDie(dir + "/Feeds/sync.example.Txt", text);
}

std::map<std::string, State> ReadStates(const std::string& dir) {
    IniReader r;
    EXPECT_TRUE(r.Open(dir + "/Feeds/sync.example.Txt"));
    std::map<std::string, State> out;
    for (size_t g = 1; g < r.Groups().size(); ++g) {
        r.SelectGroupIndex(g);
        out[r.ReadString("ID")] = {r.ReadLong("readed"), r.ReadLong("AudioPos")};
    }
    return out;
}

int Scan(const std::string& dir) {
    const ProcessResult r = RunTool({"syncstate", "scan", "--data", dir});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    return std::atoi(r.Out.c_str());
}

void Save(const std::string& dir) {
    const ProcessResult r = RunTool({"syncstate", "save", "--data", dir});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
}
} // namespace

TEST(ReadStateSync, TwoDataFoldersConvergeThroughOneSharedFolder) {
    TempDir root;
    const std::string shared = root.File("shared"), a = root.File("A"), b = root.File("B");
    std::filesystem::create_directories(shared);
    // X: read on both, later on B. Y: read on A only, with a position. Z: read on A by an
    // older version (state exactly 1). U: read on A, marked unread on B later. W: only on B.
    MakeInstallation(a, shared, "A.OVSR",
                     {{Id('a'), {T | 1, 100}},
                      {Id('b'), {(T + 100) | 1, 5000}},
                      {Id('c'), {1, 0}},
                      {Id('d'), {(T + 50) | 1, 0}}});
    MakeInstallation(b, shared, "B.OVSR",
                     {{Id('a'), {(T + 3600) | 1, 1200}},
                      {Id('b'), {0, 0}},
                      {Id('c'), {0, 0}},
                      {Id('d'), {(T + 7200), 0}},
                      {Id('e'), {(T + 300) | 1, 42}}});

    int rounds = 0;
    for (; rounds < 4; ++rounds) {
        Save(a);
        Save(b);
        const int changedA = Scan(a);
        const int changedB = Scan(b);
        if (rounds == 0) {
            EXPECT_EQ(changedA, 2); // X and U
            EXPECT_EQ(changedB, 2); // Y and Z
        }
        if (changedA == 0 && changedB == 0) break;
    }
    EXPECT_EQ(rounds, 1) << "a second round must find nothing left to change";

    const std::map<std::string, State> expected = {{Id('a'), {(T + 3600) | 1, 1200}},
                                                   {Id('b'), {(T + 100) | 1, 5000}},
                                                   {Id('c'), {1, 0}},
                                                   {Id('d'), {T + 7200, 0}}};
    std::map<std::string, State> onA = ReadStates(a), onB = ReadStates(b);
    EXPECT_EQ(onB[Id('e')], (State{(T + 300) | 1, 42}));
    onB.erase(Id('e'));
    EXPECT_EQ(onA, expected);
    EXPECT_EQ(onB, expected);
    // Each file was replaced whole: no twin is left in the shared folder.
    EXPECT_FALSE(File_Exists(shared + "/A.OVSR.Tmp"));
    EXPECT_TRUE(File_Exists(shared + "/A.OVSR"));
    EXPECT_TRUE(File_Exists(shared + "/B.OVSR"));
}

class SyncReadedCore : public ::testing::Test {
  protected:
    void SetUp() override {
        Log_Reset();
        Log_SetFile(dir.File("Orvalis.Log"));
        savedPref = Pref;
        savedFlags = PrefFlags;
        RssList.Clear();
        SyncReaded_Reset();
        std::filesystem::create_directories(dir.File("shared"));
        Pref.SyncReadedPath = dir.File("shared/");
        Pref.SyncReadedFile = "me.OVSR";
        PrefFlags |= PREF_SYNCREADEDFEED;
        SyncReaded_Link();
    }
    void TearDown() override {
        Items_SyncApplyHook = nullptr;
        RssList.Clear();
        SyncReaded_Reset();
        Pref = savedPref;
        PrefFlags = savedFlags;
    }
    Rss& AddFeed() {
        Rss& feed = RssList.AddLast();
        feed.Name = "Shared";
        feed.Url = kUrl;
        feed.RssID = 10001;
        feed.ItemsFileName = "sync.example.Txt";
        feed.MaxFeed = 100;
        return feed;
    }
    TempDir dir;
    Preferences savedPref;
    uint32_t savedFlags = 0;
};

TEST_F(SyncReadedCore, OnlyWellFormedLinesAreTakenWhateverTheEncoding) {
    // UTF-16 with its byte-order mark, as another system's text library may write it.
    std::string utf16 = "\xFF\xFE";
    for (char c : Id('a') + "\t" + std::to_string(T | 1) + "\t7\t\r\n")
        utf16 += std::string{c, '\0'};
    WriteFileOrDie(dir.File("shared/utf16.OVSR"), utf16);
    WriteFileOrDie(dir.File("shared/other.ovsr"),
                   "\xEF\xBB\xBF" + std::string(31, 'b') + "\t" + std::to_string(T | 1) +
                       "\t1\t\r\n" + Id('c') + "\tnot a number\t1\t\r\n" + Id('d') + "\t" +
                       std::to_string(T | 1) + "\r\n" + std::string(5000, 'x') + "\r\n" + "  " +
                       Id('e') + " \t" + std::to_string(T | 1) + "\t9\t");
    WriteFileOrDie(dir.File("shared/ignored.txt"),
                   Id('f') + "\t" + std::to_string(T | 1) + "\t1\t\r\n");
    Rss& feed = AddFeed();
    for (char c : std::string("abcdef")) {
        Item it;
        it.Title = std::string(1, c);
        it.ID = Id(c);
        feed.Items.AddLast(it);
    }
    EXPECT_EQ(SyncReaded_Scan(0), 2);
    std::map<std::string, State> got;
    for (const Item& it : feed.Items)
        got[it.ID] = {it.Readed, it.AudioPos};
    EXPECT_EQ(got[Id('a')], (State{T | 1, 7}));
    EXPECT_EQ(got[Id('e')], (State{T | 1, 9})); // trimmed ID, last line without a break
    for (char c : std::string("bcdf"))
        EXPECT_EQ(got[Id(c)], (State{0, 0})) << c;
    EXPECT_TRUE(feed.ItemsChanged);
    // Unchanged files are not read again; the installation's own file changes nothing.
    EXPECT_EQ(SyncReaded_Save(), 1);
    EXPECT_EQ(SyncReaded_Scan(0), 0);
    EXPECT_NE(Log_Text().find("Readed me.OVSR"), std::string::npos);
    EXPECT_EQ(Log_Text().find("Readed utf16.OVSR", Log_Text().find("Readed me.OVSR")),
              std::string::npos);
}

TEST_F(SyncReadedCore, AStateForAnArticleThatArrivesLaterIsAppliedAtTheMerge) {
    Rss& feed = AddFeed();
    Item incoming;
    incoming.Title = "Arrives later";
    incoming.GUID = "guid-later";
    const std::string id = MakeItemID(incoming, kUrl);
    WriteFileOrDie(dir.File("shared/other.OVSR"),
                   id + "\t" + std::to_string((T + 16) | 1) + "\t4321\t\r\n");
    EXPECT_EQ(SyncReaded_Scan(0), 0);
    EXPECT_EQ(SyncPending.count(id), 1u);

    DownloadEntry entry;
    entry.RssID = feed.RssID;
    entry.Name = feed.Name;
    ASSERT_EQ(Feed_Update(entry, {incoming}), 1);
    ASSERT_EQ(feed.Items.Size(), 1u);
    const Item& merged = *feed.Items.begin();
    EXPECT_EQ(merged.TypeUpdate, "+");
    EXPECT_EQ(merged.Readed, (T + 16) | 1);
    EXPECT_EQ(merged.AudioPos, 4321);
    EXPECT_EQ(SyncPending.count(id), 0u);
}

TEST_F(SyncReadedCore, AFolderThatCannotBeUsedIsLoggedAndNothingIsWritten) {
    WriteFileOrDie(dir.File("plain-file"), "x");
    Pref.SyncReadedPath = dir.File("plain-file/sub/");
    EXPECT_EQ(SyncReaded_Scan(0), 0);
    EXPECT_EQ(SyncReaded_Save(), 0);
    EXPECT_NE(Log_Text().find("! Error, bad path " + Pref.SyncReadedPath), std::string::npos);
    EXPECT_NE(Log_Text().find("! Error, SyncReaded_Save, bad path "), std::string::npos);
    // Switched off: nothing at all.
    PrefFlags &= ~PREF_SYNCREADEDFEED;
    Pref.SyncReadedPath = dir.File("shared/");
    AddFeed().Items.AddLast(Item{}).Readed = T | 1;
    EXPECT_EQ(SyncReaded_Save(), 0);
    EXPECT_FALSE(File_Exists(dir.File("shared/me.OVSR")));
}

TEST(ReadStateSyncName, TheDefaultFileNameIsTheLoginAndKernelRelease) {
    EXPECT_EQ(SyncReaded_DefaultFileName("marie", "6.1.0-28-amd64", false),
              "marie-6.1.0-28-amd64.OVSR");
    EXPECT_EQ(SyncReaded_DefaultFileName("marie", "6.1.0", true), "marie-6.1.0P.OVSR");
    EXPECT_EQ(SyncReaded_DefaultFileName("a/b", "1", false), "ab-1.OVSR");
}
