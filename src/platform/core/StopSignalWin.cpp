#include "platform/core/StopSignal.h"

#include <windows.h>

#include <atomic>
#include <csignal>

static std::atomic<void (*)(int)> g_onStop{nullptr};

static BOOL WINAPI OnConsoleEvent(DWORD event) {
    void (*onStop)(int) = g_onStop.load();
    if (!onStop) return FALSE;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        onStop(SIGINT);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The system ends the process when this returns: the program's loop has until
        // then to see the flag.
        onStop(SIGTERM);
        Sleep(5000);
        return TRUE;
    default:
        return FALSE;
    }
}

void StopSignal_Install(void (*onStop)(int)) {
    g_onStop = onStop;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}
