#include "app/application.h"
#include "app/frmget.h"
#include "desktop/colourscheme.h"
#include "desktop/musicplayer.h"
#include "desktop/sessionplatform.h"
#include "platform/clock.h"
#include "platform/dblocation.h"
#include "platform/installlayout.h"
#include "session/appcontext.h"
#include "session/qttranslations.h"
#include "widgets/widgetmessagesink.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace natalis;
using namespace natalis::app;

namespace {

// Per user: the runtime folder where the session has one, else the user's data folder (asking
// Qt for a runtime folder without a session only earns a warning on stderr).
QString lockFolder(const QString &dataFolder)
{
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QDir().mkpath(dataFolder);
        return dataFolder;
    }
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

const QString PlatformHelp = u"\n\n在 Wayland 桌面上,有 Xwayland 时程序经 Xwayland 运行,"
                             u"浮动窗口才能停在屏幕右下角并在其他窗口之上。\n"
                             u"要以 Wayland 原生窗口运行: QT_QPA_PLATFORM=wayland natalis "
                             u"或 natalis -platform wayland"_s;

} // namespace

// Exit codes: 0 after "退出(&E)", 1 no database or settings, 2 another instance is running.
int main(int argc, char *argv[])
{
    // The birthday list and its backups are the user's own: no one else may read them.
    ::umask(077);
    // Before Qt picks its platform: on Wayland the strip belongs in the corner, above all.
    const bool platformAsked = natalis::desktop::preferXwayland(argc, argv);
    const bool imagesAsked = natalis::desktop::preferPlainImageTransfer();
    QApplication app(argc, argv);
    if (platformAsked)
        natalis::desktop::forgetPlatformChoice();
    if (imagesAsked)
        natalis::desktop::forgetImageTransferChoice();
    // The program lives in the tray: hiding the last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setApplicationName(u"natalis"_s);
    QCoreApplication::setApplicationVersion(u"4.0.0"_s);
    // Ties the windows to the installed launcher, whose icon the desktop then shows.
    QGuiApplication::setDesktopFileName(platform::desktopAppId());
    session::installQtTranslations(app);
    natalis::desktop::followPortalColourScheme(&app);

    QCommandLineParser parser;
    parser.setApplicationDescription(session::AppTitle.toString() + PlatformHelp);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption trayOption(u"tray"_s, u"启动后只在系统托盘中运行 (自动运行时使用)"_s);
    parser.addOption(trayOption);
    parser.addPositionalArgument(u"database"_s,
        u"生日数据库文件 (默认: 程序目录下的 natalis.mdb, 安装后为用户数据目录下的 natalis.mdb)"_s,
        u"[database]"_s);
    parser.process(app);

    const QString appFolder = QCoreApplication::applicationDirPath();
    const QString dataFolder = platform::userDataFolder();
    const LaunchRequest request {
        platform::dbPathFromArguments(parser.positionalArguments()),
        { appFolder, platform::keepsDatabaseBesideProgram(appFolder), dataFolder,
            lockFolder(dataFolder) },
        parser.isSet(trayOption),
    };
    widgets::WidgetMessageSink messages;
    const auto clock = platform::clockFromEnvironment();
    session::AppContext context;
    const auto [started, program] =
        Application::launch(request, context, messages, *clock, desktop::createMusicPlayer());
    switch (started) {
    case session::StartupResult::Ready:
        break;
    case session::StartupResult::AlreadyRunning:
        return 2;
    case session::StartupResult::NoConnection:
    case session::StartupResult::Unopened:
    case session::StartupResult::NoSettings:
        return 1;
    }
    messages.setOwner(&program->window());
    return app.exec();
}
