// The Windows side of tests/support/TestSupport.h: temporary folders, files and child
// processes through the wide-character API (names are UTF-8 in the tests).
#include "support/TestSupport.h"

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/core/FileUtil.h"
#include "platform/core/WinText.h"

TempDir::TempDir() {
    m_path = Dir_MakeTemp(Dir_Temp() + "orvalis-test-");
    if (m_path.empty()) throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(Win_Wide(m_path)), ec);
}

std::string TempDir::File(const std::string& name) const {
    return m_path + "/" + name;
}

std::string ReadFileOrEmpty(const std::string& path) {
    std::string bytes;
    File_ReadAll(path, bytes);
    return bytes;
}

void WriteFileOrDie(const std::string& path, const std::string& bytes) {
    const size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos && slash > 0) Dir_Create(path.substr(0, slash));
    if (!File_WriteAll(path, bytes)) throw std::runtime_error("cannot write " + path);
}

std::string TestData(const std::string& name) {
    return std::string(ORVALIS_TEST_DATA) + "/" + name;
}
std::string BinPath(const std::string& name) {
    return std::string(ORVALIS_BIN) + "/" + name;
}

// Reads a pipe to its end on a thread of its own (two pipes cannot be waited on together).
static std::thread Drain(HANDLE h, std::string& out) {
    return std::thread([h, &out] {
        char buf[65536];
        DWORD n = 0;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
            out.append(buf, n);
    });
}

// The process's environment with the extra "NAME=value" entries over it, as a block.
static std::wstring EnvironmentBlock(const std::vector<std::string>& extra) {
    std::vector<std::wstring> entries;
    if (wchar_t* env = GetEnvironmentStringsW()) {
        for (const wchar_t* p = env; *p; p += wcslen(p) + 1)
            entries.emplace_back(p);
        FreeEnvironmentStringsW(env);
    }
    for (const std::string& e : extra) {
        const std::wstring w = Win_Wide(e);
        const std::wstring name = w.substr(0, w.find(L'=') + 1);
        std::erase_if(entries, [&](const std::wstring& x) {
            return _wcsnicmp(x.c_str(), name.c_str(), name.size()) == 0;
        });
        entries.push_back(w);
    }
    std::wstring block;
    for (const std::wstring& e : entries)
        block += e + L'\0';
    block += L'\0';
    return block;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& cwd,
                         const std::vector<std::string>& env, int timeoutMs,
                         const std::string& stdinText) {
    ProcessResult r;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite, inRead, inWrite;
    if (!CreatePipe(&outRead, &outWrite, &sa, 0) || !CreatePipe(&errRead, &errWrite, &sa, 0) ||
        !CreatePipe(&inRead, &inWrite, &sa, 0))
        return r;
    for (HANDLE h : {outRead, errRead, inWrite})
        SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inRead;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    PROCESS_INFORMATION pi{};
    std::wstring line = Win_QuoteArguments(argv);
    std::wstring block = EnvironmentBlock(env);
    const std::wstring folder = Win_Wide(cwd);
    // A start refused for a passing reason (wine under load) is tried again; the reason of
    // the last refusal is the result's error text.
    BOOL ok = FALSE;
    for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
        if (attempt) Sleep(200);
        ok = CreateProcessW(Win_Wide(argv[0]).c_str(), line.data(), nullptr, nullptr, TRUE,
                            CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(),
                            cwd.empty() ? nullptr : folder.c_str(), &si, &pi);
        if (!ok) r.Err = "cannot start " + argv[0] + ": " + Win_ErrorText(GetLastError());
    }
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    CloseHandle(inRead);
    if (!ok) {
        CloseHandle(outRead);
        CloseHandle(errRead);
        CloseHandle(inWrite);
        return r;
    }
    std::thread out = Drain(outRead, r.Out), err = Drain(errRead, r.Err);
    if (!stdinText.empty()) {
        DWORD w = 0;
        WriteFile(inWrite, stdinText.data(), static_cast<DWORD>(stdinText.size()), &w, nullptr);
    }
    CloseHandle(inWrite);
    if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, INFINITE);
        r.ExitCode = -1;
    } else {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        r.ExitCode = static_cast<int>(code);
    }
    out.join();
    err.join();
    CloseHandle(outRead);
    CloseHandle(errRead);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return r;
}

ProcessResult RunTool(const std::vector<std::string>& args, const std::string& cwd,
                      const std::vector<std::string>& env, int timeoutMs) {
    std::vector<std::string> argv{BinPath("orvalis-tool.exe")};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, cwd, env, timeoutMs);
}
