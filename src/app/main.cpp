#include "app/appcontext.h"
#include "app/clock.h"
#include "app/dblocation.h"
#include "app/frmget.h"
#include "app/musicplayer.h"
#include "app/qttranslations.h"
#include "app/screenfit.h"
#include "app/startup.h"
#include "app/widgetmessagesink.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;
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

} // namespace

// Exit codes: 0 after "退出(&E)", 1 no database or settings, 2 another instance is running.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The program lives in the tray: hiding the last window does not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setApplicationName(u"natalis"_s);
    QCoreApplication::setApplicationVersion(u"4.0.0"_s);
    installQtTranslations(app);
    keepWindowsOnScreen(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(AppTitle.toString());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        u"database"_s, u"生日数据库文件 (默认: 程序目录下的 natalis.mdb)"_s, u"[database]"_s);
    parser.process(app);

    const QString appFolder = QCoreApplication::applicationDirPath();
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const StartupPlaces places {
        appFolder,
        QFileInfo(appFolder).isWritable(),
        dataFolder,
        lockFolder(dataFolder),
    };
    WidgetMessageSink messages;
    const auto clock = clockFromEnvironment();
    AppContext context;

    switch (runStartup(
        dbPathFromArguments(parser.positionalArguments()), places, messages, *clock, context)) {
    case StartupResult::Ready:
        break;
    case StartupResult::AlreadyRunning:
        return 2;
    case StartupResult::NoConnection:
    case StartupResult::NoSettings:
        return 1;
    }

    reloadBirthdays(context, messages);
    frmGet window(context, messages, *clock, createMusicPlayer());
    messages.setOwner(&window);
    window.load();
    window.show();
    return app.exec();
}
