#include "shell/core/CrashHandler.h"

#ifdef _WIN32
#include <windows.h>

#include <csignal>
// Windows has no bus error; the number is POSIX's, for the report.
#define SIGBUS 7
#else
#include <fcntl.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

#include "platform/core/FileUtil.h"
#include "platform/core/SignalStack.h"
#include "shell/base/Log.h"

namespace {
volatile sig_atomic_t g_inHandler = 0;
// The report is built here, never on the heap: a fault may come from a broken heap.
char g_report[4096];

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

// Appends to a fixed buffer; what does not fit is cut.
struct Writer {
    char* Buf;
    size_t Cap;
    size_t Len = 0;
    void Text(const char* s) {
        while (*s && Len < Cap)
            Buf[Len++] = *s++;
    }
    void Number(unsigned long long v) {
        char digits[24];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v);
        while (n > 0 && Len < Cap)
            Buf[Len++] = digits[--n];
    }
};

#ifdef _WIN32
void WriteAll(HANDLE h, const char* data, size_t n) {
    DWORD w = 0;
    while (n > 0 && WriteFile(h, data, static_cast<DWORD>(n), &w, nullptr) && w > 0) {
        data += w;
        n -= w;
    }
}

// The report, the log and the marker, then the end: what every fault comes to.
[[noreturn]] void Report(int sig, unsigned long long pc, const unsigned long long* target,
                         const unsigned long long* regs) {
    if (g_inHandler) TerminateProcess(GetCurrentProcess(), 1);
    g_inHandler = 1;
    const size_t n = CrashHandler_FormatReport(g_report, sizeof g_report, sig, pc, target, regs);
    Log_CrashWrite(g_report, n);
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), g_report, n);
    HANDLE marker = CreateFileA(CRASH_MARKER_FILE, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
        WriteAll(marker, g_report, n);
        CloseHandle(marker);
    }
    TerminateProcess(GetCurrentProcess(), 1);
    for (;;) {
    }
}

LONG WINAPI OnException(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD* r = e->ExceptionRecord;
    int sig = SIGSEGV;
    switch (r->ExceptionCode) {
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_INVALID_OPERATION:
        sig = SIGFPE;
        break;
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
        sig = SIGILL;
        break;
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_IN_PAGE_ERROR:
        sig = SIGBUS;
        break;
    default:
        break;
    }
    unsigned long long target = 0;
    const bool access = r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && r->NumberParameters >= 2;
    if (access) target = static_cast<unsigned long long>(r->ExceptionInformation[1]);
    unsigned long long regs[8];
    const unsigned long long* regsPtr = nullptr;
    unsigned long long pc = reinterpret_cast<unsigned long long>(r->ExceptionAddress);
#if defined(__x86_64__)
    if (const CONTEXT* c = e->ContextRecord) {
        const unsigned long long v[8] = {c->Rax, c->Rbx, c->Rcx, c->Rdx,
                                         c->Rbp, c->Rsi, c->Rdi, c->Rsp};
        for (int i = 0; i < 8; ++i)
            regs[i] = v[i];
        regsPtr = regs;
    }
#endif
    Report(sig, pc, access ? &target : nullptr, regsPtr);
}

void OnAbort(int) {
    Report(SIGABRT, 0, nullptr, nullptr);
}
#else
void WriteAll(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return;
        data += w;
        n -= static_cast<size_t>(w);
    }
}

void Handler(int sig, siginfo_t* info, void* context) {
    // A crash inside the handler itself ends at once.
    if (g_inHandler) _exit(1);
    g_inHandler = 1;
    // First of all: should anything below block (a lock held by the thread that
    // crashed), the alarm ends the process.
    alarm(5);
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
    const size_t n = CrashHandler_FormatReport(g_report, sizeof g_report, sig, pc,
                                               access ? &target : nullptr, regsPtr);
    Log_CrashWrite(g_report, n);
    WriteAll(2, g_report, n);
    const int marker = ::open(CRASH_MARKER_FILE, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (marker >= 0) {
        WriteAll(marker, g_report, n);
        ::close(marker);
    }
    // The single-instance lock and every other descriptor go with the process.
    _exit(1);
}
#endif
} // namespace

size_t CrashHandler_FormatReport(char* buffer, size_t capacity, int signal,
                                 unsigned long long faultAddress,
                                 const unsigned long long* targetAddress,
                                 const unsigned long long* registers) {
    Writer w{buffer, capacity};
    w.Text("A program error was detected:\r\n");
    w.Text("Error Message:   ");
    w.Text(Description(signal));
    w.Text("\r\nError Code: ");
    w.Number(static_cast<unsigned long long>(signal));
    w.Text(" at Address: ");
    w.Number(faultAddress);
    w.Text("\r\n");
    if (targetAddress) {
        w.Text("Target Address:  ");
        w.Number(*targetAddress);
        w.Text("\r\n");
    }
    w.Text("Register content:\r\n");
    static const char* const names[8] = {"EAX", "EBX", "ECX", "EDX", "EBP", "ESI", "EDI", "ESP"};
    for (int i = 0; i < 8; ++i) {
        w.Text(names[i]);
        w.Text(" = ");
        if (registers) w.Number(registers[i]);
        w.Text("\r\n");
    }
    return w.Len;
}

std::string CrashHandler_Report(int signal, int code, unsigned long long faultAddress,
                                const unsigned long long* targetAddress,
                                const unsigned long long* registers) {
    (void)code;
    char buffer[4096];
    const size_t n = CrashHandler_FormatReport(buffer, sizeof buffer, signal, faultAddress,
                                               targetAddress, registers);
    return std::string(buffer, n);
}

bool CrashHandler_TakeLastFault(std::string& report) {
    report.clear();
    if (!File_Exists(CRASH_MARKER_FILE)) return false;
    const long long size = File_Size(CRASH_MARKER_FILE);
    if (size > 0 && size <= 65536) File_ReadAll(CRASH_MARKER_FILE, report);
    File_Delete(CRASH_MARKER_FILE);
    return true;
}

void CrashHandler_Install() {
    // The handler runs on its own stack so a stack overflow can still be reported.
    SignalStack_InstallForever();
    // Log_CrashWrite must find the log's state built, not build it inside the signal.
    Log_CrashPrepare();
#ifdef _WIN32
    // No box of the system's error reporting: the report is ours.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(OnException);
    std::signal(SIGABRT, OnAbort);
#else
    struct sigaction sa {};
    sa.sa_sigaction = Handler;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(sig, &sa, nullptr);
#endif
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
