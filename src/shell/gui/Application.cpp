#include "shell/gui/Application.h"

#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>

#include <csignal>
#include <cstdlib>
#include <unistd.h>
#include <string>
#include <vector>

#include "access/gui/RequestMessage.h"
#include "catalogue/core/RssList.h"
#include "discovery/gui/DiscoveryLinks.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/AppState.h"
#include "shell/base/CloseThread.h"
#include "shell/core/CrashHandler.h"
#include "shell/core/DataLoad.h"
#include "shell/base/Log.h"
#include "shell/core/MainCommands.h"
#include "shell/core/SingleInstance.h"
#include "shell/core/Startup.h"
#include "shell/gui/ConfigLinks.h"
#include "shell/gui/LogWindow.h"
#include "shell/gui/MainHandlers.h"
#include "shell/gui/MainWindow.h"
#include "shell/gui/PrefsDialog.h"

#include <wx/panel.h>
#include <wx/sizer.h>

#include "access/core/Shortcuts.h"
#include "access/gui/RequestMessage.h"
#include "access/gui/ShortcutPanel.h"
#include "catalogue/core/ItemsFile.h"
#include "shell/base/LngState.h"
#include "shell/base/Prefs.h"
#include "update/core/Date.h"
#include "update/net/DownloadTool.h"
#include "update/worker/FeedThread.h"

// The program's own box: "Oui"/"Non" whatever the toolkit's translations, read as text.
static int AskYesNo(const std::string& title, const std::string& text) {
    return RequestMessage(title, text, REQUEST_YESNO, MainWindow_Get()) == REQUEST_RESULT_YES;
}

// Steps 6-7: the shortcut records, the preferences and the language, and what the
// catalogue and the item store take from them.
static void LoadSettings() {
    RegisterShortcuts();
    Pref_SetShortcutIO({[](const IniReader& in) { LoadShortcutKeys(in); },
                        [](IniWriter& out) { SaveShortcutKeys(out); }});
    Pref_SetShortcutPageBuilder([](wxPanel* page) -> std::function<void()> {
        auto* panel = new ShortcutEditorPanel(page);
        auto* box = new wxBoxSizer(wxVERTICAL);
        box->Add(panel, 1, wxEXPAND);
        page->SetSizer(box);
        return [panel] {
            panel->Commit();
            PrefChanged = true;
        };
    });
    Startup_FillPrefEnvironment();
    Pref_Charge("Orvalis.ini", 0);
    if (!Pref.AppLang.empty()) LoadLanguage(Pref.AppLang, AppPath + "Lang/");
    if (!Pref_ApplyToCore()) Log("! Network_Init()");
}

void OnDeviceChange() {
    if (!CheckUsbClose || File_Exists(Startup_ProgramFile())) return;
    AppState_Set(APPSTATE_DRIVE_REMOVED);
    if (wxTheApp) wxTheApp->ExitMainLoop();
}

