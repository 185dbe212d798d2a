#pragma once

#include "birthdays/birthdayfile.h"
#include "store/dberror.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::platform {
class Clock;
class MessageSink;
} // namespace natalis::platform

namespace natalis::session {

struct AppContext;

inline constexpr QStringView AppTitle = u"青萍生日提醒软件v4.0";

// The places start-up needs from the platform.
struct StartupPlaces
{
    QString appFolder; // the executable's folder
    // The database may lie in appFolder: false for a read-only folder and for an installed
    // program (keepsDatabaseBesideProgram).
    bool appFolderWritable = true;
    QString dataFolder; // per-user data folder, for the database when appFolder is read-only
    QString lockFolder; // per-user folder of the single-instance lock; must exist
};

enum class StartupResult {
    Ready, // the context is filled and the connection open
    AlreadyRunning, // another instance runs; it was asked to show its main window
    NoConnection, // the database file could not be opened or created
    // The file is there but does not open as a database of ours (damaged, empty, keyed
    // otherwise, not ours, not a file): nothing has been shown yet; context.OpenError holds what
    // the open returned, and the caller offers the way back (takeWayBack) and then
    // openDatabaseAtStart again.
    Unopened,
    NoSettings, // the settings row could not be read
};

// The entry routine up to the main window: lunar table, skin, single instance, computer name,
// database location, then openDatabaseAtStart. Every failure but Unopened has shown its message
// through messages before this returns.
// dbArgument: the database path named on the command line, empty for the default place.
StartupResult runStartup(const QString &dbArgument, const StartupPlaces &places,
    platform::MessageSink &messages, const platform::Clock &clock, AppContext &context);

// The start's part that opens the file at context.DbPath: compaction, connection, settings, SMS
// log purge, SMS accounts. A compaction that left the day without a backup says why in
// context.DbNotice.
StartupResult openDatabaseAtStart(
    platform::MessageSink &messages, const platform::Clock &clock, AppContext &context);

// Rebuilds Birthdays and HasBirthdays from the table (birthdays/birthdayfile.h).
using birthdays::reloadBirthdays;

// Closes and releases the connection and lets go of the single-instance lock.
void shutdown(AppContext &context);

} // namespace natalis::session
