// Speech on Linux: Orca found in the process list, the text handed to
// speech-dispatcher (the server Orca itself speaks through).
#include <dirent.h>
#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#ifdef ORVALIS_HAVE_SPEECHD
#include <speech-dispatcher/libspeechd.h>
#endif

#include "access/core/ScreenReaderBackend.h"
#include "access/core/ScreenReaderSay.h"
#include "platform/core/SignalStack.h"
#include "platform/core/Text.h"

int ScreenReader_Detect() {
    DIR* dir = opendir("/proc");
    if (!dir) return SCREENREADER_NONE;
    int result = SCREENREADER_NONE;
    while (dirent* e = readdir(dir)) {
        const char* n = e->d_name;
        if (*n < '0' || *n > '9') continue;
        // "comm" is the executable's file name (for a script: the script's), which is
        // what a process snapshot reports on Windows.
        std::ifstream f(std::string("/proc/") + n + "/comm");
        std::string name;
        if (!f || !std::getline(f, name)) continue;
        if (TrimBlanks(AsciiLower(name)) != "orca") continue;
        // A process that has ended but was not yet reaped by its parent keeps its name:
        // it is no screen reader. Its state follows the last ")" of "stat".
        std::ifstream st(std::string("/proc/") + n + "/stat");
        std::string stat;
        std::getline(st, stat);
        const size_t close = stat.rfind(')');
        if (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z')
            continue;
        result = SCREENREADER_ORCA;
        break;
    }
    closedir(dir);
    return result;
}

#ifdef ORVALIS_HAVE_SPEECHD
// One worker thread owns every call into libspeechd, so that a server that accepts a
// connection and then stops answering can never hold the interface thread: the caller
// waits a bounded time, and a stuck request is aborted by shutting the socket down.
namespace {
constexpr int kOpenTimeoutMs = 2000;
constexpr int kSayTimeoutMs = 1000;

enum Job { JOB_NONE, JOB_OPEN, JOB_SAY, JOB_CLOSE };

struct SpeechLink {
    std::mutex m;
    std::condition_variable cv;
    SPDConnection* conn = nullptr;
    Job job = JOB_NONE;
    bool busy = false;      // the worker is inside a libspeechd call
    bool abandoned = false; // the caller stopped waiting for the current job
    bool closeWhenDone = false;
    std::string text;
    int interrupt = 0;
    bool result = false;
    uint64_t issued = 0;
    uint64_t finished = 0;
};

std::shared_ptr<SpeechLink> s_link;

void Worker(std::shared_ptr<SpeechLink> link) {
    SignalStack signalStack;
    std::unique_lock<std::mutex> lk(link->m);
    for (;;) {
        link->cv.wait(lk, [&] { return link->job != JOB_NONE; });
        Job job = link->job;
        link->job = JOB_NONE;
        link->busy = true;
        SPDConnection* conn = link->conn;
        std::string text = link->text;
        int interrupt = link->interrupt;
        lk.unlock();

        bool ok = false;
        SPDConnection* opened = nullptr;
        if (job == JOB_OPEN) {
            char* error = nullptr;
            opened = spd_open2("Orvalis", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
            free(error);
            ok = opened != nullptr;
        } else if (job == JOB_SAY && conn) {
            if (interrupt) spd_cancel_all(conn);
            ok = spd_say(conn, SPD_MESSAGE, text.c_str()) > 0;
        } else if (job == JOB_CLOSE && conn) {
            spd_close(conn);
            conn = nullptr;
            ok = true;
        }

        lk.lock();
        if (job == JOB_OPEN) link->conn = opened;
        if (job == JOB_CLOSE) link->conn = nullptr;
        // A connection whose request was abandoned may be half-broken (its socket was
        // shut down); a close asked for meanwhile is carried out now.
        bool dropNow = link->conn && ((link->abandoned && !ok) || link->closeWhenDone ||
                                      (job == JOB_OPEN && link->abandoned));
        SPDConnection* toClose = dropNow ? link->conn : nullptr;
        if (dropNow) link->conn = nullptr;
        link->closeWhenDone = false;
        if (toClose) {
            lk.unlock();
            spd_close(toClose);
            lk.lock();
        }
        link->busy = false;
        link->result = ok;
        link->finished++;
        link->cv.notify_all();
    }
}

SpeechLink& Link() {
    if (!s_link) {
        s_link = std::make_shared<SpeechLink>();
        std::thread(Worker, s_link).detach();
    }
    return *s_link;
}

// Runs one job on the worker; false when it failed, the worker is still stuck in an
// earlier job, or it did not finish within `timeoutMs`.
bool RunJob(Job job, int timeoutMs, const std::string& text = {}, int interrupt = 0) {
    SpeechLink& link = Link();
    std::unique_lock<std::mutex> lk(link.m);
    if (link.busy || link.job != JOB_NONE) {
        if (job == JOB_CLOSE) link.closeWhenDone = true;
        return false;
    }
    link.job = job;
    link.text = text;
    link.interrupt = interrupt;
    link.abandoned = false;
    uint64_t mine = ++link.issued;
    link.cv.notify_all();
    if (!link.cv.wait_for(lk, std::chrono::milliseconds(timeoutMs),
                          [&] { return link.finished >= mine; })) {
        link.abandoned = true;
        if (job == JOB_SAY && link.conn) shutdown(link.conn->socket, SHUT_RDWR);
        if (job == JOB_CLOSE) link.closeWhenDone = true;
        return false;
    }
    return link.result;
}

bool Connected() {
    if (!s_link) return false;
    std::lock_guard<std::mutex> lk(s_link->m);
    return s_link->conn != nullptr && !s_link->busy;
}

intptr_t ConnectionHandle() {
    if (!s_link) return 0;
    std::lock_guard<std::mutex> lk(s_link->m);
    return reinterpret_cast<intptr_t>(s_link->conn);
}
} // namespace

void ScreenReader_Close() {
    if (s_link) RunJob(JOB_CLOSE, kSayTimeoutMs);
}

intptr_t ScreenReader_Init() {
    ScreenReader_Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (ScreenReader_Detect() != SCREENREADER_ORCA) return 0;
    RunJob(JOB_OPEN, kOpenTimeoutMs);
    return ConnectionHandle();
}

bool ScreenReader_TrySay(const std::string& text, int interrupt) {
    // Like the Windows clients, speaking fails once the screen reader has gone.
    if (!Connected() || ScreenReader_Detect() != SCREENREADER_ORCA) return false;
    // speech-dispatcher refuses an empty message; there is nothing to speak, which is
    // handed over as a success rather than a reason to reconnect.
    if (text.empty()) return true;
    return RunJob(JOB_SAY, kSayTimeoutMs, text, interrupt);
}

#else // no speech-dispatcher client library: always silent

void ScreenReader_Close() {}

intptr_t ScreenReader_Init() {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ScreenReader_Detect();
    return 0;
}

bool ScreenReader_TrySay(const std::string&, int) {
    return false;
}
#endif
