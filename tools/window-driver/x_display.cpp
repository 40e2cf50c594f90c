#include "x_display.h"

#include <xcb/xcbext.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include <sys/uio.h>

namespace pelorix::windowdriver {

namespace {

// The XTEST extension's FakeInput request (minor opcode 2), as the protocol lays it out.
xcb_extension_t xtestExtension = {"XTEST", 0};
constexpr std::uint8_t kFakeInput = 2;

struct FakeInputRequest {
    std::uint8_t majorOpcode;
    std::uint8_t minorOpcode;
    std::uint16_t length;
    std::uint8_t type;
    std::uint8_t detail;
    std::uint8_t pad0[2];
    std::uint32_t time;
    xcb_window_t root;
    std::uint8_t pad1[8];
    std::int16_t rootX;
    std::int16_t rootY;
    std::uint8_t pad2[7];
    std::uint8_t deviceId;
};
static_assert(sizeof(FakeInputRequest) == 36);

constexpr std::uint32_t kKeysymReturn = 0xff0d;
constexpr std::uint32_t kKeysymEscape = 0xff1b;
constexpr std::uint32_t kKeysymSpace = 0x0020;

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

}  // namespace

XDisplay::XDisplay() {
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_) != 0) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    screen_ = screens.data;
    const xcb_query_extension_reply_t* xtest = xcb_get_extension_data(connection_, &xtestExtension);
    xtestOpcode_ = xtest != nullptr && xtest->present ? xtest->major_opcode : 0;
}

XDisplay::~XDisplay() {
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

xcb_atom_t XDisplay::atom(const char* name) {
    auto reply = owned(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

QString XDisplay::titleOf(xcb_window_t window) {
    auto reply =
        owned(xcb_get_property_reply(connection_,
                                     xcb_get_property(connection_, 0, window, atom("_NET_WM_NAME"),
                                                      XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                     nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) == 0) {
        reply =
            owned(xcb_get_property_reply(connection_,
                                         xcb_get_property(connection_, 0, window, XCB_ATOM_WM_NAME,
                                                          XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
                                         nullptr));
    }
    if (!reply) {
        return {};
    }
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

std::vector<TopLevelWindow> XDisplay::shownWindows() {
    std::vector<TopLevelWindow> shown;
    auto tree = owned(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, screen_->root), nullptr));
    if (!tree) {
        return shown;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        auto attributes = owned(xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, children[i]), nullptr));
        auto geometry = owned(xcb_get_geometry_reply(
            connection_, xcb_get_geometry(connection_, children[i]), nullptr));
        if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
            continue;
        }
        shown.push_back({children[i], geometry->x, geometry->y, geometry->width, geometry->height,
                         titleOf(children[i])});
    }
    return shown;
}

void XDisplay::fakeInput(std::uint8_t type, std::uint8_t detail, int x, int y) {
    static const xcb_protocol_request_t request{1, &xtestExtension, kFakeInput, 1};
    FakeInputRequest body{};
    body.type = type;
    body.detail = detail;
    body.root = screen_->root;
    body.rootX = static_cast<std::int16_t>(x);
    body.rootY = static_cast<std::int16_t>(y);
    // xcb_send_request needs two spare entries before the first part.
    iovec parts[3]{};
    parts[2].iov_base = &body;
    parts[2].iov_len = sizeof body;
    xcb_send_request(connection_, 0, parts + 2, &request);
    xcb_flush(connection_);
}

// A round trip: everything sent before has been handled by the server.
void XDisplay::sync() {
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

void XDisplay::click(int x, int y) {
    fakeInput(XCB_MOTION_NOTIFY, 0, x, y);
    fakeInput(XCB_BUTTON_PRESS, 1, x, y);
    fakeInput(XCB_BUTTON_RELEASE, 1, x, y);
    sync();
}

std::optional<std::uint8_t> XDisplay::keycodeOf(std::uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto mapping = owned(xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr));
    if (!mapping) {
        return std::nullopt;
    }
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int code = 0; code < count; ++code) {
        for (int column = 0; column < perKeycode; ++column) {
            if (keysyms[code * perKeycode + column] == keysym) {
                return static_cast<std::uint8_t>(setup->min_keycode + code);
            }
        }
    }
    return std::nullopt;
}

bool XDisplay::pressKey(std::uint32_t window, const QString& keyName) {
    const std::uint32_t keysym = keyName == "Return"   ? kKeysymReturn
                                 : keyName == "Escape" ? kKeysymEscape
                                 : keyName == "space"  ? kKeysymSpace
                                                       : 0;
    const auto keycode = keysym != 0 ? keycodeOf(keysym) : std::nullopt;
    if (!keycode) {
        return false;
    }
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    fakeInput(XCB_KEY_PRESS, *keycode);
    fakeInput(XCB_KEY_RELEASE, *keycode);
    sync();
    return true;
}

void XDisplay::requestClose(std::uint32_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection_);
}

QImage XDisplay::screenshot() {
    const int width = screen_->width_in_pixels;
    const int height = screen_->height_in_pixels;
    auto image = owned(xcb_get_image_reply(connection_,
                                           xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                                         screen_->root, 0, 0, width, height, ~0u),
                                           nullptr));
    // A screen of depth 24 keeps a pixel in 32 bits, blue first: Qt's RGB32 on this machine.
    if (!image || image->depth != 24 ||
        xcb_get_image_data_length(image.get()) < width * height * 4) {
        return {};
    }
    const QImage view(xcb_get_image_data(image.get()), width, height, width * 4,
                      QImage::Format_RGB32);
    return view.copy();
}

}  // namespace pelorix::windowdriver

namespace pelorix::windowdriver {

void XDisplay::cover(int x, int y, int width, int height, std::chrono::milliseconds duration) {
    const xcb_window_t window = xcb_generate_id(connection_);
    // Override-redirect: placed and stacked at once, on top, also under a window manager.
    const std::uint32_t values[] = {kCoverColour, 1};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root,
                      static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                      static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(connection_, window);
    sync();
    std::this_thread::sleep_for(duration);
    xcb_destroy_window(connection_, window);
    sync();
}

}  // namespace pelorix::windowdriver
