// The audio engine on real sound: tones made by sox, played through libmpv's silent
// output, from files, from the local HTTP server (with range requests) and from a small
// ICY radio; the resume rule, jumps, volume, speed presets, "Pure", radio titles, and
// orvalis-tool play as a separate process.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "audio/core/Audio.h"
#include "audio/core/AudioEngine.h"
#include "audio/core/BassApi.h"
#include "audio/core/BassErrors.h"
#include "audio/core/RadioInfo.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "shell/base/AppState.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/AudioFixtures.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

namespace {
const std::vector<std::string> kNull = {"ORVALIS_AUDIO_OUTPUT=null"};

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Waits until `pred` holds, at most `ms`.
template <typename F> bool WaitFor(F pred, int ms) {
    for (int i = 0; i < ms / 20; ++i) {
        if (pred()) return true;
        Sleep(20);
    }
    return pred();
}

class AudioEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("ORVALIS_AUDIO_OUTPUT", "null", 1);
        Log_Reset();
        Pref_Defaults();
        Pref.AudioPlayer = "Bass";
        Pref.PodcastPath = dir.Path() + "/";
        AppState_Clear(APPSTATE_MUTED);
        RssList.Clear();
        PlayedItems.clear();
        PlayedFeeds.clear();
        Rss f;
        f.Name = "Podcasts";
        f.Url = "http://127.0.0.1/feed.xml";
        f.ContentRss = CONTENT_PODCAST;
        ASSERT_EQ(RssList_Add(f), 1);
        feed = RssList.Current();
    }
    void TearDown() override { Audio_Shutdown(); }

    Item& AddItem(const std::string& title, const std::string& file, const std::string& link = {}) {
        Item it;
        it.Title = title;
        it.AudioLink = link;
        Item_AddTo(*feed, it, 1);
        Item* added = nullptr;
        for (Item& i : feed->Items)
            added = &i;
        added->AudioFile = file;
        return *added;
    }

    TempDir dir;
    Rss* feed = nullptr;
};

std::vector<std::pair<long, long>> Positions(const std::string& out,
                                             std::vector<std::string>* titles, long* stored) {
    std::vector<std::pair<long, long>> pos;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const std::string a = line.substr(0, tab), b = line.substr(tab + 1);
        if (a == "title") {
            if (titles) titles->push_back(b);
        } else if (a == "stored") {
            if (stored) *stored = std::stol(b);
        } else {
            pos.emplace_back(std::stol(a), std::stol(b));
        }
    }
    return pos;
}
} // namespace

