// One running instance per data folder. The first instance holds an exclusive lock on
// AppName + "-OnlyOneInstance.lock" in the current (data) folder and listens on a local
// socket named after it and the folder. A second start
// sends its hand-over there and ends:
//   kind 2 with its first parameter when that names an ".opml" file (any case; a
//   relative name is made absolute against the folder the second start was run in),
//   kind 1 with an empty text otherwise;
// the message is the kind (32-bit), the byte count of the text (32-bit) and the text as
// UTF-16LE with its terminating zero, as a window message would carry it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct InstanceHandOver {
    int32_t Kind = 0;
    std::string Text;
};

// Returns 1 when this instance may run (it holds the lock, or the running one could not
// be reached within 2 s and this one runs as a normal instance); 0 when it handed over
// and must end, or when the lock file cannot be created (end silently).
int CheckSingleInstance(const std::vector<std::string>& params);
// Called from the listening thread when a hand-over arrived (e.g. to wake the interface;
// it must not touch windows).
void SingleInstance_SetNotify(std::function<void()> notify);
// Takes the oldest hand-over received (interface thread); logs "* WM_CopyData = " + kind.
bool SingleInstance_Take(InstanceHandOver& out);
// Waits up to `timeoutMs` for a hand-over, then takes it (tools and tests).
bool SingleInstance_Wait(InstanceHandOver& out, int timeoutMs);
// Stops listening and releases the lock (exit sequence; also safe after a hand-over).
void SingleInstance_Release();
// Sends a hand-over to the instance listening in the current folder; true when it was
// received (acknowledged).
bool SingleInstance_Send(int32_t kind, const std::string& text);
