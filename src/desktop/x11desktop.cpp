#include "desktop/x11desktop.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace natalis::desktop::x11 {

namespace {

struct FreeDeleter
{
    void operator()(void *reply) const { std::free(reply); }
};
template<typename Reply>
using ReplyPointer = std::unique_ptr<Reply, FreeDeleter>;

xcb_connection_t *connection()
{
    auto *application =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return application ? application->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const ReplyPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, false, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

bool isX11()
{
    return connection() != nullptr;
}

bool trayManagerPresent()
{
    xcb_connection_t *c = connection();
    if (!c)
        return false;
    // The first screen: Qt puts its windows there, and so its tray icon. An atom lives as long
    // as the server, so the watch asks for it once, not at every look.
    static const xcb_atom_t selection = atom(c, "_NET_SYSTEM_TRAY_S0");
    if (selection == XCB_ATOM_NONE)
        return false;
    const ReplyPointer<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return reply && reply->owner != XCB_NONE;
}

std::optional<QRect> rootGeometry(WId window)
{
    xcb_connection_t *c = connection();
    if (!c || window == 0)
        return std::nullopt;
    const auto id = xcb_window_t(window);
    const ReplyPointer<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr));
    if (!geometry)
        return std::nullopt;
    const ReplyPointer<xcb_translate_coordinates_reply_t> corner(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, id, geometry->root, 0, 0), nullptr));
    if (!corner)
        return std::nullopt;
    return QRect(corner->dst_x, corner->dst_y, geometry->width, geometry->height);
}

QString windowManagerName()
{
    xcb_connection_t *c = connection();
    if (!c)
        return {};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    const ReplyPointer<xcb_get_property_reply_t> owner(xcb_get_property_reply(
        c, xcb_get_property(c, false, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!owner || xcb_get_property_value_length(owner.get()) != sizeof(xcb_window_t))
        return {};
    const xcb_window_t manager = *static_cast<xcb_window_t *>(xcb_get_property_value(owner.get()));
    // A name longer than 256 bytes is no window manager's.
    const ReplyPointer<xcb_get_property_reply_t> name(xcb_get_property_reply(c,
        xcb_get_property(c, false, manager, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 0, 64),
        nullptr));
    if (!name)
        return {};
    return QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(name.get())),
        xcb_get_property_value_length(name.get()));
}

void skipTaskbar(QWindow &window)
{
    xcb_connection_t *c = connection();
    if (!c)
        return;
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t wanted[] = { atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
        atom(c, "_NET_WM_STATE_SKIP_PAGER") };
    // Appended: Qt merges its own states (above, for one) with what the property holds.
    xcb_change_property(
        c, XCB_PROP_MODE_APPEND, xcb_window_t(window.winId()), state, XCB_ATOM_ATOM, 32, 2, wanted);
    xcb_flush(c);
}

} // namespace natalis::desktop::x11
