#ifdef _WIN32
#include "platform/core/FileUtil.h"
#include "platform/core/WinText.h"
#else
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tool/ToolCommand.h"

namespace {
struct Entry {
    const char* Usage;
    ToolFunction Fn;
};
std::map<std::string, Entry>& Commands() {
    static std::map<std::string, Entry> commands;
    return commands;
}
} // namespace

ToolCommand::ToolCommand(const char* name, const char* usage, ToolFunction fn) {
    Commands()[name] = Entry{usage, fn};
}

int Tool_Fail(const std::string& text, int code) {
    std::fprintf(stderr, "orvalis-tool: %s\n", text.c_str());
    return code;
}

bool Tool_ReadFile(const std::string& path, std::string& out) {
#ifdef _WIN32
    return File_ReadAll(path, out);
#else
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) out.resize(static_cast<size_t>(st.st_size));
    size_t have = 0;
    bool ok = true;
    char more[4096]; // what lies past the size the file had, read apart: the buffer stays
    for (;;) {
        const bool full = have == out.size();
        const ssize_t n =
            full ? ::read(fd, more, sizeof more) : ::read(fd, out.data() + have, out.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (full) out.append(more, static_cast<size_t>(n));
        have += static_cast<size_t>(n);
    }
    ::close(fd);
    out.resize(have);
    return ok;
#endif
}

static void Usage(FILE* out) {
    std::fprintf(out, "usage: orvalis-tool --version\n");
    for (const auto& [name, entry] : Commands())
        std::fprintf(out, "       orvalis-tool %s\n", entry.Usage);
}

#ifdef ORVALIS_TOOL_LIGHT
// This build holds only the commands that need the text converter alone, so that they
// start at once. Every other command, and the list of commands, is run by
// orvalis-tool-full (beside this program), started in its place with the same arguments.
static int RunFull(char** argv) {
    char exe[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string path = n > 0 ? std::string(exe, static_cast<size_t>(n)) : std::string(argv[0]);
    const size_t slash = path.rfind('/');
    path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
           "orvalis-tool-full";
    ::execv(path.c_str(), argv);
    return Tool_Fail("cannot start " + path + ": " + std::strerror(errno));
}
#endif

#ifdef _WIN32
static int Run(int argc, char** argv);

// The arguments as typed (UTF-8 from the wide command line), and the output byte for byte.
int main() {
    Win_BinaryStdio();
    std::vector<std::string> args = Win_Arguments();
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return Run(static_cast<int>(args.size()), argv.data());
}

static int Run(int argc, char** argv) {
#else
int main(int argc, char** argv) {
#endif
#ifdef ORVALIS_TOOL_LIGHT
    if (argc < 2 || !(std::strcmp(argv[1], "--version") == 0 ||
                      std::strcmp(argv[1], "version") == 0 || Commands().count(argv[1])))
        return RunFull(argv);
#endif
    if (argc < 2) {
        Usage(stderr);
        return 2;
    }
    const std::string cmd = argv[1];
    if (cmd == "--version" || cmd == "version") {
        std::printf("Orvalis %s\n", ORVALIS_VERSION);
        return 0;
    }
    if (cmd == "--help" || cmd == "-h" || (cmd == "help" && argc == 2)) {
        Usage(stdout);
        return 0;
    }
    const auto it = Commands().find(cmd);
    if (it == Commands().end()) {
        std::fprintf(stderr, "orvalis-tool: unknown command \"%s\"\n", cmd.c_str());
        Usage(stderr);
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    return it->second.Fn(args);
}
