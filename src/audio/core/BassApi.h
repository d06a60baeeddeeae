// The audio library's entry points, opened at run time. The engine is libmpv; the table
// keeps the program's historical names (`Bass_Load`, `BassApi`) because the rest of the
// program, its log lines and its preferences speak of "Bass". An entry that is missing
// stays null.
#pragma once
#include <cstdint>
#include <string>

#include <mpv/client.h>

struct BassApiTable {
    decltype(&mpv_client_api_version) ClientApiVersion = nullptr;
    decltype(&mpv_create) Create = nullptr;
    decltype(&mpv_initialize) Initialize = nullptr;
    decltype(&mpv_terminate_destroy) TerminateDestroy = nullptr;
    decltype(&mpv_set_option_string) SetOptionString = nullptr;
    decltype(&mpv_set_property) SetProperty = nullptr;
    decltype(&mpv_set_property_string) SetPropertyString = nullptr;
    decltype(&mpv_get_property) GetProperty = nullptr;
    decltype(&mpv_free) Free = nullptr;
    decltype(&mpv_command_node) CommandNode = nullptr;
    decltype(&mpv_command) Command = nullptr;
    decltype(&mpv_free_node_contents) FreeNodeContents = nullptr;
    decltype(&mpv_wait_event) WaitEvent = nullptr;
    decltype(&mpv_wakeup) Wakeup = nullptr;
    decltype(&mpv_observe_property) ObserveProperty = nullptr;
    decltype(&mpv_request_log_messages) RequestLogMessages = nullptr;
    decltype(&mpv_error_string) ErrorString = nullptr;
};
extern BassApiTable BassApi;

// Opens the audio library once: from `folder` first (the program folder), then the
// system's copy. Fills BassApi and returns the library handle; 0 when it cannot be opened
// or lacks an entry the engine cannot do without. The environment variable
// ORVALIS_MPV_LIBRARY names another file to open instead (tests use a missing one).
void* Bass_Load(const std::string& folder);
// The handle Bass_Load returned, 0 when it was never called or failed.
void* Bass_Handle();
