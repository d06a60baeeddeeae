// libFuzzer target for the key-and-value file reader (preferences, catalogue, language
// and configuration files): any bytes must load without a crash; every group and key can
// be read back; and a group name written by the writer is read back whole (a feed's name
// may hold "]").
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/base/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    IniReader reader;
    reader.LoadBytes(bytes);
    if (reader.Groups().empty()) std::abort();
    for (size_t g = 0; g < reader.Groups().size(); ++g) {
        reader.SelectGroupIndex(g);
        for (const IniEntry& e : reader.Groups()[g].Entries) {
            (void)reader.ReadString(e.Key);
            (void)reader.ReadLong(e.Key);
            (void)reader.ReadQuad(e.Key);
            (void)reader.ReadFlag(e.Key, false);
        }
    }
    // A name without line breaks, written and read again, comes back as it was.
    std::string name;
    for (char c : bytes)
        if (c != '\r' && c != '\n') name.push_back(c);
    while (!name.empty() && (name[0] == ' ' || name[0] == '\t'))
        name.erase(0, 1);
    IniWriter writer;
    writer.Group(name);
    writer.WriteString("Key", "Value");
    IniReader again;
    again.LoadBytes(writer.Bytes());
    if (again.Groups().size() != 2 || again.Groups()[1].Name != name) std::abort();
    return 0;
}
