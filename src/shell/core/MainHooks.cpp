#include "shell/core/MainHooks.h"

#include <map>

namespace {
struct Range {
    int First;
    int Count;
    std::function<bool(int)> Handler;
};
std::map<int, std::function<bool(int)>> s_commands;
std::vector<Range> s_ranges;
} // namespace

MainHooks& Main_Hooks() {
    static MainHooks hooks;
    return hooks;
}

void Command_Register(int id, std::function<bool(int id)> handler) {
    s_commands[id] = std::move(handler);
}

void Command_RegisterRange(int first, int count, std::function<bool(int id)> handler) {
    s_ranges.push_back({first, count, std::move(handler)});
}

std::function<bool(int id)> Command_Find(int id) {
    auto it = s_commands.find(id);
    if (it != s_commands.end() && it->second) return it->second;
    for (auto r = s_ranges.rbegin(); r != s_ranges.rend(); ++r)
        if (id >= r->First && id < r->First + r->Count) return r->Handler;
    return {};
}

void MainHooks_Reset() {
    s_commands.clear();
    s_ranges.clear();
    Main_Hooks() = MainHooks{};
}
