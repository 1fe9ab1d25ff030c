#include "MapWatcher.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>

namespace {

struct FreeDeleter {
    void operator()(void *pointer) const { std::free(pointer); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

} // namespace

MapWatcher::MapWatcher(std::string title) : title_(std::move(title))
{
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_))
        return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so the X server has the mask before the program under test starts.
    const Reply<xcb_generic_error_t> error(xcb_request_check(
        connection_, xcb_change_window_attributes_checked(connection_, root, XCB_CW_EVENT_MASK, &mask)));
    netWmName_ = atom("_NET_WM_NAME");
    utf8String_ = atom("UTF8_STRING");
    listening_ = !error && netWmName_ != XCB_ATOM_NONE;
}

MapWatcher::~MapWatcher()
{
    xcb_disconnect(connection_);
}

xcb_atom_t MapWatcher::atom(const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::string MapWatcher::windowName(xcb_window_t window)
{
    for (const auto &[property, type] :
         {std::pair{netWmName_, utf8String_},
          std::pair{xcb_atom_t(XCB_ATOM_WM_NAME), xcb_atom_t(XCB_ATOM_STRING)}}) {
        const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, property, type, 0, 1024), nullptr));
        if (reply && xcb_get_property_value_length(reply.get()) > 0)
            return {static_cast<const char *>(xcb_get_property_value(reply.get())),
                    size_t(xcb_get_property_value_length(reply.get()))};
    }
    return {};
}

bool MapWatcher::waitForMap(std::chrono::milliseconds timeout)
{
    if (!listening_)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
    while (!xcb_connection_has_error(connection_)) {
        while (const Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection_)}) {
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event.get());
            if (windowName(map->window) == title_)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(&descriptor, 1, int(left.count())) < 0)
            return false;
    }
    return false;
}