bool OrvalisApplication::OnInit() {
    // 1. Crash handler first, so even start-up failures are reported.
    CrashHandler_Install();
    // 2-3. Program folder; portable mode by the program's name.
    std::string program = "/proc/self/exe";
    if (!File_Exists(program)) program = argv[0].ToStdString(wxConvUTF8);
    Startup_SetProgramFile(program);
    std::vector<std::string> params;
    for (int i = 1; i < argc; ++i)
        params.push_back(std::string(argv[i].ToUTF8()));
    // 4. Command line and data folder.
    std::string unusable;
    if (!ParseCommandLine(params, &unusable)) {
        const std::string text = Startup_Text(
            L_Msg_NoLocalPath, "Le dossier de stockage n'est pas utilisable !%w%%S1%", unusable);
        RequestMessage(Startup_Text(L_Request_Error, "Erreur"), text, REQUEST_OK, nullptr);
        std::exit(1);
    }
    // 5. One instance per data folder: a second start hands over and ends.
    if (!CheckSingleInstance(params)) std::exit(0);
    // A data folder without preferences is a first start: the help is opened for it.
    const bool firstStart = !File_Exists("Orvalis.ini");
    LoadSettings();

    // 8. The main window (it ends the event loop itself when closed) and the log window.
    m_frame = MainWindow_Create();
    // An end of session (SIGTERM) or Ctrl+C in a terminal ends like a normal close, so the
    // exit sequence still saves.
    auto quit = [](int) {
        const wxEventLoopBase* active = wxEventLoopBase::GetActive();
        if (MainWindow_Get() && active && active->IsMain()) {
            MainWindow_Get()->Close(true);
            return;
        }
        // Start-up is still running or a modal question is open: run the exit sequence
        // now rather than wait for the user.
        static_cast<OrvalisApplication*>(wxTheApp)->ExitSequence();
        _exit(0);
    };
    SetSignalHandler(SIGTERM, quit);
    SetSignalHandler(SIGINT, quit);
    OpenLogWindow(m_frame);
    LogWindow_InstallFatalHandler();

    // 9. Log header.
    Startup_WriteLogHeader(DataPath + "Podcast/");
    // A crash opens no window: the user learns of it here, once, and its report joins
    // this run's log (the previous log is replaced at the first flush).
    std::string lastFault;
    const bool faulted = CrashHandler_TakeLastFault(lastFault);
    if (faulted) {
        Log("! " + std::string(CRASH_LAST_RUN_TEXT));
        if (!lastFault.empty()) Log(std::string_view(lastFault).substr(0, lastFault.size() - 2));
    }

    // 10. Timers of this layer: hand-overs from a second start, and the program file watch.
    m_handOverTimer.Bind(wxEVT_TIMER, &OrvalisApplication::OnHandOverTimer, this);
    m_handOverTimer.Start(200);
    if (CheckUsbClose) {
        m_deviceTimer.Bind(wxEVT_TIMER, &OrvalisApplication::OnDeviceTimer, this);
        m_deviceTimer.Start(1000);
    }

    // 12. The catalogue; the older file name only when it alone holds feeds.
    m_catalogueOpened = Startup_LoadCatalogue() != 0;
    // 13. First-start help.
    InstallDefaultData(&AskYesNo);
    if (!RssList.Empty()) m_catalogueOpened = true;
    // The stored articles (the older store migrated once), then the tree and the list.
    Startup_LoadArticles();
    // The read states other installations left in the shared folder.
    Config_StartSync();
    AutoSaveFeeds(1);
    MainWindow_Ready();
    if (faulted)
        m_frame->CallAfter([] {
            RequestMessage(Startup_Text(L_Request_Error, "Erreur"), CRASH_LAST_RUN_TEXT, REQUEST_OK,
                           MainWindow_Get());
        });
    if (firstStart) Help_Open(CMD_HELP);

    // 18. Flush the log.
    FlushLog();
    // 19. The OPML file of the command line, once the window is up.
    if (!StartOpmlFile.empty()) {
        const std::string file = StartOpmlFile;
        CallAfter([file] { Discovery_ImportOpmlFile(file); });
    }
    return true;
}

void OrvalisApplication::OnHandOverTimer(wxTimerEvent&) {
    InstanceHandOver h;
    while (SingleInstance_Take(h)) {
        if (h.Kind != 1 && h.Kind != 2) continue;
        RestoreMainWindow();
        if (h.Kind == 2 && EndsWithNoCase(h.Text, ".opml")) {
            Log("- OPML file handed over : " + h.Text);
            Discovery_ImportOpmlFile(h.Text);
        }
    }
}

void OrvalisApplication::OnDeviceTimer(wxTimerEvent&) {
    OnDeviceChange();
}

int OrvalisApplication::OnExit() {
    ExitSequence();
    return 0;
}

void OrvalisApplication::ExitSequence() {
    if (m_exited) return;
    m_exited = true;
    m_handOverTimer.Stop();
    m_deviceTimer.Stop();
    const bool driveRemoved = AppState_Test(APPSTATE_DRIVE_REMOVED) != 0;
    if (!driveRemoved) {
        // The catalogue is written back (this also moves an older "ListRSS.Ini" to the
        // current name). A catalogue that could not be read is never overwritten by an
        // empty one.
        if (m_catalogueOpened) RssList_DirectSave(CATALOGUE_FILE);
        if (m_catalogueOpened) {
            Feed_Save();
            Feed_CleanFiles();
            Config_ExitSync();
        }
        Pref_Save(0);
    }
    // 6. Temporary page.
    File_Delete(TmpPagePath);
    // 7. Worker threads; an update worker that ends from now on no longer calls the window.
    FeedThread_SetWake({});
    CloseThread(static_cast<uint32_t>(-1));
    LogWindow_Destroy();
    // 9. The log, unless the program's drive is gone.
    if (!driveRemoved) FlushLog();
    // 10. The single-instance lock.
    SingleInstance_Release();
}
