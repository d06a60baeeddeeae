#include "support/TestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempDir::TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "orvalis-test-XXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    m_path = templ;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::File(const std::string& name) const {
    return m_path + "/" + name;
}

std::string ReadFileOrEmpty(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFileOrDie(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string TestData(const std::string& name) {
    return std::string(ORVALIS_TEST_DATA) + "/" + name;
}
std::string BinPath(const std::string& name) {
    return std::string(ORVALIS_BIN) + "/" + name;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& cwd,
                         const std::vector<std::string>& env, int timeoutMs,
                         const std::string& stdinText) {
    ProcessResult r;
    int outPipe[2], errPipe[2], inPipe[2];
    if (pipe(outPipe) || pipe(errPipe) || pipe(inPipe)) return r;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(inPipe[1]);
        close(outPipe[0]);
        close(errPipe[0]);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
        for (const std::string& e : env)
            putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    if (!stdinText.empty()) {
        ssize_t w = write(inPipe[1], stdinText.data(), stdinText.size());
        (void)w;
    }
    close(inPipe[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool outOpen = true, errOpen = true;
    char buf[65536];
    while (outOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            kill(pid, SIGKILL);
            break;
        }
        pollfd fds[2] = {{outOpen ? outPipe[0] : -1, POLLIN, 0},
                         {errOpen ? errPipe[0] : -1, POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left)) < 0) continue;
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP))) {
            const ssize_t n = read(outPipe[0], buf, sizeof buf);
            if (n <= 0)
                outOpen = false;
            else
                r.Out.append(buf, static_cast<size_t>(n));
        }
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            const ssize_t n = read(errPipe[0], buf, sizeof buf);
            if (n <= 0)
                errOpen = false;
            else
                r.Err.append(buf, static_cast<size_t>(n));
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

ProcessResult RunTool(const std::vector<std::string>& args, const std::string& cwd,
                      const std::vector<std::string>& env, int timeoutMs) {
    std::vector<std::string> argv{BinPath("orvalis-tool")};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, cwd, env, timeoutMs);
}
