#include "access/gui/X11HotKeys.h"
#include "platform/core/SignalStack.h"

#if defined(__linux__) && __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {
struct GrabRecord {
    int id;
    KeyCode code;
    unsigned int mods;
};

std::mutex s_mutex; // guards the display: the polling thread and the interface thread
Display* s_display = nullptr;
std::thread s_thread;
std::atomic<bool> s_stop{false};
std::function<void(int)> s_handler;
std::vector<GrabRecord> s_grabs;
unsigned int s_numLockMask = Mod2Mask;
int s_grabError = 0;

// Installed only around our own grab requests on our own connection.
int CatchError(Display*, XErrorEvent* e) {
    s_grabError = e->error_code;
    return 0;
}

unsigned int FindNumLockMask(Display* d) {
    unsigned int mask = 0;
    KeyCode numLock = XKeysymToKeycode(d, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(d);
    if (map) {
        for (int m = 0; m < 8; ++m)
            for (int k = 0; k < map->max_keypermod; ++k)
                if (numLock && map->modifiermap[m * map->max_keypermod + k] == numLock)
                    mask = 1u << m;
        XFreeModifiermap(map);
    }
    return mask ? mask : Mod2Mask;
}

void Poll() {
    SignalStack signalStack;
    while (!s_stop) {
        std::vector<int> hits;
        std::function<void(int)> handler;
        {
            std::lock_guard<std::mutex> lk(s_mutex);
            handler = s_handler;
            while (XPending(s_display)) {
                XEvent ev;
                XNextEvent(s_display, &ev);
                if (ev.type != KeyPress) continue;
                unsigned int state = ev.xkey.state & ~(LockMask | s_numLockMask);
                state &= ShiftMask | ControlMask | Mod1Mask | Mod4Mask;
                for (const GrabRecord& g : s_grabs)
                    if (g.code == ev.xkey.keycode && g.mods == state) {
                        hits.push_back(g.id);
                        break;
                    }
            }
        }
        for (int id : hits)
            if (handler) handler(id);
        pollfd p{ConnectionNumber(s_display), POLLIN, 0};
        poll(&p, 1, 100);
    }
}

void GrabVariants(KeyCode code, unsigned int mods, Window root, bool grab) {
    for (unsigned int extra :
         {0u, (unsigned int)LockMask, s_numLockMask, LockMask | s_numLockMask}) {
        if (grab)
            XGrabKey(s_display, code, mods | extra, root, False, GrabModeAsync, GrabModeAsync);
        else
            XUngrabKey(s_display, code, mods | extra, root);
    }
}
} // namespace

bool X11HotKeys_Start(std::function<void(int id)> handler) {
    std::lock_guard<std::mutex> lk(s_mutex);
    s_handler = std::move(handler);
    if (s_display) return true;
    s_display = XOpenDisplay(nullptr);
    if (!s_display) return false;
    s_numLockMask = FindNumLockMask(s_display);
    s_stop = false;
    s_thread = std::thread(Poll);
    return true;
}

int X11HotKeys_Grab(int id, unsigned long keysym, bool alt, bool control, bool shift, bool win,
                    unsigned long* root) {
    std::lock_guard<std::mutex> lk(s_mutex);
    if (!s_display) return 0;
    Window r = DefaultRootWindow(s_display);
    if (root) *root = r;
    KeyCode code = XKeysymToKeycode(s_display, keysym);
    if (!code) return 0;
    unsigned int mods = (alt ? Mod1Mask : 0) | (control ? ControlMask : 0) |
                        (shift ? ShiftMask : 0) | (win ? Mod4Mask : 0);
    XSync(s_display, False);
    s_grabError = 0;
    XErrorHandler old = XSetErrorHandler(CatchError);
    GrabVariants(code, mods, r, true);
    XSync(s_display, False);
    XSetErrorHandler(old);
    if (s_grabError) {
        // Part of the variants may have been granted: give them back.
        GrabVariants(code, mods, r, false);
        XSync(s_display, False);
        return 0;
    }
    s_grabs.push_back({id, code, mods});
    return 1;
}

bool X11HotKeys_Ungrab(int id) {
    std::lock_guard<std::mutex> lk(s_mutex);
    if (!s_display) return false;
    bool found = false;
    for (auto it = s_grabs.begin(); it != s_grabs.end();) {
        if (it->id == id) {
            GrabVariants(it->code, it->mods, DefaultRootWindow(s_display), false);
            it = s_grabs.erase(it);
            found = true;
        } else {
            ++it;
        }
    }
    XSync(s_display, False);
    return found;
}

void X11HotKeys_Stop() {
    if (!s_display) return;
    s_stop = true;
    if (s_thread.joinable()) s_thread.join();
    std::lock_guard<std::mutex> lk(s_mutex);
    for (const GrabRecord& g : s_grabs)
        GrabVariants(g.code, g.mods, DefaultRootWindow(s_display), false);
    s_grabs.clear();
    XCloseDisplay(s_display);
    s_display = nullptr;
}

namespace {
// Stops the polling thread when the program ends without having called X11HotKeys_Stop.
struct StopAtExit {
    ~StopAtExit() { X11HotKeys_Stop(); }
} s_stopAtExit;
} // namespace

#else

bool X11HotKeys_Start(std::function<void(int)>) {
    return false;
}
int X11HotKeys_Grab(int, unsigned long, bool, bool, bool, bool, unsigned long* root) {
    if (root) *root = 0;
    return 0;
}
bool X11HotKeys_Ungrab(int) {
    return false;
}
void X11HotKeys_Stop() {}

#endif
