// orvalis-tool drives the core without a window. Each command lives in its own
// Cmd*.cpp and registers itself with a static ToolCommand object.
#pragma once
#include <string>
#include <vector>

using ToolFunction = int (*)(const std::vector<std::string>& args);

struct ToolCommand {
    ToolCommand(const char* name, const char* usage, ToolFunction fn);
};

// Prints "orvalis-tool: " + text to standard error and returns `code`.
int Tool_Fail(const std::string& text, int code = 1);
