// orvalis-tool crash KIND: installs the crash handler and crashes on purpose ("segv",
// "fpe" or "abort"), so the report written to "Orvalis.Log" in the current folder can be
// checked.
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/core/CrashHandler.h"
#include "shell/base/Log.h"
#include "tool/ToolCommand.h"

static int CrashCmd(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: crash segv|fpe|abort", 2);
    CrashHandler_Install();
    Log("Orvalis crash test", 0, 1);
    if (args[0] == "segv") {
        volatile int* p = reinterpret_cast<volatile int*>(static_cast<uintptr_t>(16));
        *p = 1;
    } else if (args[0] == "fpe") {
        std::raise(SIGFPE);
    } else if (args[0] == "abort") {
        std::abort();
    }
    return Tool_Fail("unknown kind " + args[0], 2);
}
static ToolCommand reg("crash", "crash segv|fpe|abort   (test) report a crash in the log",
                       &CrashCmd);
