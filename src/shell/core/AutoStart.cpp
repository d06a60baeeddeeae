#include "shell/core/AutoStart.h"

#include <cstdlib>

#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"

static std::string ConfigFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "") + "/.config";
}

std::string AutoStart_EntryPath() {
    return ConfigFolder() + "/autostart/Orvalis.desktop";
}

// The Exec key quotes its argument; inside quotes these characters take a backslash.
static std::string QuoteExec(const std::string& program) {
    std::string out = "\"";
    for (const char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        if (c == '%') out += '%'; // a field code otherwise
        out += c;
    }
    return out + "\"";
}

bool AutoStart_Set(bool on, const std::string& program) {
    const std::string path = AutoStart_EntryPath();
    if (!on) {
        if (!File_Exists(path) || File_Delete(path)) return true;
        Log("! Error, can't remove " + path);
        return false;
    }
    Dir_Create(ConfigFolder() + "/autostart");
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Orvalis\n"
                              "Exec=" +
                              QuoteExec(program) +
                              "\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    if (File_WriteAtomic(path, entry)) return true;
    Log("! Error, can't write " + path);
    return false;
}

bool AutoStart_IsSet() {
    return File_Exists(AutoStart_EntryPath());
}
