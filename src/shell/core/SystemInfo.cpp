#include "shell/core/SystemInfo.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/utsname.h>
#endif

#include <fstream>

#include "platform/core/Text.h"

#ifdef _WIN32
int WindowsVersionCode() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    // GetVersionEx lies to programs without a manifest; ntdll's own call does not.
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto fn = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                          reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                    : nullptr;
    if (!fn || fn(&v) != 0) return 200;
    const bool workstation = v.wProductType == VER_NT_WORKSTATION;
    const DWORD major = v.dwMajorVersion, minor = v.dwMinorVersion;
    if (major == 3) return 5;
    if (major == 4) return 20;
    if (major == 5 && minor == 0) return 50;
    if (major == 5 && minor == 1) return 60;
    if (major == 5 && minor == 2) return workstation ? 60 : 65;
    if (major == 6 && minor == 0) return workstation ? 70 : 75;
    if (major == 6 && minor == 1) return workstation ? 80 : 75;
    if (major == 6 && minor == 2) return workstation ? 90 : 95;
    return 200;
}
#else
int WindowsVersionCode() {
    return 200;
}
#endif

std::string WindowsVersionNameOf(int code) {
    switch (code) {
    case 5:
        return "Windows NT3";
    case 10:
        return "Windows 95";
    case 20:
        return "Windows NT4";
    case 30:
        return "Windows 98";
    case 40:
        return "Windows ME";
    case 50:
        return "Windows 2000";
    case 60:
        return "Windows XP";
    case 65:
        return "Windows Server 2003";
    case 70:
        return "Windows Vista";
    case 75:
        return "Windows Server 2008";
    case 80:
        return "Windows Seven";
    case 90:
        return "Windows 8";
    default:
        return "OS inconnu";
    }
}

static std::string OsReleaseName() {
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(file);
        std::string line, name;
        while (std::getline(in, line)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = line.substr(0, eq);
            std::string value = Trim(line.substr(eq + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            if (key == "PRETTY_NAME" && !value.empty()) return value;
            if (key == "NAME" && name.empty()) name = value;
        }
        if (!name.empty()) return name;
    }
    return {};
}

#ifdef _WIN32
std::string WindowsVersionName() {
    return WindowsVersionNameOf(WindowsVersionCode());
}
#else
std::string WindowsVersionName() {
    std::string kernel;
    struct utsname u {};
    if (uname(&u) == 0) kernel = std::string(u.sysname) + " " + u.release + " " + u.machine;
    const std::string distro = OsReleaseName();
    if (distro.empty() && kernel.empty()) return WindowsVersionNameOf(WindowsVersionCode());
    if (distro.empty()) return kernel;
    if (kernel.empty()) return distro;
    return distro + ", " + kernel;
}
#endif
