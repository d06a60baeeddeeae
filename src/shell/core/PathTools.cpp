#include "shell/core/PathTools.h"

std::string CleanFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 1 && u <= 31) continue;
        switch (c) {
        case '"':
        case '*':
        case '/':
        case ':':
        case '<':
        case '>':
        case '?':
        case '\\':
        case '|':
            continue;
        default:
            out.push_back(c);
        }
    }
    return out;
}

bool IsValidFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find('\0') != std::string_view::npos) return false;
    return CleanFileName(name) == name;
}
