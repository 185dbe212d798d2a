#include "desktop/sessionplatform.h"
#include "support/casename.h"
#include "support/scopedenvironment.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace natalis::desktop {
namespace {

// The session as the login leaves it, and what the user typed.
struct SessionCase
{
    const char *situation;
    const char *sessionType; // XDG_SESSION_TYPE; nullptr for none
    const char *waylandDisplay;
    const char *display;
    const char *platform; // QT_QPA_PLATFORM
    std::vector<const char *> arguments;
    const char *wanted; // QT_QPA_PLATFORM after preferXwayland(); nullptr for none
};

const SessionCase SessionCases[] = {
    { "GNOME on Wayland with Xwayland", "wayland", "wayland-0", ":0", nullptr, {}, "xcb;wayland" },
    { "Wayland socket without a session type", nullptr, "wayland-0", ":1", nullptr, {},
        "xcb;wayland" },
    { "Wayland without Xwayland", "wayland", "wayland-0", nullptr, nullptr, {}, nullptr },
    { "X11 session", "x11", nullptr, ":0", nullptr, {}, nullptr },
    { "user chose wayland by variable", "wayland", "wayland-0", ":0", "wayland", {}, "wayland" },
    { "user chose by -platform", "wayland", "wayland-0", ":0", nullptr, { "-platform", "wayland" },
        nullptr },
    { "user chose by --platform", "wayland", "wayland-0", ":0", nullptr,
        { "--platform", "wayland" }, nullptr },
    { "a database named after the option", "wayland", "wayland-0", ":0", nullptr,
        { "-platform.mdb" }, "xcb;wayland" },
};

std::optional<QByteArray> value(const char *text)
{
    return text ? std::optional(QByteArray(text)) : std::nullopt;
}

class SessionTest : public testing::TestWithParam<SessionCase>
{
};

TEST_P(SessionTest, AsksForXwaylandOnlyWhenTheUserChoseNothing)
{
    const SessionCase &c = GetParam();
    test::ScopedEnvironment environment;
    environment.set("XDG_SESSION_TYPE", value(c.sessionType));
    environment.set("WAYLAND_DISPLAY", value(c.waylandDisplay));
    environment.set("DISPLAY", value(c.display));
    environment.set("QT_QPA_PLATFORM", value(c.platform));
    std::vector<char *> argv { const_cast<char *>("natalis") };
    for (const char *argument : c.arguments)
        argv.push_back(const_cast<char *>(argument));

    preferXwayland(int(argv.size()), argv.data());

    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    EXPECT_EQ(chosen.isEmpty() ? std::string("(none)") : chosen.toStdString(),
        c.wanted ? c.wanted : "(none)");
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, SessionTest, testing::ValuesIn(SessionCases), test::BySituation());

} // namespace
} // namespace natalis::desktop
