#pragma once

// Which of Qt's platforms the program runs on, chosen before QApplication is made. On Wayland the
// compositor places every window of a native client itself and keeps none above the others, so
// the floating strip could not stand in the corner; through Xwayland it can, as on X11.

#include <QString>

namespace natalis::desktop {

// True when the user has chosen Qt's platform: QT_QPA_PLATFORM, or -platform / --platform among
// the arguments.
bool platformChosenByUser(int argc, char **argv);

// On a Wayland session where Xwayland is at hand (DISPLAY is set) and the user has chosen no
// platform, asks Qt for Xwayland first and the native Wayland client after it: Qt takes the next
// entry of the list by itself when one cannot connect. Call before QApplication is made; true
// when it asked.
bool preferXwayland(int argc, char **argv);

// Takes back what preferXwayland() asked, once Qt has read it: programs the user opens from here
// (a browser, a mail program) choose their own platform.
void forgetPlatformChoice();

// On X11 Qt hands every painted frame to the server through shared memory and waits for a
// completion event per frame: with the floating strip scrolling 20 times a second that is three
// wake-ups a frame (about 110 a second measured) for a program that runs for days on laptops.
// Plain image transfers cost one (about 30 a second); the program's windows are small. Asks Qt
// for them unless the user set QT_XCB_NO_MITSHM; call before QApplication is made; true when
// it asked.
bool preferPlainImageTransfer();

// Takes back what preferPlainImageTransfer() asked, once Qt has read it.
void forgetImageTransferChoice();

// True when the X11 window manager of that name (x11::windowManagerName()) puts every window
// it manages where it likes rather than where the program asks: the one wlroots runs for
// Xwayland (sway and its kin) centres floating windows. A strip that must stand in a corner
// is placed past such a manager, as a window it does not manage.
bool managerIgnoresPositions(const QString &windowManager);

// True when the program is a native Wayland client. Only after QApplication is made.
bool isNativeWayland();

} // namespace natalis::desktop
