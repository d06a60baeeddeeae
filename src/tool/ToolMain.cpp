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

static void Usage(FILE* out) {
    std::fprintf(out, "usage: orvalis-tool --version\n");
    for (const auto& [name, entry] : Commands())
        std::fprintf(out, "       orvalis-tool %s\n", entry.Usage);
}

int main(int argc, char** argv) {
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
