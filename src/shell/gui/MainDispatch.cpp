// The main window's dispatch: OnGadget, OnCommand (through the command registry only),
// OnTimer, OnHotKey.
#include "shell/gui/MainWindow.h"

#include "access/core/Shortcuts.h"
#include "catalogue/core/ItemsFile.h"
#include "shell/base/Prefs.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/gui/FeedTreeView.h"
#include "shell/gui/PrefsDialog.h"

// ---------------------------------------------------------------------------- dispatch

void OnGadget(int gadget, int type) {
    MainWindow* w = MainWindow_Get();
    if (!w) return;
    if (type == GADGET_RIGHTCLICK) {
        ShowContextMenu();
        return;
    }
    if (gadget == ZONE_TREE) {
        if (type == GADGET_ACTIVATE) {
            w->Tree().ToggleSelectedGroup();
            return;
        }
        UI_List_Fill();
        w->ShowSelectedArticle();
        UI_Status();
    } else if (gadget == ZONE_LIST) {
        if (type == GADGET_ACTIVATE) {
            OnCommand(CMD_OPEN_BROWSER);
            return;
        }
        w->ShowSelectedArticle();
        UI_Status();
    }
}

void OnCommand(int id) {
    if (!MainWindow_Get()) return;
    // Every command goes through the registry: the window's own (MainCommands_Register)
    // and each module's, installed by MainWindow_LinkModules. A command whose module is
    // not part of this build has no handler and says so.
    if (auto handler = Command_Find(id))
        if (handler(id)) return;
    Main_Say(NotYetAvailable_Text());
}

void OnTimer(int timer) {
    MainWindow* w = MainWindow_Get();
    if (!w) return;
    const MainHooks& hooks = Main_Hooks();
    switch (timer) {
    case 1:
        for (const auto& f : hooks.UpdateTick)
            f();
        break;
    case 2:
        for (const auto& f : hooks.PodcastTick)
            f();
        break;
    case 3:
        for (const auto& f : hooks.SecondTick)
            f();
        AutoSaveFeeds(0);
        UI_Status();
        break;
    case 4:
        Pref_SaveOrWarn(w, 0);
        break;
    case 5:
        for (const auto& f : hooks.BackNormal)
            f();
        break;
    case 6:
        for (const auto& f : hooks.SyncTick)
            f();
        break;
    default:
        break;
    }
}

void OnHotKey(int id) {
    const int32_t command = HotKey_Command(id);
    if (command) OnCommand(command);
}