TEST(AudioErrors, ConstantNamesNumbersAndLineBreaksFollowTheTable) {
    EXPECT_EQ(Bass_ErrorText(BASS_OK), "BASS_OK");
    EXPECT_EQ(Bass_ErrorText(2), "BASS_ERROR_FILEOPEN");
    EXPECT_EQ(Bass_ErrorText(41, true), "BASS_ERROR_FILEFORM (41)");
    EXPECT_EQ(Bass_ErrorText(32, false, true), "BASS_ERROR_NONET\n");
    EXPECT_EQ(Bass_ErrorText(-1), "BASS_ERROR_UNKNOWN");
    EXPECT_EQ(Bass_ErrorText(1000), "The file is Protected");
    EXPECT_EQ(Bass_ErrorText(10), "");
    EXPECT_EQ(Bass_ErrorText(10, false, true), "");
    EXPECT_EQ(Bass_ErrorText(1003), "");
    EXPECT_EQ(Bass_ErrorFromMpv(MPV_ERROR_LOADING_FAILED, true), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(Bass_ErrorFromMpv(MPV_ERROR_LOADING_FAILED, false), BASS_ERROR_NONET);
    EXPECT_EQ(Bass_ErrorFromMpv(MPV_ERROR_UNKNOWN_FORMAT, true), BASS_ERROR_FILEFORM);
    EXPECT_EQ(Engine_DecodeTag("Caf\xe9"), "Café");
    EXPECT_EQ(Engine_DecodeTag("Café"), "Café");
}

TEST(AudioRules, PlayableIsASubstringOfTheEnginesListAndNothingWithoutEngine) {
    Pref_Defaults();
    Audio.Engine = AUDIO_ENGINE_BASS;
    EXPECT_TRUE(Audio_IsPlayable("/p/a.MP3", false));
    EXPECT_TRUE(Audio_IsPlayable("http://h/x/a.mp3?x=1", true));
    EXPECT_FALSE(Audio_IsPlayable("http://h/x/a.m4a", true)); // not in the link list
    EXPECT_TRUE(Audio_IsPlayable("/p/a.m4a", false));
    EXPECT_FALSE(Audio_IsPlayable("/p/noextension", false));
    EXPECT_TRUE(Audio_IsPlayable("/p/a.m3", false)); // a plain substring test
    Audio.Engine = AUDIO_ENGINE_PURE;
    EXPECT_FALSE(Audio_IsPlayable("http://h/a.mp3", true));
    EXPECT_FALSE(Audio_IsPlayable("/p/a.ogg", false));
    EXPECT_TRUE(Audio_IsPlayable("/p/a.wav", false));
    Audio.Engine = AUDIO_ENGINE_NONE;
    EXPECT_FALSE(Audio_IsPlayable("/p/a.mp3", false));
    EXPECT_EQ(Audio_PlayerValue("  bass DEVICE 2 "), AUDIO_ENGINE_DEVICE2);
    EXPECT_EQ(Audio_PlayerValue("other"), 0);
    EXPECT_EQ(AudioTime_Format(125000, 250000, "%et%em minute %es seconde, %ep%"),
              "2 minute 5 seconde, 50% / 4 minute 10 seconde");
    EXPECT_EQ(AudioTime_Format(3725000, -1, "%et%em minute %es seconde, %ep%"),
              "1 heure 2 minute 5 seconde");
}

TEST_F(AudioEngineTest,
       StopBeforeMoveAudioStoresZeroLaterStopStoresThePositionAndTheNextPlayResumes) {
    const std::string mp3 = Audio_MakeTone(dir.Path(), "mp3");
    ASSERT_FALSE(mp3.empty()) << "sox";
    ASSERT_EQ(Audio_Init(), AUDIO_ENGINE_BASS);
    Item& item = AddItem("Episode", mp3);
    item.AudioPos = 5000;
    Item_Play(*feed, item);
    ASSERT_TRUE(Audio.State & AUDIO_STATE_LOADED);
    EXPECT_EQ(Audio.FeedID, item.FeedID);
    ASSERT_TRUE(WaitFor([] { return Audio_Position() >= 6000; }, 10000));
    Audio_Close(0);
    EXPECT_EQ(item.AudioPos, 0) << "under MoveAudio (10 s) the position is not kept";
    EXPECT_NE(item.Readed & ~15, 0) << "the read time is stamped";
    EXPECT_EQ(item.Readed & 3, 0) << "the state bits stay";

    item.AudioPos = 24000;
    Item_Play(*feed, item);
    ASSERT_TRUE(WaitFor([] { return Audio_Position() >= 25000; }, 10000));
    Audio_Close(0);
    EXPECT_GE(item.AudioPos, 25000);
    EXPECT_LT(item.AudioPos, 30000);
    const int32_t stored = item.AudioPos;

    Item_Play(*feed, item);
    const int64_t first = Audio_Position();
    EXPECT_GE(first, stored - 250) << "resume lands within 250 ms of the stored position";
    EXPECT_LT(first, stored + 2000);
    EXPECT_EQ(PlayedItems.front(), item.FeedID);
}

TEST_F(AudioEngineTest, ForwardJumpPastTheEndDoesNothingBackJumpGoesBackAndPauseToggles) {
    const std::string wav = Audio_MakeTone(dir.Path(), "wav");
    ASSERT_EQ(Audio_Init(), AUDIO_ENGINE_BASS);
    Pref.MoveAudio = 10;
    Item& item = AddItem("Long", wav);
    item.AudioPos = 52000;
    Item_Play(*feed, item);
    ASSERT_TRUE(WaitFor([] { return Audio_Position() >= 52100; }, 10000));
    Audio_Move(+1);
    Sleep(300);
    EXPECT_LT(Audio_Position(), 58000) << "52 s + 10 s would pass the 60 s end";
    Audio_Move(-1);
    ASSERT_TRUE(WaitFor([] { return Audio_Position() < 50000; }, 5000));
    EXPECT_GT(Audio_Position(), 40000);

    Item_Play(*feed, item); // the article playing: pause
    EXPECT_TRUE(Audio.State & AUDIO_STATE_PAUSED);
    EXPECT_EQ(Engine_IsActive(BassState.Channel), ENGINE_PAUSED);
    Sleep(300); // what the output still held is played out
    const int64_t paused = Audio_Position();
    Sleep(600);
    EXPECT_NEAR(Audio_Position(), paused, 50) << "paused, the position stays";
    Item_Play(*feed, item); // and resume
    EXPECT_FALSE(Audio.State & AUDIO_STATE_PAUSED);
    ASSERT_TRUE(WaitFor([&] { return Audio_Position() > paused + 200; }, 5000));

    const int64_t before = Audio_Position();
    Audio_BackNormal();
    EXPECT_TRUE(WaitFor([&] { return Audio_Position() < before - 3000; }, 3000));
}

TEST_F(AudioEngineTest, VolumeIsKeptBetweenTwoAndHundredAndMuteUsesMuteVolume) {
    ASSERT_EQ(Audio_Init(), AUDIO_ENGINE_BASS);
    Audio_SetVolume(1, 1);
    EXPECT_EQ(Pref.AudioVolume, 2);
    Audio_SetVolume(150, 1);
    EXPECT_EQ(Pref.AudioVolume, 100);
    Audio_SetVolume(40, 1);
    EXPECT_EQ(Audio_VolumeText(), "Volume à 40 %");
    Audio_Mute();
    EXPECT_TRUE(AppState_Test(APPSTATE_MUTED));
    EXPECT_EQ(Audio_VolumeText(), "Volume à 5 %");
    EXPECT_NE(Log_Text().find("Audio_SetVolume(Bass) Vol=5"), std::string::npos);
    Audio_SetVolume(60, 1); // a stored volume clears mute
    EXPECT_FALSE(AppState_Test(APPSTATE_MUTED));
}

TEST_F(AudioEngineTest, SpeedPresetsSetTheSpeedAndBackNormalReturnsToNormal) {
    const std::string ogg = Audio_MakeTone(dir.Path(), "ogg");
    ASSERT_EQ(Audio_Init(), AUDIO_ENGINE_BASS);
    Pref.AudioTempo = 1;
    Item& item = AddItem("Fast", ogg);
    Item_Play(*feed, item);
    EXPECT_DOUBLE_EQ(Engine_Speed(BassState.Channel), 1.25);
    Audio_SetTempo(1, -1);
    EXPECT_DOUBLE_EQ(Engine_Speed(BassState.Channel), 0.85);
    Audio_BackNormal();
    EXPECT_DOUBLE_EQ(Engine_Speed(BassState.Channel), 1.0);
    Audio_SetTempo(1, -100); // what timer 5 does
    EXPECT_DOUBLE_EQ(Engine_Speed(BassState.Channel), 1.25);
    Pref.AudioTempo = 9; // outside the table: back to normal, and the preference too
    Audio_SetTempo(1, -100);
    EXPECT_EQ(Pref.AudioTempo, 0);
    EXPECT_DOUBLE_EQ(Engine_Speed(BassState.Channel), 1.0);
}

TEST_F(AudioEngineTest, ASecondPlayClosesTheFirstAndStoresItsPosition) {
    const std::string flac = Audio_MakeTone(dir.Path(), "flac");
    ASSERT_EQ(Audio_Init(), AUDIO_ENGINE_BASS);
    Item& a = AddItem("A", flac);
    Item& b = AddItem("B", flac);
    a.AudioPos = 20000;
    Item_Play(*feed, a);
    ASSERT_TRUE(WaitFor([] { return Audio_Position() >= 20500; }, 10000));
    Item_Play(*feed, b);
    EXPECT_GE(a.AudioPos, 20500);
    EXPECT_LT(a.AudioPos, 25000);
    EXPECT_EQ(Audio.FeedID, b.FeedID);
    EXPECT_EQ(PlayedItems, (std::vector<int32_t>{b.FeedID, a.FeedID}));
    EXPECT_NE(Log_Text().find("Audio_Close(Bass) FeedID=" + std::to_string(a.FeedID)),
              std::string::npos);
}

TEST_F(AudioEngineTest, LinkStreamsFromTheLocalServerWithRangeRequests) {
    const std::string mp3 = Audio_MakeTone(dir.Path(), "mp3");
    LocalHttpServer server;
    HttpReply reply = HttpOk(ReadFileOrEmpty(mp3), "audio/mpeg");
    reply.AcceptRanges = true;
    server.Serve("/ep.mp3", reply);
    ASSERT_EQ(Audio_Init(), AUDIO_ENGINE_BASS);
    Item& item = AddItem("Web", "", server.Url("/ep.mp3"));
    item.AudioPos = 30000;
    PrefFlags |= PREF_PLAYLINKBYDEFAULT;
    Item_Play(*feed, item);
    ASSERT_TRUE(Audio.State & AUDIO_STATE_LOADED) << Log_Text();
    ASSERT_TRUE(WaitFor([] { return Audio_Position() > 30000; }, 10000));
    EXPECT_NEAR(static_cast<double>(Audio_Length()), 60000.0, 1500.0);
    bool ranged = false;
    for (const std::string& r : server.Requests())
        if (r.find("Range: bytes=") != std::string::npos &&
            r.find("Range: bytes=0-") == std::string::npos)
            ranged = true;
    EXPECT_TRUE(ranged) << "the start position is reached by a range request";
    EXPECT_NE(server.LastRequest().find("User-Agent: Orvalis"), std::string::npos);
}

TEST_F(AudioEngineTest, PureNeverLoadsTheLibraryAndPlaysOnlyLocalFiles) {
    struct FakePure : PurePlayer {
        std::string Loaded;
        int Volume = -1;
        bool Init() override { return true; }
        bool Load(const std::string& f) override {
            Loaded = f;
            return true;
        }
        bool Play() override { return true; }
        bool Pause() override { return true; }
        void Stop() override { Loaded.clear(); }
        void SetVolume(int v) override { Volume = v; }
        int64_t Position() override { return 0; }
        int64_t Length() override { return 0; }
    } pure;
    Audio_SetPurePlayer(&pure);
    Pref.AudioPlayer = " pure ";
    // Each test runs in a process of its own: nothing opened the library before.
    void* before = Bass_Handle();
    EXPECT_EQ(Audio_Init(), AUDIO_ENGINE_PURE);
    EXPECT_EQ(Bass_Handle(), before);
    EXPECT_EQ(BassState.Lib, nullptr);
    EXPECT_NE(Log_Text().find("Audio_Init(Pure) Initialized with Pure"), std::string::npos);
    Rss radio;
    radio.Name = "R";
    radio.Url = "http://127.0.0.1:9/radio";
    EXPECT_EQ(Radio_Play(&radio), 0);
    EXPECT_EQ(Audio_Play({}, "http://127.0.0.1:9/a.mp3", 0, "x", 0), 0);
    const std::string wav = dir.File("a.wav");
    WriteFileOrDie(wav, "RIFF....WAVE");
    Item& item = AddItem("Local", wav);
    Item_Play(*feed, item);
    EXPECT_EQ(pure.Loaded, wav);
    EXPECT_EQ(pure.Volume, 90);
    Audio_Close(0);
    EXPECT_TRUE(pure.Loaded.empty());
    Audio_SetPurePlayer(nullptr);
}

TEST_F(AudioEngineTest, RadioTitlesReachRadioInfoWithTheirKindAndRawTags) {
    const std::string mp3 = Audio_MakeTone(dir.Path(), "mp3");
    IcyRadio radio(dir.Path(), mp3, {"Premier titre", "cp1252:Deuxième café"}, 3.0);
    ASSERT_TRUE(radio.Ok());
    ASSERT_EQ(Audio_Init(), AUDIO_ENGINE_BASS);
    Rss r;
    r.Name = "Radio locale";
    r.Url = radio.Url();
    r.ContentRss = CONTENT_NETRADIO;
    r.ExtractAs = "NetRadio";
    ASSERT_EQ(RssList_Add(r), 1);
    Rss* rss = RssList.Current();
    ASSERT_EQ(Radio_Play(rss), 1) << Log_Text();
    EXPECT_EQ(Audio.RadioID, rss->RssID);
    EXPECT_EQ(Radio_GetInfo(RADIOINFO_NAME), "Radio locale");
    EXPECT_EQ(Audio_Length(), -1);
    ASSERT_TRUE(WaitFor([] { return Radio_GetInfo(RADIOINFO_TITLE) == "Premier titre"; }, 8000));
    EXPECT_EQ(Radio_GetInfo(RADIOINFO_ON), "On");
    EXPECT_EQ(Radio_GetInfo(RADIOINFO_KIND), "BASS_TAG_META\nStreamTitle='Premier titre';");
    ASSERT_TRUE(WaitFor([] { return Radio_GetInfo(RADIOINFO_TITLE) == "Deuxième café"; }, 10000));
    EXPECT_EQ(Radio_GetInfo(RADIOINFO_RAW), "StreamTitle='Deuxième café';");
    EXPECT_EQ(PlayedFeeds.front(), rss->RssID);
    Audio_Close(0);
    EXPECT_EQ(Radio_GetInfo(RADIOINFO_TITLE), "");
    EXPECT_EQ(Radio_GetInfo(RADIOINFO_NAME), "");
}

TEST(AudioTool, PlayPrintsPositionsAtThePresetsRateAndTheStoredPosition) {
    TempDir dir;
    const std::string ogg = Audio_MakeTone(dir.Path(), "ogg");
    ASSERT_FALSE(ogg.empty());
    long stored = -1;
    ProcessResult r = RunTool({"play", ogg, "--for", "5.5", "--tempo", "1"}, {}, kNull);
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    auto pos = Positions(r.Out, nullptr, &stored);
    ASSERT_GE(pos.size(), 4u) << r.Out;
    const double rate = double(pos.back().first - pos[1].first) / (1000.0 * (pos.size() - 2));
    EXPECT_NEAR(rate, 1.25, 0.15) << r.Out;
    EXPECT_NEAR(pos[0].second, 60000, 100);
    EXPECT_EQ(stored, 0) << "under 10 s";

    r = RunTool({"play", ogg, "--from", "25000", "--for", "2.5"}, {}, kNull);
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    pos = Positions(r.Out, nullptr, &stored);
    ASSERT_FALSE(pos.empty());
    EXPECT_GE(pos[0].first, 25000);
    EXPECT_LT(pos[0].first, 27500);
    EXPECT_GE(stored, 26000);
    EXPECT_LT(stored, 29000);
}

TEST(AudioTool, PlayPrintsRadioTitlesAndMinusOneForTheLength) {
    TempDir dir;
    const std::string mp3 = Audio_MakeTone(dir.Path(), "mp3");
    IcyRadio radio(dir.Path(), mp3, {"Titre un", "Titre deux"}, 2.5);
    ASSERT_TRUE(radio.Ok());
    ProcessResult r = RunTool({"play", radio.Url(), "--radio", "--for", "6"}, {}, kNull);
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    std::vector<std::string> titles;
    long stored = -1;
    auto pos = Positions(r.Out, &titles, &stored);
    EXPECT_EQ(titles, (std::vector<std::string>{"Titre un", "Titre deux"})) << r.Out;
    ASSERT_FALSE(pos.empty());
    for (const auto& p : pos)
        EXPECT_EQ(p.second, -1);
    EXPECT_EQ(stored, 0);
}

TEST(AudioTool, UnplayableSourcesExitOneWithTheLogLine) {
    TempDir dir;
    const std::string fake = dir.File("not-audio.mp3");
    WriteFileOrDie(fake, std::string(4096, 'x'));
    ProcessResult r = RunTool({"play", fake, "--for", "2"}, {}, kNull);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("Bass_StreamCreateFile, BASS_ERROR_FILEFORM"), std::string::npos) << r.Err;

    r = RunTool({"play", dir.File("missing.mp3")}, {}, kNull);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("File Not exist !"), std::string::npos) << r.Err;

    LocalHttpServer server; // answers 404 for everything
    r = RunTool({"play", server.Url("/gone.mp3")}, {}, kNull);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("Bass_StreamCreateURL, BASS_ERROR_NONET"), std::string::npos) << r.Err;

    std::vector<std::string> env = kNull;
    env.push_back("ORVALIS_MPV_LIBRARY=/nonexistent/libmpv.so");
    r = RunTool({"play", fake}, {}, env);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("! Error, can't Open Bass.Dll"), std::string::npos) << r.Err;
}
