#include "audio/gui/ActiveWindow.h"

#if defined(__linux__)
#include <gdk/gdk.h>
#include <gdk/gdkx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
Display* XDisplay() {
    GdkDisplay* d = gdk_display_get_default();
    if (!d || !GDK_IS_X11_DISPLAY(d)) return nullptr;
    return GDK_DISPLAY_XDISPLAY(d);
}

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// _NET_ACTIVE_WINDOW of the root window; 0 without a window manager that keeps it.
Window NetActive(Display* dpy) {
    const Atom prop = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", True);
    if (prop == None) return 0;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    Window w = 0;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), prop, 0, 1, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data && count == 1 && format == 32)
        w = *reinterpret_cast<Window*>(data);
    if (data) XFree(data);
    return w;
}
} // namespace

unsigned long ActiveWindow_Get() {
    Display* dpy = XDisplay();
    if (!dpy) return 0;
    if (Window w = NetActive(dpy)) return w;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    return focus == PointerRoot ? 0 : focus;
}

void ActiveWindow_Restore(unsigned long window) {
    Display* dpy = XDisplay();
    if (!dpy || window == 0) return;
    // The window may have gone meanwhile: its errors are nobody's business.
    XErrorHandler old = XSetErrorHandler(&IgnoreErrors);
    const Atom active = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", True);
    if (active != None && NetActive(dpy)) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window;
        e.xclient.message_type = active;
        e.xclient.format = 32;
        e.xclient.data.l[0] = 2; // a pager-like request: the user asked for it
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, DefaultRootWindow(dpy), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
    } else {
        XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
    }
    XSync(dpy, False);
    XSetErrorHandler(old);
}
#else
unsigned long ActiveWindow_Get() {
    return 0;
}
void ActiveWindow_Restore(unsigned long) {}
#endif
