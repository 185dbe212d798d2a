#pragma once

#include <QIcon>

namespace natalis::widgets {

enum class Picture {
    Tray, // the tray icon and the selected tab
    TrayAlternate, // the blinking tray icon's second picture and the other tabs
    Close, // the close picture of the floating and day-list windows
};

// The same icon (same cacheKey) at every call.
QIcon picture(Picture which);

} // namespace natalis::widgets
