#pragma once

#include "store/backups.h"

#include <QDateTime>
#include <functional>
#include <optional>

namespace natalis::platform {
class MessageSink;
} // namespace natalis::platform

namespace natalis::session {

struct AppContext;

// The newest sound backup of the database at dbPath (store::newestSoundBackup); it reads whole
// files, so the program runs it off the window thread.
using BackupFinder = std::function<std::optional<store::BackupEntry>(const QString &dbPath)>;

// Puts the backup at backupPath in place of the open database (the current file is first kept
// as another backup), then reads the settings row again. Shows the outcome. True when the backup
// is in place; its birthdays are then still to be read (the program's birthday service does it
// and announces them).
bool restoreFromBackup(AppContext &context, platform::MessageSink &messages,
    const QString &backupPath, const QDateTime &now);

// After a load that met a damaged page: offers the newest backup that opens and passes the
// integrity check, and restores it only when the user says yes; the damaged file is never
// written otherwise. True when a backup was put in place (its birthdays still to be read).
// findBackup as WayBackHooks::findBackup.
bool offerBackupAfterDamage(AppContext &context, platform::MessageSink &messages,
    const QDateTime &now, const BackupFinder &findBackup = store::newestSoundBackup);

// The start's load of the birthdays: reloadBirthdays, and the backup offer when the load met a
// damaged page. A damaged file the user keeps is opened again read-only (DbDamaged) until a
// restore from the file menu.
void loadBirthdaysAtStart(AppContext &context, platform::MessageSink &messages,
    const QDateTime &now, const BackupFinder &findBackup = store::newestSoundBackup);

// How a start whose file does not open finds its way back.
struct WayBackHooks
{
    BackupFinder findBackup = store::newestSoundBackup;
    // The database file the user opens instead; empty when none was chosen.
    std::function<QString()> pickFile;
};

// After StartupResult::Unopened: tells why the file at context.DbPath does not open and offers,
// in one box, the newest sound backup (date and number of birthdays), another file, a new
// database or the end; a folder is only ever left alone. Carries out the choice: a restore or a
// new database first keeps the unopened file beside it (store::restoreUnopened,
// setAsideUnopened), and context.DbNotice then says where. Sets context.DbPath to the file to
// open next; false when the user chose to end.
bool takeWayBack(AppContext &context, platform::MessageSink &messages, const QDateTime &now,
    const WayBackHooks &hooks);

} // namespace natalis::session
