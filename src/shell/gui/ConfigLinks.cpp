#include "shell/gui/ConfigLinks.h"

#include "audio/core/SyncReaded.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/gui/CheckVersionDialog.h"
#include "shell/gui/ConfigDialog.h"
#include "shell/gui/MainWindow.h"

namespace {
// States taken from another installation: the marks in the tree and the list change.
void RefreshAfterSync() {
    if (MainWindow* w = MainWindow_Get()) {
        w->RefreshMarks();
        UI_List_Fill();
    }
}
} // namespace

void Config_Link() {
    SyncReaded_Link();
    SyncReaded_RefreshHook = &RefreshAfterSync;
    MainHooks& h = Main_Hooks();
    h.SyncTick.push_back([] { SyncReaded_Tick(); });
    h.PrefsChanged.push_back([] { SyncReaded_Scan(1); });

    Command_Register(CMD_CONFIG_LOAD, [](int) {
        if (ConfigLoadDialog(MainWindow_Get())) SyncReaded_Scan(1);
        return true;
    });
    Command_Register(CMD_CONFIG_SAVE, [](int) {
        ConfigSave(MainWindow_Get());
        return true;
    });
    Command_Register(CMD_CONFIG_SAVE_ARCHIVE, [](int) {
        ConfigZip_Save(MainWindow_Get(), 1);
        return true;
    });
    Command_Register(CMD_CHECK_VERSION, [](int) {
        CheckNewVersion(MainWindow_Get());
        return true;
    });
}

void Config_StartSync() {
    SyncReaded_Scan(0);
}

void Config_ExitSync() {
    SyncReaded_Save();
}
