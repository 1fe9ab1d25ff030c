#pragma once

#include <chrono>
#include <string>
#include <xcb/xcb.h>

// Watches the X server for a top-level window with the given title becoming viewable, which is what
// `xdotool search --onlyvisible` looks for, without polling: the X server sends every map of a child of
// the root window.
class MapWatcher {
public:
    // Connects to $DISPLAY and listens to the root window before returning.
    explicit MapWatcher(std::string title);
    ~MapWatcher();
    MapWatcher(const MapWatcher &) = delete;
    MapWatcher &operator=(const MapWatcher &) = delete;

    bool isConnected() const { return listening_; }
    // Blocks until such a window is mapped; false when the timeout passes first.
    bool waitForMap(std::chrono::milliseconds timeout);

private:
    std::string windowName(xcb_window_t window);
    xcb_atom_t atom(const char *name);

    std::string title_;
    xcb_connection_t *connection_ = nullptr;
    bool listening_ = false;
    xcb_atom_t netWmName_ = XCB_ATOM_NONE;
    xcb_atom_t utf8String_ = XCB_ATOM_NONE;
};
