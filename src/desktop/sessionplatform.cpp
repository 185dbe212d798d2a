#include "desktop/sessionplatform.h"

#include <QGuiApplication>
#include <QtGlobal>
#include <cstring>

namespace natalis::desktop {

namespace {

constexpr const char *PlatformVariable = "QT_QPA_PLATFORM";
constexpr const char *ShmVariable = "QT_XCB_NO_MITSHM";

bool waylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1StringView("wayland")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

bool platformChosenByUser(int argc, char **argv)
{
    if (!qEnvironmentVariableIsEmpty(PlatformVariable))
        return true;
    // Qt reads its own options with one dash or two.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

bool preferXwayland(int argc, char **argv)
{
    if (!waylandSession() || qEnvironmentVariableIsEmpty("DISPLAY")
        || platformChosenByUser(argc, argv))
        return false;
    return qputenv(PlatformVariable, "xcb;wayland");
}

bool preferPlainImageTransfer()
{
    if (qEnvironmentVariableIsSet(ShmVariable))
        return false;
    return qputenv(ShmVariable, "1");
}

void forgetImageTransferChoice()
{
    qunsetenv(ShmVariable);
}

void forgetPlatformChoice()
{
    qunsetenv(PlatformVariable);
}

bool managerIgnoresPositions(const QString &windowManager)
{
    return windowManager == QLatin1StringView("wlroots wm");
}

bool isNativeWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1StringView("wayland"));
}

} // namespace natalis::desktop
