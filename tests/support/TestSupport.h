// Helpers shared by the tests: temporary folders, files, child processes.
#pragma once
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed when the object dies.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    // Path + "/" + name.
    std::string File(const std::string& name) const;

  private:
    std::string m_path;
};

std::string ReadFileOrEmpty(const std::string& path);
void WriteFileOrDie(const std::string& path, const std::string& bytes);
// The fixture tests/data/<name>.
std::string TestData(const std::string& name);
// The program folder build/bin/<name>.
std::string BinPath(const std::string& name);

struct ProcessResult {
    int ExitCode = -1; // -1 when it did not exit normally
    std::string Out;
    std::string Err;
};
// Runs a program with arguments (no shell), in `cwd` when given, with extra environment
// entries "NAME=value"; kills it after `timeoutMs`.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& cwd = {},
                         const std::vector<std::string>& env = {}, int timeoutMs = 60000,
                         const std::string& stdinText = {});
// orvalis-tool with these arguments.
ProcessResult RunTool(const std::vector<std::string>& args, const std::string& cwd = {},
                      const std::vector<std::string>& env = {}, int timeoutMs = 60000);
