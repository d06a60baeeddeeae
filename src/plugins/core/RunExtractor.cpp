#include "plugins/core/RunExtractor.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <thread>
#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "platform/core/WinText.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "update/core/Date.h"
#include "update/net/DownloadTool.h"
#include "update/core/FeedParse.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace {
std::string WithSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool IsRegularFile(const std::string& path) {
#ifdef _WIN32
    return File_Exists(path);
#else
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

// The UTF-16LE line reader: code units are split at CR, LF and CR LF as they arrive.
// It keeps to the output bounds: past one, it takes nothing more and says which.
struct LineReader {
    std::string Odd; // a lone byte waiting for its pair
    std::u16string Line;
    bool AfterCR = false;
    std::vector<std::string>* Out = nullptr;
    uint64_t Total = 0;             // bytes received
    const char* Exceeded = nullptr; // the bound passed, for the log

    void Emit() {
        if (Out->size() >= EXTRACTOR_MAX_LINES) {
            Exceeded = "lines";
            Line.clear();
            return;
        }
        std::string text = Utf16ToUtf8(Line);
        Line.clear();
        std::string clean;
        clean.reserve(text.size());
        for (char c : text)
            if (c != '\x11') clean.push_back(c);
        Out->push_back(std::move(clean));
    }
    // Returns the number of lines completed by these bytes.
    size_t Feed(std::string_view bytes) {
        if (Exceeded) return 0;
        Total += bytes.size();
        if (Total > EXTRACTOR_MAX_OUTPUT) {
            Exceeded = "output";
            return 0;
        }
        const size_t before = Out->size();
        std::string data = Odd;
        data.append(bytes);
        const size_t whole = data.size() & ~static_cast<size_t>(1);
        for (size_t i = 0; i < whole && !Exceeded; i += 2) {
            const char16_t u =
                static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                      (static_cast<unsigned char>(data[i + 1]) << 8));
            if (u == u'\r') {
                Emit();
                AfterCR = true;
            } else if (u == u'\n') {
                if (!AfterCR) Emit();
                AfterCR = false;
            } else {
                AfterCR = false;
                if ((Line.size() + 1) * 2 > EXTRACTOR_MAX_LINE) {
                    Exceeded = "line length";
                    break;
                }
                Line.push_back(u);
            }
        }
        Odd = data.substr(whole);
        return Out->size() - before;
    }
    void Finish() {
        if (!Line.empty() && !Exceeded) Emit();
    }
};

#ifdef _WIN32
// Ends a child that outlived its budget (a console-less child has no polite request),
// and waits until it is gone.
void EndChild(HANDLE process) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 2000);
}
#else
// Ends a child that outlived its budget: a polite request first, then the end.
void EndChild(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}
#endif
} // namespace

bool IsExtractorName(std::string_view name) {
    if (!StartsWithNoCase(name, "OV-")) return false;
    const size_t dot = name.rfind('.');
    return dot != std::string_view::npos && EqualsNoCase(name.substr(dot + 1), "exe");
}

std::vector<std::string> Extractor_List(const std::string& folder) {
    std::vector<std::string> out;
    const std::string dirPath = WithSlash(folder);
#ifdef _WIN32
    // A ".exe" file is a program there: the name says it.
    for (const std::string& name : Dir_List(dirPath.empty() ? "." : dirPath))
        if (IsExtractorName(name) && IsRegularFile(dirPath + name)) out.push_back(name);
#else
    DIR* dir = ::opendir(dirPath.empty() ? "." : dirPath.c_str());
    if (!dir) return out;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (!IsExtractorName(name)) continue;
        const std::string path = dirPath + name;
        if (IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0) out.push_back(name);
    }
    ::closedir(dir);
#endif
    return out;
}

std::vector<std::string> FeedType_List(const std::string& folder) {
    std::vector<std::string> out = {"RDF", "RssV2", "Atom", "NetRadio", "OV-DailyMotion"};
    for (std::string& name : Extractor_List(folder))
        out.push_back(std::move(name));
    return out;
}

