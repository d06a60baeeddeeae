// Shortcuts installed on a real window under X: a global hot key reaches its command while
// another program's window has the focus, a key taken by another client is logged as
// refused, window shortcuts raise their commands, and menu labels show the keys.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include "access/core/Shortcuts.h"
#include "access/gui/GlobalShortcut.h"
#include "shell/base/Log.h"
#include "support/TestSupport.h"

static std::string s_self;

namespace {
void Pump(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool PumpUntil(const std::function<bool()>& done, int seconds = 10) {
    for (int i = 0; i < seconds * 50 && !done(); ++i)
        Pump(20);
    return done();
}

std::string Xdo(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"/usr/bin/xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessResult r = RunProcess(argv, {}, {}, 15000);
    std::string out = r.Out;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

std::string WindowIdOf(const std::string& title) {
    for (int i = 0; i < 100; ++i) {
        std::string id = Xdo({"search", "--name", title});
        if (!id.empty()) return id.substr(0, id.find('\n'));
        Pump(100);
    }
    return {};
}

struct MainFrame {
    MainFrame() {
        frame =
            new wxFrame(nullptr, wxID_ANY, "Orvalis raccourcis", wxPoint(0, 0), wxSize(300, 200));
        auto* menu = new wxMenu;
        menu->Append(68, "Actualiser tous les flux");
        menu->Append(112, "Sourdine\tCtrl+K");
        menu->Append(84, "Prochain non-lu");
        bar = new wxMenuBar;
        bar->Append(menu, "Fichier");
        frame->SetMenuBar(bar);
        new wxTextCtrl(frame, wxID_ANY, "texte");
        frame->Bind(wxEVT_MENU, [this](wxCommandEvent& e) { commands.push_back(e.GetId()); });
        frame->Show();
        Shortcuts_SetWindow(0, frame);
        Shortcuts_SetMenuBar(SHORTCUT_MENU_MAIN, bar);
        Pump(300);
    }
    ~MainFrame() {
        RemoveShortcuts(0);
        Shortcuts_SetWindow(0, nullptr);
        Shortcuts_SetMenuBar(SHORTCUT_MENU_MAIN, nullptr);
        frame->Destroy();
        Pump(100);
    }
    int Count(int id) const {
        return static_cast<int>(std::count(commands.begin(), commands.end(), id));
    }
    wxFrame* frame;
    wxMenuBar* bar;
    std::vector<int> commands;
};

// Another program with a window of its own: this test binary in its idle mode.
struct OtherProgram {
    OtherProgram() {
        pid = fork();
        if (pid == 0) {
            setenv("ORVALIS_TEST_OTHER_WINDOW", "1", 1);
            execl(s_self.c_str(), s_self.c_str(), (char*)nullptr);
            _exit(127);
        }
        id = WindowIdOf("Autre programme");
    }
    ~OtherProgram() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid_t pid;
    std::string id;
};
} // namespace

TEST(GlobalHotKeys, AHotKeyReachesItsCommandWhileAnotherWindowHasTheFocus) {
    ShortcutList.clear();
    RegisterShortcuts();
    Shortcut_FindByName("GlobalShortcut_AudioMute")->Key = std::to_string(0x60000 | 'M');
    MainFrame main;
    Log_Reset();
    ApplyShortcuts(0);
    std::string log = Log_Text();
    EXPECT_NE(log.find("- Registered "), std::string::npos) << log;
    EXPECT_NE(log.find(" RegisterHotKey_( "), std::string::npos) << log;
    EXPECT_NE(log.find(", 34, 3, 77 ), key=393293 WindowID=0"), std::string::npos) << log;
    EXPECT_NE(log.find("- Unaffected "), std::string::npos) << log;

    OtherProgram other;
    ASSERT_FALSE(other.id.empty());
    Xdo({"windowfocus", "--sync", other.id});
    Pump(200);
    EXPECT_EQ(Xdo({"getwindowfocus"}), other.id);
    Xdo({"key", "ctrl+alt+m"});
    EXPECT_TRUE(PumpUntil([&] { return main.Count(112) == 1; })) << main.Count(112);
    EXPECT_EQ(Xdo({"getwindowfocus"}), other.id);

    // With Num Lock on, the same key still arrives.
    Xdo({"key", "Num_Lock"});
    Xdo({"key", "ctrl+alt+m"});
    Xdo({"key", "Num_Lock"});
    EXPECT_TRUE(PumpUntil([&] { return main.Count(112) == 2; })) << main.Count(112);

    // Once removed, the key is no longer ours.
    RemoveShortcuts(0);
    Xdo({"key", "ctrl+alt+m"});
    Pump(500);
    EXPECT_EQ(main.Count(112), 2);
}

TEST(GlobalHotKeys, AKeyTakenByAnotherClientIsLoggedAsRefused) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    KeyCode j = XKeysymToKeycode(d, XK_j);
    XGrabKey(d, j, ControlMask | Mod1Mask, DefaultRootWindow(d), False, GrabModeAsync,
             GrabModeAsync);
    XSync(d, False);

    ShortcutList.clear();
    RegisterShortcuts();
    Shortcut_FindByName("GlobalShortcut_AudioPause")->Key = std::to_string(0x60000 | 'J');
    Shortcut_FindByName("GlobalShortcut_AudioForWard")->Key = std::to_string(0x60000 | 'L');
    Shortcut_FindByName("GlobalShortcut_AudioMute")->Key = std::to_string(KEYMOD_SHIFT);
    MainFrame main;
    Log_Reset();
    ApplyShortcuts(0);
    std::string log = Log_Text();
    EXPECT_NE(log.find("! Error "), std::string::npos) << log;
    EXPECT_NE(log.find(", 28, 3, 74 ), key="), std::string::npos) << log;
    EXPECT_NE(log.find("- Registered "), std::string::npos) << log; // the others still work
    // Modifiers without a key code are never registered.
    size_t mute = log.find(", 34, 4, 0 ), key=65536 WindowID=0");
    ASSERT_NE(mute, std::string::npos) << log;
    EXPECT_EQ(log.rfind("- Unaffected ", mute), log.rfind("\n", mute) + 1) << log;
    XCloseDisplay(d);
}

TEST(WindowShortcuts, AWindowShortcutRaisesItsCommand) {
    ShortcutList.clear();
    RegisterShortcuts();
    MainFrame main;
    ApplyShortcuts(0);
    std::string id = WindowIdOf("Orvalis raccourcis");
    ASSERT_FALSE(id.empty());
    Xdo({"windowfocus", "--sync", id});
    Pump(300);
    Xdo({"key", "F7"}); // "Shortcut_AudioMute"
    EXPECT_TRUE(PumpUntil([&] { return main.Count(112) >= 1; }));
    Xdo({"key", "shift+F5"}); // "Shortcut_ActualizeAllRss"
    EXPECT_TRUE(PumpUntil([&] { return main.Count(68) >= 1; }));
    Xdo({"key", "ctrl+u"}); // "Shortcut_NextUnreaded"
    EXPECT_TRUE(PumpUntil([&] { return main.Count(84) >= 1; }));
    Pump(500);
    // The key shown in a menu label never raises the command a second time.
    EXPECT_EQ(main.Count(112), 1);
    EXPECT_EQ(main.Count(68), 1);
    EXPECT_EQ(main.Count(84), 1);
}

TEST(MenuLabels, TheKeyIsShownAfterTheTextAndNeverDoubled) {
    ShortcutList.clear();
    RegisterShortcuts();
    MainFrame main;
    ApplyShortcuts(0);
    ApplyShortcuts(0);
    auto label = [&](int id) {
        return main.bar->FindItem(id)->GetItemLabel().ToStdString(wxConvUTF8);
    };
    std::string base = "Actualiser tous les flux", key = KeyName(0x10074);
    // After a tab when the toolkit can show it as an accelerator, else in brackets.
    std::string l = label(68);
    EXPECT_TRUE(l == base + "\t" + key || l == base + " (" + key + ")") << l;
    EXPECT_EQ(label(112), "Sourdine\tF7"); // the old key text is replaced
    Shortcut_Find(112)->Key = "0";
    Shortcut_Find(68)->Key = "0";
    RefreshMenuShortcuts(SHORTCUT_MENU_MAIN);
    EXPECT_EQ(label(112), "Sourdine");
    EXPECT_EQ(label(68), base);
}

int main(int argc, char** argv) {
    s_self = argv[0];
    if (getenv("ORVALIS_TEST_OTHER_WINDOW")) {
        wxApp::SetInstance(new wxApp);
        wxEntryStart(argc, argv);
        wxTheApp->CallOnInit();
        auto* f =
            new wxFrame(nullptr, wxID_ANY, "Autre programme", wxPoint(350, 0), wxSize(300, 200));
        new wxTextCtrl(f, wxID_ANY, "ailleurs");
        f->Show();
        wxTheApp->OnRun();
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);
    wxEntryStart(argc, argv);
    wxTheApp->CallOnInit();
    int rc = RUN_ALL_TESTS();
    wxEntryCleanup();
    return rc;
}
