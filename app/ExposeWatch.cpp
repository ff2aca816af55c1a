#include "app/ExposeWatch.h"

#include <X11/Xlib.h>

ExposeWatch::ExposeWatch(unsigned long window) : display(XOpenDisplay(nullptr)) {
    if (!display)
        return;
    XSelectInput(display, window, ExposureMask | StructureNotifyMask | VisibilityChangeMask);
    XFlush(display);
}

ExposeWatch::~ExposeWatch() {
    if (display)
        XCloseDisplay(display);
}

bool ExposeWatch::takeRequest() {
    if (!display)
        return true;
    bool asked = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        asked = true;
    }
    return asked;
}
