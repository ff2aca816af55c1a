#pragma once

// Xlib's own names (Status, None, Bool) are macros: only the .cpp sees
// them.
struct _XDisplay;

// Tells when the X server wants the window drawn again: part of it was
// uncovered, it was mapped, moved or resized. The window layer reports none
// of that, and a frame that is not drawn again would leave the server's
// own fill where the window was uncovered. Listens on a connection of its
// own, so the window layer's events are untouched.
class ExposeWatch {
public:
    // Starts listening to the window with this X id; without a connection
    // to the server every call of takeRequest() says yes.
    explicit ExposeWatch(unsigned long window);
    ~ExposeWatch();
    ExposeWatch(const ExposeWatch&) = delete;
    ExposeWatch& operator=(const ExposeWatch&) = delete;

    // True when the server asked for the window since the last call (or
    // nothing can be watched); takes every pending notice.
    bool takeRequest();

private:
    _XDisplay* display = nullptr;
};
