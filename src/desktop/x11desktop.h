#pragma once

#include <QRect>
#include <QString>
#include <QWindow>
#include <optional>

// What Qt does not say about the X11 desktop, asked over Qt's own connection to the X server
// (no connection of our own). Every function is a no-op, or answers "unknown", on any other
// platform (Wayland, offscreen).
namespace natalis::desktop::x11 {

// True when the program talks to an X server.
bool isX11();

// True when a system tray (XEmbed) holds the tray selection of the default screen: one round
// trip, no new connection.
bool trayManagerPresent();

// The window's rectangle on the root window in device pixels, asked of the X server itself:
// an icon embedded in a tray lives inside the tray's socket, and Qt's idea of its position is
// wherever it was before it was embedded. nullopt when unknown.
std::optional<QRect> rootGeometry(WId window);

// The name the running window manager gives itself (_NET_WM_NAME of the window that
// _NET_SUPPORTING_WM_CHECK names on the default screen's root): "Openbox", "GNOME Shell",
// "wlroots wm" for Xwayland under sway and other wlroots compositors. Empty when no window
// manager says, or when the program talks to no X server.
QString windowManagerName();

// Keeps a window out of task bars and pagers. Call before the window is mapped: the window
// manager reads the state when it takes the window on.
void skipTaskbar(QWindow &window);

} // namespace natalis::desktop::x11
