#include "Desktop.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace forms::desktop {

namespace {

xcb_connection_t* connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// Left, right, top and bottom, once the window manager has set them.
bool readExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, QMargins& extents)
{
    xcb_get_property_reply_t* reply
        = xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_CARDINAL, 0, 4), nullptr);
    const bool found = reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16;
    if (found) {
        const auto* value = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        extents = QMargins(int(value[0]), int(value[2]), int(value[1]), int(value[3]));
    }
    std::free(reply);
    return found;
}

} // namespace

void watchKeys(std::function<unsigned long(unsigned long window)> redirect)
{
    struct Watch : QAbstractNativeEventFilter {
        std::function<unsigned long(unsigned long)> redirect;
        bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
        {
            if (type != "xcb_generic_event_t")
                return false;
            auto* event = static_cast<xcb_generic_event_t*>(message);
            switch (event->response_type & ~0x80) {
            case XCB_KEY_PRESS:
            case XCB_KEY_RELEASE: {
                auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
                if (const unsigned long to = redirect(key->event))
                    key->event = static_cast<xcb_window_t>(to);
                return false;
            }
            case XCB_FOCUS_IN:
            case XCB_FOCUS_OUT: {
                const auto mode = reinterpret_cast<const xcb_focus_in_event_t*>(event)->mode;
                return mode == XCB_NOTIFY_MODE_GRAB || mode == XCB_NOTIFY_MODE_UNGRAB;
            }
            default:
                return false;
            }
        }
    };
    static Watch* watch = nullptr;
    if (!watch && connection()) {
        watch = new Watch;
        qApp->installNativeEventFilter(watch);
    }
    if (watch)
        watch->redirect = std::move(redirect);
}

namespace {
// The windows destroyed last: keys typed into one of them just before may still be in flight,
// and only a few windows come and go in the time a key takes to arrive.
std::array<unsigned long, 8> g_gone{};
std::size_t g_goneNext = 0;
} // namespace

void noteWindowGone(unsigned long window)
{
    g_gone[g_goneNext] = window;
    g_goneNext = (g_goneNext + 1) % g_gone.size();
}

bool isGoneWindow(unsigned long window)
{
    return window != 0 && std::ranges::find(g_gone, window) != g_gone.end();
}

bool giveKeyboardFocus(QWidget* window)
{
    xcb_connection_t* c = connection();
    // Setting the focus on a window that is not mapped is an error of the X server's.
    if (!c || !window || !window->windowHandle() || !window->windowHandle()->isExposed())
        return false;
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(window->winId()), XCB_CURRENT_TIME);
    xcb_flush(c);
    return true;
}

unsigned long keyboardFocus()
{
    xcb_connection_t* c = connection();
    if (!c)
        return 0;
    xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    const unsigned long focus = reply ? reply->focus : 0;
    std::free(reply);
    return focus;
}

QMargins frameExtents(QWidget* window)
{
    xcb_connection_t* c = connection();
    if (!c || !window)
        return {};
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t property = atom(c, "_NET_FRAME_EXTENTS");
    if (request == XCB_ATOM_NONE || property == XCB_ATOM_NONE)
        return {};

    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);

    // A window manager answers within a few milliseconds; one that does not answer at all
    // costs the wait once, and the window is centred by its own size.
    QMargins extents;
    QElapsedTimer waited;
    waited.start();
    while (!readExtents(c, id, property, extents) && waited.elapsed() < 200)
        QThread::usleep(500);
    return extents;
}

} // namespace forms::desktop
