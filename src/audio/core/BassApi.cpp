#include "audio/core/BassApi.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/core/WinText.h"
// The same three calls over the system's DLL loader; names are UTF-8 paths.
#define RTLD_NOW 0
#define RTLD_LOCAL 0
static void* dlopen(const char* name, int) {
    return reinterpret_cast<void*>(LoadLibraryW(Win_Wide(name).c_str()));
}
static void* dlsym(void* lib, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
static void dlclose(void* lib) {
    FreeLibrary(static_cast<HMODULE>(lib));
}
static const char* const MPV_NAMES[] = {"libmpv-2.dll", "mpv-2.dll", "mpv-1.dll"};
#else
#include <dlfcn.h>
static const char* const MPV_NAMES[] = {"libmpv.so.2", "libmpv.so.1", "libmpv.so"};
#endif

#include <cstdlib>
#include <mutex>

BassApiTable BassApi;

namespace {
std::mutex s_mutex;
void* s_handle = nullptr;
bool s_tried = false;

template <typename T> void Sym(void* lib, const char* name, T& out) {
    out = reinterpret_cast<T>(dlsym(lib, name));
}
} // namespace

void* Bass_Handle() {
    std::lock_guard<std::mutex> lock(s_mutex);
    return s_handle;
}

void* Bass_Load(const std::string& folder) {
    std::lock_guard<std::mutex> lock(s_mutex);
    if (s_tried) return s_handle;
    s_tried = true;
    void* lib = nullptr;
    if (const char* forced = std::getenv("ORVALIS_MPV_LIBRARY"); forced && *forced) {
        lib = dlopen(forced, RTLD_NOW | RTLD_LOCAL);
    } else {
        for (const char* name : MPV_NAMES) {
            if (!folder.empty()) lib = dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!lib) lib = dlopen(name, RTLD_NOW | RTLD_LOCAL);
            if (lib) break;
        }
    }
    if (!lib) return nullptr;
    BassApiTable t;
    Sym(lib, "mpv_client_api_version", t.ClientApiVersion);
    Sym(lib, "mpv_create", t.Create);
    Sym(lib, "mpv_initialize", t.Initialize);
    Sym(lib, "mpv_terminate_destroy", t.TerminateDestroy);
    Sym(lib, "mpv_set_option_string", t.SetOptionString);
    Sym(lib, "mpv_set_property", t.SetProperty);
    Sym(lib, "mpv_set_property_string", t.SetPropertyString);
    Sym(lib, "mpv_get_property", t.GetProperty);
    Sym(lib, "mpv_free", t.Free);
    Sym(lib, "mpv_command_node", t.CommandNode);
    Sym(lib, "mpv_command", t.Command);
    Sym(lib, "mpv_free_node_contents", t.FreeNodeContents);
    Sym(lib, "mpv_wait_event", t.WaitEvent);
    Sym(lib, "mpv_wakeup", t.Wakeup);
    Sym(lib, "mpv_observe_property", t.ObserveProperty);
    Sym(lib, "mpv_request_log_messages", t.RequestLogMessages);
    Sym(lib, "mpv_error_string", t.ErrorString);
    // Without these the engine cannot open or drive a stream at all.
    if (!t.Create || !t.Initialize || !t.TerminateDestroy || !t.SetOptionString || !t.SetProperty ||
        !t.GetProperty || !t.CommandNode || !t.WaitEvent || !t.Wakeup || !t.FreeNodeContents ||
        !t.Free) {
        dlclose(lib);
        return nullptr;
    }
    BassApi = t;
    s_handle = lib;
    return lib;
}
