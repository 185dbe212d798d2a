#pragma once

#include "store/backups.h"

#include <QDateTime>

namespace natalis::app {

struct AppContext;
class MessageSink;

// Puts the backup at backupPath in place of the open database (the current file is first kept
// as another backup), then reads the settings row and the birthdays again. Shows the outcome.
// True when the backup is in place.
bool restoreFromBackup(
    AppContext &context, MessageSink &messages, const QString &backupPath, const QDateTime &now);

// After a load that met a damaged page: offers the newest backup that opens and passes the
// integrity check, and restores it only when the user says yes; the damaged file is never
// written otherwise. True when a backup was put in place.
bool offerBackupAfterDamage(AppContext &context, MessageSink &messages, const QDateTime &now);

// The start's load of the birthdays: reloadBirthdays, and the backup offer when the load met a
// damaged page. A damaged file the user keeps is opened again read-only (DbDamaged) until a
// restore from the file menu.
void loadBirthdaysAtStart(AppContext &context, MessageSink &messages, const QDateTime &now);

} // namespace natalis::app
