// Watches an X display for the end-to-end tests, as it happens rather than picture by picture: a
// screenshot with ImageMagick takes a few hundred milliseconds on a busy machine, and a window that
// shows for a tenth of a second may be gone by the time a shell script asks about it.
//
//   xwatch changes WINDOW X Y WIDTH HEIGHT SECONDS
//       the milliseconds from its start at which the pixels of a rectangle of a window changed,
//       one a line, looking every few milliseconds;
//   xwatch clients
//       each window the window manager takes on, each change of its properties and its going, as
//       "id|shown, changed or gone|ms since the epoch|WM_NAME|_NET_FRAME_EXTENTS|_MOTIF_WM_HINTS",
//       numbers comma-separated and a property not set left empty; runs until killed.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

xcb_connection_t *connection;

long long nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch())
        .count();
}

xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *reply
        = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

// A property's bytes, or nothing when it is not set (or the window has gone).
std::vector<uint8_t> property(xcb_window_t window, xcb_atom_t name)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection,
        xcb_get_property(connection, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
    std::vector<uint8_t> bytes;
    if (reply && reply->type != XCB_ATOM_NONE) {
        const auto *data = static_cast<const uint8_t *>(xcb_get_property_value(reply));
        bytes.assign(data, data + xcb_get_property_value_length(reply));
    }
    std::free(reply);
    return bytes;
}

std::string numbers(const std::vector<uint8_t> &bytes)
{
    std::string text;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        uint32_t value;
        std::memcpy(&value, bytes.data() + i, 4);
        text += (text.empty() ? "" : ",") + std::to_string(value);
    }
    return text;
}

std::vector<xcb_window_t> windows(const std::vector<uint8_t> &bytes)
{
    std::vector<xcb_window_t> ids(bytes.size() / 4);
    std::memcpy(ids.data(), bytes.data(), ids.size() * 4);
    return ids;
}

int changes(int argc, char **argv)
{
    if (argc != 8) {
        std::fprintf(stderr, "usage: xwatch changes WINDOW X Y WIDTH HEIGHT SECONDS\n");
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0));
    const auto x = static_cast<int16_t>(std::atoi(argv[3]));
    const auto y = static_cast<int16_t>(std::atoi(argv[4]));
    const auto width = static_cast<uint16_t>(std::atoi(argv[5]));
    const auto height = static_cast<uint16_t>(std::atoi(argv[6]));
    const auto duration = std::chrono::milliseconds(static_cast<long>(std::atof(argv[7]) * 1000));
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> previous;
    while (std::chrono::steady_clock::now() - start < duration) {
        xcb_get_image_reply_t *reply = xcb_get_image_reply(connection,
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, x, y, width, height, ~0u), nullptr);
        const auto now = std::chrono::steady_clock::now();
        if (!reply) {
            std::fprintf(stderr, "xwatch: cannot read window 0x%x\n", window);
            return 1;
        }
        const uint8_t *data = xcb_get_image_data(reply);
        const std::vector<uint8_t> current(data, data + xcb_get_image_data_length(reply));
        std::free(reply);
        if (!previous.empty() && current != previous) {
            std::printf("%lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count()));
            std::fflush(stdout);
        }
        previous = current;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return 0;
}

int clients(xcb_window_t root)
{
    const xcb_atom_t clientList = atom("_NET_CLIENT_LIST"), frameExtents = atom("_NET_FRAME_EXTENTS"),
                     motifHints = atom("_MOTIF_WM_HINTS");
    const uint32_t propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &propertyChanges);
    xcb_flush(connection);

    std::set<xcb_window_t> listed;
    const auto report = [&](xcb_window_t id, const char *what) {
        std::vector<uint8_t> name = property(id, XCB_ATOM_WM_NAME);
        std::printf("0x%x|%s|%lld|%s|%s|%s\n", id, what, nowMs(),
            std::string(name.begin(), name.end()).c_str(), numbers(property(id, frameExtents)).c_str(),
            numbers(property(id, motifHints)).c_str());
        std::fflush(stdout);
    };
    const auto update = [&] {
        const std::vector<xcb_window_t> ids = windows(property(root, clientList));
        for (xcb_window_t id : ids) {
            if (listed.insert(id).second) {
                xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &propertyChanges);
                report(id, "shown");
            }
        }
        for (auto it = listed.begin(); it != listed.end();) {
            if (std::find(ids.begin(), ids.end(), *it) == ids.end()) {
                std::printf("0x%x|gone|%lld|||\n", *it, nowMs());
                std::fflush(stdout);
                it = listed.erase(it);
            } else {
                ++it;
            }
        }
    };
    update();
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
            if (notify->window == root && notify->atom == clientList)
                update();
            else if (listed.count(notify->window)
                && (notify->atom == XCB_ATOM_WM_NAME || notify->atom == frameExtents
                    || notify->atom == motifHints))
                report(notify->window, "changed");
        }
        std::free(event);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    int screen = 0;
    connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "xwatch: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen; ++i)
        xcb_screen_next(&screens);
    const std::string mode = argc > 1 ? argv[1] : "";
    const int status = mode == "changes" ? changes(argc, argv)
        : mode == "clients"              ? clients(screens.data->root)
                                         : 2;
    if (status == 2 && mode != "changes")
        std::fprintf(stderr, "usage: xwatch changes WINDOW X Y WIDTH HEIGHT SECONDS | xwatch clients\n");
    xcb_disconnect(connection);
    return status;
}
