// orvalis-tool crash KIND: installs the crash handler and crashes on purpose ("segv",
// "fpe", "abort", or "thread-overflow": a stack overflow in a thread other than the one
// that installed the handler), so the report written to "Orvalis.Log" in the current
// folder can be checked.
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include <thread>

#include "platform/core/SignalStack.h"
#include "shell/core/CrashHandler.h"
#include "shell/base/Log.h"
#include "tool/ToolCommand.h"

// Recursion that no compiler can turn into a loop: every level keeps a live array.
__attribute__((noinline)) static int Deeper(int n) {
    volatile char frame[1024];
    frame[0] = static_cast<char>(n);
    return Deeper(n + 1) + frame[0];
}

static int CrashCmd(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: crash segv|fpe|abort|thread-overflow", 2);
    CrashHandler_Install();
    Log("Orvalis crash test", 0, 1);
    if (args[0] == "segv") {
        volatile int* p = reinterpret_cast<volatile int*>(static_cast<uintptr_t>(16));
        *p = 1;
    } else if (args[0] == "fpe") {
        std::raise(SIGFPE);
    } else if (args[0] == "abort") {
        std::abort();
    } else if (args[0] == "thread-overflow") {
        std::thread([] {
            SignalStack signalStack;
            Deeper(0);
        }).join();
    }
    return Tool_Fail("unknown kind " + args[0], 2);
}
static ToolCommand reg("crash",
                       "crash segv|fpe|abort|thread-overflow   (test) report a crash in the log",
                       &CrashCmd);
