// The settings box on Windows: the system's message box, the site opened by the shell or put
// on the clipboard. Windows always has a desktop for a program started by the user; a
// program started without one (a service) gets the text on standard error instead.
#include "plugins/extractors/frame/SettingsBox.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/core/WinText.h"

static bool PutOnClipboard(const char* address) {
    const std::wstring text = Win_Wide(address);
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    bool ok = false;
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* p = GlobalLock(mem)) {
            std::memcpy(p, text.c_str(), bytes);
            GlobalUnlock(mem);
            ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
        }
        if (!ok) GlobalFree(mem); // owned by the clipboard once set
    }
    CloseClipboard();
    return ok;
}

int SettingsBox_Show(const ExtractorProgram& program) {
    const char* address = program.SiteAddress ? program.SiteAddress : "";
    HDESK desk = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!desk) {
        std::fprintf(stderr, "%s\n", program.SettingsText);
        if (*address) std::fprintf(stderr, "%s\n", address);
        return Extractor_NoDisplay;
    }
    CloseDesktop(desk);
    if (program.Action == Settings_CopySite) PutOnClipboard(address);
    MessageBoxW(nullptr, Win_Wide(program.SettingsText).c_str(), L"Info",
                MB_OK | MB_ICONINFORMATION);
    if (program.Action == Settings_OpenSite && *address) {
        // Without a browser the address still reaches the user, through the clipboard.
        const auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(
            nullptr, L"open", Win_Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (r <= 32) PutOnClipboard(address);
    }
    return Extractor_Ok;
}
