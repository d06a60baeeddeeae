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
// Reads the whole file into `out`, straight into one buffer of the file's size (the
// commands that read large documents hold them once); false when it cannot be read.
bool Tool_ReadFile(const std::string& path, std::string& out);