int Extractor_OpenSettings(const std::string& folder, const std::string& type) {
    const std::string program = WithSlash(folder) + type;
    if (type.empty() || !IsRegularFile(program)) return 0;
#ifdef _WIN32
    std::wstring line = Win_QuoteArguments({program, "OpenGUI"});
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(Win_Wide(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
        Log("! Error, can't start " + program);
        return 0;
    }
    // Nothing to reap on Windows: the handles are all the system keeps for us.
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 1;
#else
    const char* argv[] = {program.c_str(), "OpenGUI", nullptr};
    // Two forks: the settings program becomes a child of init, which reaps it, and the
    // intermediate child is reaped here at once. Only async-signal-safe calls after fork.
    const pid_t middle = ::fork();
    if (middle < 0) {
        Log("! Error, can't start " + program);
        return 0;
    }
    if (middle == 0) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execv(argv[0], const_cast<char* const*>(argv));
            ::_exit(127);
        }
        ::_exit(child < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
#endif
}

std::string Extractor_CommandLine(const std::string& program, const std::string& pageFile,
                                  const std::string& url) {
    std::string line = (!program.empty() && program[0] == '"') ? program : "\"" + program + "\"";
    return line + " \"" + pageFile + "\" \"" + url + "\"";
}

std::vector<std::string> Extractor_SplitUtf16Lines(std::string_view bytes, bool* overBound) {
    std::vector<std::string> lines;
    LineReader reader;
    reader.Out = &lines;
    reader.Feed(bytes);
    reader.Finish();
    if (overBound) *overBound = reader.Exceeded != nullptr;
    return lines;
}

int Extractor_ApplyLines(const std::vector<std::string>& lines) {
    Item item;
    Item_Clear(item);
    int kept = 0;
    for (const std::string& line : lines) {
        const size_t eq = line.find('=');
        const std::string key =
            Utf8Lower(Trim(eq == std::string::npos ? std::string_view(line)
                                                   : std::string_view(line).substr(0, eq)));
        const std::string value =
            eq == std::string::npos ? std::string() : Trim(std::string_view(line).substr(eq + 1));
        if (key == "audiolink")
            item.AudioLink = value;
        else if (key == "audiofile")
            item.AudioFile = value;
        else if (key == "description")
            item.Description = value;
        else if (key == "guid")
            item.GUID = value;
        else if (key == "author")
            item.Author = value;
        else if (key == "link")
            item.Link = value;
        else if (key == "title")
            item.Title = value;
        else if (key == "pubdate") {
            item.Date = Feed_ParseDate(value);
            item.PubDate = value;
        } else if (key == "orvalis") {
            if (Item_Commit(item)) ++kept;
            Item_Clear(item);
        }
    }
    if (Item_Commit(item)) ++kept;
    return kept;
}

ExtractorRun RunExtractor(const std::string& pageFile, const std::string& program,
                          const std::string& url) {
    ExtractorRun run;
    Log("- RunExtractor " + Extractor_CommandLine(program, pageFile, url));
#ifdef _WIN32
    // The child's standard output is the write end of a pipe; the read end stays here
    // (not inherited), so the end of the file comes when the child and its own children
    // are done with it.
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    PROCESS_INFORMATION pi{};
    bool started = false;
    if (CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = INVALID_HANDLE_VALUE;
        si.hStdOutput = writeEnd;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::wstring line = Win_QuoteArguments({program, pageFile, url});
        started = CreateProcessW(Win_Wide(program).c_str(), line.data(), nullptr, nullptr, TRUE,
                                 CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi) != 0;
        CloseHandle(writeEnd);
    }
    if (!started) {
        Log("! Error, can't start " + program);
        if (readEnd) CloseHandle(readEnd);
        run.Items = Extractor_ApplyLines(run.Lines);
        return run;
    }
    CloseHandle(pi.hThread);
    run.Started = true;

    LineReader reader;
    reader.Out = &run.Lines;
    char buffer[65536];
    int budget = EXTRACTOR_FIRST_BUDGET;
    bool eof = false;
    // Reads what the pipe holds now, without waiting; false at its end.
    auto readNow = [&](size_t& got) {
        got = 0;
        DWORD avail = 0;
        if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr)) return false;
        if (avail == 0) return true;
        DWORD n = 0;
        if (!ReadFile(readEnd, buffer, std::min<DWORD>(avail, sizeof buffer), &n, nullptr))
            return false;
        got = n;
        return true;
    };
    for (;;) {
        size_t got = 0;
        if (!eof) {
            if (!readNow(got)) eof = true;
        }
        if (got > 0) {
            // Only a whole line renews the budget: a trickle of bytes does not.
            if (reader.Feed(std::string_view(buffer, got)) > 0) budget = EXTRACTOR_LINE_BUDGET;
            if (reader.Exceeded) {
                Log("! Extractor ended, its output passed the bound on " +
                    std::string(reader.Exceeded) + " : " + program);
                EndChild(pi.hProcess);
                break;
            }
            continue;
        }
        if (WaitForSingleObject(pi.hProcess, eof ? 1 : 0) == WAIT_OBJECT_0) {
            // What the child wrote just before it ended is still in the pipe.
            while (!eof && !reader.Exceeded) {
                if (!readNow(got) || got == 0) break;
                reader.Feed(std::string_view(buffer, got));
            }
            run.Ended = true;
            if (reader.Exceeded)
                Log("! Extractor ended, its output passed the bound on " +
                    std::string(reader.Exceeded) + " : " + program);
            break;
        }
        if (IsThreadKilled(1)) {
            Log("- RunExtractor stopped : " + program);
            EndChild(pi.hProcess);
            break;
        }
        if (--budget < 1) {
            Log("! Extractor ended after its time ran out : " + program);
            EndChild(pi.hProcess);
            break;
        }
        if (!eof) Sleep(1);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(readEnd);
#else
    int fds[2] = {-1, -1};
    pid_t pid = -1;
    if (::pipe2(fds, O_CLOEXEC) == 0) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const char* argv[] = {program.c_str(), pageFile.c_str(), url.c_str(), nullptr};
        if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, const_cast<char* const*>(argv),
                          environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
    }
    if (pid < 0) {
        Log("! Error, can't start " + program);
        if (fds[0] >= 0) ::close(fds[0]);
        run.Items = Extractor_ApplyLines(run.Lines);
        return run;
    }
    run.Started = true;
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);

    LineReader reader;
    reader.Out = &run.Lines;
    char buffer[65536];
    int budget = EXTRACTOR_FIRST_BUDGET;
    bool eof = false, exited = false;
    auto drain = [&] {
        for (;;) {
            const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
            if (n > 0) {
                if (reader.Exceeded) return;
                reader.Feed(std::string_view(buffer, static_cast<size_t>(n)));
                continue;
            }
            if (n == 0 || errno != EINTR) return;
        }
    };
    for (;;) {
        if (!eof) {
            pollfd p{fds[0], POLLIN, 0};
            if (::poll(&p, 1, 1) > 0) {
                const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
                if (n > 0) {
                    // Only a whole line renews the budget: a trickle of bytes does not.
                    if (reader.Feed(std::string_view(buffer, static_cast<size_t>(n))) > 0)
                        budget = EXTRACTOR_LINE_BUDGET;
                    if (reader.Exceeded) {
                        Log("! Extractor ended, its output passed the bound on " +
                            std::string(reader.Exceeded) + " : " + program);
                        EndChild(pid);
                        break;
                    }
                    continue;
                }
                if (n == 0 || (errno != EAGAIN && errno != EINTR)) eof = true;
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (!exited) exited = ::waitpid(pid, nullptr, WNOHANG) == pid;
        if (exited) {
            // What the child wrote just before it ended is still in the pipe.
            if (!eof) drain();
            run.Ended = true;
            if (reader.Exceeded)
                Log("! Extractor ended, its output passed the bound on " +
                    std::string(reader.Exceeded) + " : " + program);
            break;
        }
        // A stop request of the update thread must not wait for the budget: the worker
        // is never killed, so the child is ended here.
        if (IsThreadKilled(1)) {
            Log("- RunExtractor stopped : " + program);
            EndChild(pid);
            break;
        }
        if (--budget < 1) {
            Log("! Extractor ended after its time ran out : " + program);
            EndChild(pid);
            break;
        }
    }
    ::close(fds[0]);
#endif
    reader.Finish();
    if (reader.Exceeded) {
        // An output past its bounds is no document: the feed fails, nothing is kept.
        run.OverBound = true;
        std::vector<std::string>().swap(run.Lines);
        run.Items = 0;
        return run;
    }
    run.Items = Extractor_ApplyLines(run.Lines);
    return run;
}

int Extractor_Update(const std::string& folder, const std::string& type, const std::string& url,
                     const std::string& pageFile, int64_t& startMs) {
    startMs = -1;
    // Only a plain file name of the plug-in folder is ever run.
#ifdef _WIN32
    const char* separators = "/\\:";
#else
    const char* separators = "/";
#endif
    if (type.find_first_of(separators) != std::string::npos || type == "." || type == "..") {
        Log("! Error, extractor name is not a plain file name : " + type);
        return 0;
    }
    const std::string program = WithSlash(folder) + type;
    if (type.empty() || !IsRegularFile(program) || File_Size(program) <= 0) return 0;
    std::string page;
    const size_t colon = url.find(':');
    if (colon != std::string::npos && colon >= 2) {
        // The page is read whole by the extractor: bounded like any document.
        const DownloadSettings settings = Download_GetSettings();
        if (!DownloadFile(ExpandUrlDate(url), pageFile, 1, 0, settings, settings.MaxDocumentBytes))
            return 0;
        page = WithSlash(Dir_Current()) + pageFile;
    }
    if (IsThreadKilled(1)) return 0;
    startMs = SteadyMs();
    return RunExtractor(page, program, url).Items;
}
