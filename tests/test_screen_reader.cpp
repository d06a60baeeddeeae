// Speech output: the text cleaning, speech reaching a private speech-dispatcher server
// while a process named "orca" runs, and the silent path when no screen reader runs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "access/core/ScreenReaderSay.h"
#include "support/TestSupport.h"

extern char** environ;

namespace {

// A child process that is killed and reaped when the object dies.
class Child {
  public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {}) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            env.emplace_back(*e);
        for (const auto& e : extraEnv)
            env.push_back(e);
        std::vector<char*> a, en;
        for (const auto& s : argv)
            a.push_back(const_cast<char*>(s.c_str()));
        a.push_back(nullptr);
        for (const auto& s : env)
            en.push_back(const_cast<char*>(s.c_str()));
        en.push_back(nullptr);
        // The child's chatter (the server logs to its standard error) stays out of the
        // test output.
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, a[0], &fa, nullptr, a.data(), en.data()) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&fa);
    }
    ~Child() { Stop(); }
    void Stop() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    bool Running() const { return m_pid > 0; }

  private:
    pid_t m_pid = -1;
};

bool WaitFor(const std::function<bool()>& cond, int seconds = 15) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (cond()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return cond();
}

// A process whose executable is named "orca": a copy of sleep.
struct FakeOrca {
    explicit FakeOrca(const TempDir& dir) {
        std::string path = dir.File("orca");
        std::filesystem::copy_file("/bin/sleep", path,
                                   std::filesystem::copy_options::overwrite_existing);
        chmod(path.c_str(), 0755);
        proc = std::make_unique<Child>(std::vector<std::string>{path, "120"});
        WaitFor([] { return ScreenReader_Detect() == SCREENREADER_ORCA; });
    }
    std::unique_ptr<Child> proc;
};

// A private speech-dispatcher with a null audio output whose only voice module writes each
// spoken text as one line of `spoken.txt`.
struct PrivateSpeechServer {
    explicit PrivateSpeechServer(const TempDir& dir) : spoken(dir.File("spoken.txt")) {
        std::string conf = dir.File("conf"), home = dir.File("home");
        std::filesystem::create_directories(conf + "/modules");
        std::filesystem::create_directories(home);
        std::filesystem::create_directories(dir.File("log"));
        WriteFileOrDie(conf + "/speechd.conf", "LogLevel 3\n"
                                               "AudioOutputMethod \"libao\"\n"
                                               "AddModule \"recorder\" \"sd_generic\" "
                                               "\"recorder.conf\"\n"
                                               "DefaultModule recorder\n");
        WriteFileOrDie(conf + "/modules/recorder.conf",
                       "GenericExecuteSynth \"printf '%s\\\\n' \\'$DATA\\' >> " + spoken +
                           "\"\nGenericCmdDependency \"printf\"\n"
                           "GenericLanguage \"en\" \"en\" \"utf-8\"\n"
                           "GenericLanguage \"fr\" \"fr\" \"utf-8\"\n"
                           "AddVoice \"en\" \"MALE1\" \"x\"\n"
                           "AddVoice \"fr\" \"MALE1\" \"x\"\n");
        WriteFileOrDie(home + "/.libao", "default_driver=null\n");
        socket = dir.File("speechd.sock");
        server = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/speech-dispatcher", "-s", "-t", "0", "-c",
                                     "unix_socket", "-S", socket, "-C", conf, "-L", dir.File("log"),
                                     "-l", "3"},
            std::vector<std::string>{"HOME=" + home});
        WaitFor([&] { return std::filesystem::exists(socket); });
        setenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).c_str(), 1);
    }
    ~PrivateSpeechServer() {
        ScreenReader_Close();
        server->Stop();
    }
    bool Heard(const std::string& line) const {
        return WaitFor([&] {
            std::string all = "\n" + ReadFileOrEmpty(spoken);
            return all.find("\n" + line + "\n") != std::string::npos;
        });
    }
    std::string spoken, socket;
    std::unique_ptr<Child> server;
};

// A server that accepts connections and never answers: what an autospawned
// speech-dispatcher can look like while it shuts down after being idle.
struct SilentServer {
    explicit SilentServer(const std::string& path) {
        fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof(addr.sun_path), "%s", path.c_str());
        bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        listen(fd, 8);
        setenv("SPEECHD_ADDRESS", ("unix_socket:" + path).c_str(), 1);
    }
    ~SilentServer() { close(fd); } // pending clients then see the connection end
    int fd;
};

} // namespace

TEST(ScreenReaderClean, RemovesControlCharactersAndTrimsSpaces) {
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"Bonjour", "Bonjour"},           // plain text is untouched
        {"  Bonjour  ", "Bonjour"},       // spaces trimmed at both ends
        {"Ligne\r\nsuite", "Lignesuite"}, // a line break joins the words on both sides
        {"a\tb", "ab"},                   // tabs vanish too
        {" \r\n \n ", ""},                // only breaks and spaces: empty
        {"\x1f"
         "x\x01",
         "x"},                            // codes 1 and 31 are the bounds
        {"Non trouvé !", "Non trouvé !"}, // UTF-8 bytes are above 31 and stay
        {"a \x7f b", "a \x7f b"},         // DEL (127) is not a control code here
    };
    for (const Row& r : rows)
        EXPECT_EQ(ScreenReader_CleanText(r.in), r.out) << r.in;
}

