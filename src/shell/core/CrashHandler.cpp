#include "shell/core/CrashHandler.h"

#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "shell/base/Log.h"
#include "shell/core/SingleInstance.h"

namespace {
std::function<void(const std::string&)> g_reporter;
volatile sig_atomic_t g_inHandler = 0;

const char* Description(int sig) {
    switch (sig) {
    case SIGSEGV:
        return "Access violation (segmentation fault)";
    case SIGBUS:
        return "Bus error (bad memory access)";
    case SIGFPE:
        return "Arithmetic error (division by zero or overflow)";
    case SIGILL:
        return "Illegal instruction";
    case SIGABRT:
        return "Program aborted";
    default:
        return "Unknown error";
    }
}

void Handler(int sig, siginfo_t* info, void* context) {
    // A crash inside the handler itself ends at once.
    if (g_inHandler) _exit(1);
    g_inHandler = 1;
    unsigned long long regs[8];
    const unsigned long long* regsPtr = nullptr;
    unsigned long long pc = 0;
#if defined(__x86_64__)
    if (context) {
        const ucontext_t* uc = static_cast<const ucontext_t*>(context);
        const greg_t* g = uc->uc_mcontext.gregs;
        const int order[8] = {REG_RAX, REG_RBX, REG_RCX, REG_RDX,
                              REG_RBP, REG_RSI, REG_RDI, REG_RSP};
        for (int i = 0; i < 8; ++i)
            regs[i] = static_cast<unsigned long long>(g[order[i]]);
        regsPtr = regs;
        pc = static_cast<unsigned long long>(g[REG_RIP]);
    }
#else
    (void)context;
#endif
    unsigned long long target = 0;
    const bool access = sig == SIGSEGV || sig == SIGBUS;
    if (info) target = reinterpret_cast<unsigned long long>(info->si_addr);
    if (!pc) pc = target;
    const std::string report =
        CrashHandler_Report(sig, info ? info->si_code : 0, pc, access ? &target : nullptr, regsPtr);
    // Should the log lock be held by the thread that crashed, give up after a while
    // rather than hang.
    alarm(5);
    Log(std::string_view(report).substr(0, report.size() - 2)); // Log ends the line itself
    FlushLog();
    alarm(0);
    if (ssize_t w = write(2, report.data(), report.size()); w < 0) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (g_reporter) g_reporter(report);
    SingleInstance_Release();
    _exit(1);
}
} // namespace

std::string CrashHandler_Report(int signal, int code, unsigned long long faultAddress,
                                const unsigned long long* targetAddress,
                                const unsigned long long* registers) {
    std::string r = "A program error was detected:\r\n";
    r += std::string("Error Message:   ") + Description(signal) + "\r\n";
    (void)code;
    r += "Error Code: " + std::to_string(signal) + " at Address: " + std::to_string(faultAddress) +
         "\r\n";
    if (targetAddress) r += "Target Address:  " + std::to_string(*targetAddress) + "\r\n";
    r += "Register content:\r\n";
    static const char* names[8] = {"EAX", "EBX", "ECX", "EDX", "EBP", "ESI", "EDI", "ESP"};
    for (int i = 0; i < 8; ++i) {
        r += std::string(names[i]) + " = ";
        if (registers) r += std::to_string(registers[i]);
        r += "\r\n";
    }
    return r;
}

void CrashHandler_SetReporter(std::function<void(const std::string&)> reporter) {
    g_reporter = std::move(reporter);
}

void CrashHandler_Install() {
    // The handler runs on its own stack so a stack overflow can still be reported.
    static char altStack[64 * 1024];
    stack_t ss{};
    ss.ss_sp = altStack;
    ss.ss_size = sizeof altStack;
    sigaltstack(&ss, nullptr);
    struct sigaction sa {};
    sa.sa_sigaction = Handler;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(sig, &sa, nullptr);
}

std::string FatalError_Text(int code, const std::string& name) {
    const char* text;
    switch (code) {
    case 1:
        text = "Can't create Main Window!";
        break;
    case 2:
        text = "Can't create Child Window ";
        break;
    case 3:
        text = "Can't create Menu ";
        break;
    case 5:
        text = "Can't create PopUp Menu ";
        break;
    case 6:
        text = "Can't create SysTray ";
        break;
    case 7:
        text = "Can't create Gadget ";
        break;
    case 8:
        text = "Can't creat Timer ";
        break;
    case 9:
        text = "Can't create StatusBar ";
        break;
    case 10:
        text = "Can't allocate Memory ";
        break;
    default:
        text = "Error : ";
    }
    return std::string(text) + name + "\r\nLe programme doit être arrêté ...";
}