TEST(ScreenReaderSpeech, MessagesReachSpeechDispatcherWhileOrcaRuns) {
    TempDir dir;
    PrivateSpeechServer server(dir);
    FakeOrca orca(dir);
    ASSERT_EQ(ScreenReader_Detect(), SCREENREADER_ORCA);
    EXPECT_EQ(ScreenReader_Say("Bonjour le monde", 0), 1);
    EXPECT_TRUE(server.Heard("Bonjour le monde")) << ReadFileOrEmpty(server.spoken);
    // The connection is reused, and a line break inside the message joins the words.
    EXPECT_EQ(ScreenReader_Say("Flux\r\nactualisé", 1), 1);
    EXPECT_TRUE(server.Heard("Fluxactualisé")) << ReadFileOrEmpty(server.spoken);
}

TEST(ScreenReaderSpeech, AMessageMadeOfBreaksOnlyIsStillHandedOver) {
    TempDir dir;
    PrivateSpeechServer server(dir);
    FakeOrca orca(dir);
    EXPECT_EQ(ScreenReader_Say("Premier", 0), 1);
    EXPECT_EQ(ScreenReader_Say(" \r\n ", 0), 1);
    EXPECT_EQ(ScreenReader_Say("Second", 0), 1);
    EXPECT_TRUE(server.Heard("Second"));
}

TEST(ScreenReaderSpeech, NothingIsSpokenOnceOrcaHasQuit) {
    TempDir dir;
    PrivateSpeechServer server(dir);
    FakeOrca orca(dir);
    EXPECT_EQ(ScreenReader_Say("Avant", 0), 1);
    EXPECT_TRUE(server.Heard("Avant"));
    orca.proc->Stop();
    WaitFor([] { return ScreenReader_Detect() == SCREENREADER_NONE; });
    EXPECT_EQ(ScreenReader_Say("Après", 0), 0);
    EXPECT_EQ(ReadFileOrEmpty(server.spoken).find("Après"), std::string::npos);
}

TEST(ScreenReaderSpeech, AScreenReaderStartedLaterIsPickedUp) {
    TempDir dir;
    PrivateSpeechServer server(dir);
    ScreenReader_SetRetryDelay(0);
    ASSERT_EQ(ScreenReader_Detect(), SCREENREADER_NONE);
    EXPECT_EQ(ScreenReader_Say("Personne", 0), 0);
    FakeOrca orca(dir);
    EXPECT_EQ(ScreenReader_Say("Maintenant", 0), 1);
    EXPECT_TRUE(server.Heard("Maintenant"));
}

TEST(ScreenReaderSilence, WithoutScreenReaderOrServerEveryMessageFailsQuietly) {
    TempDir dir;
    // No "orca" process and no server behind this address.
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + dir.File("none.sock")).c_str(), 1);
    ASSERT_EQ(ScreenReader_Detect(), SCREENREADER_NONE);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(ScreenReader_Say("Rien", 0), 0);
    EXPECT_EQ(ScreenReader_Init(), 0);
}

// Without the memory of a detection that found nothing, every message would detect again
// (a 200 ms pause and a walk of the process list each): 200 messages would take 40 s.
TEST(ScreenReaderSilence, TwoHundredMessagesWithoutScreenReaderTakeLessThanASecond) {
    TempDir dir;
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + dir.File("none.sock")).c_str(), 1);
    ScreenReader_SetRetryDelay(3000);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200; ++i)
        ScreenReader_Say("Rien", 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(ScreenReaderSilence, OrcaWithoutAServerFailsQuietly) {
    TempDir dir;
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + dir.File("none.sock")).c_str(), 1);
    FakeOrca orca(dir);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ScreenReader_Say("Rien", 0), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.sock")));
}

TEST(ScreenReaderTool, SayReportsWhatWasHandedOver) {
    TempDir dir;
    ProcessResult r = RunTool({"say", "Bonjour", "3"}, dir.Path(),
                              {"SPEECHD_ADDRESS=unix_socket:" + dir.File("none.sock")});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, "spoken=0/3 screenreader=none\n");
}

TEST(ScreenReaderTool, SaySpeaksThroughTheServerWhileOrcaRuns) {
    TempDir dir;
    PrivateSpeechServer server(dir);
    FakeOrca orca(dir);
    ProcessResult r = RunTool({"say", "Depuis la ligne de commande"}, dir.Path(),
                              {"SPEECHD_ADDRESS=unix_socket:" + server.socket});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "spoken=1/1 screenreader=Orca\n");
    EXPECT_TRUE(server.Heard("Depuis la ligne de commande"));
}

TEST(ScreenReaderSilence, AServerThatNeverAnswersDoesNotHoldTheCaller) {
    TempDir dir;
    SilentServer server(dir.File("silent.sock"));
    FakeOrca orca(dir);
    // Each call returns (bounded waits), fails, and the failure is remembered.
    EXPECT_EQ(ScreenReader_Say("Personne ne répond", 0), 0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(ScreenReader_Say("Toujours rien", 0), 0);
    ScreenReader_SetRetryDelay(0);
    EXPECT_EQ(ScreenReader_Say("Encore", 0), 0);
}
