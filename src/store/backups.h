#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace natalis::store {

class Connection;

// Keyed byte copies of a database in the folder "backup" beside its real file (links resolved):
// one per day taken at start-up, named base + "-yyyy-MM-dd" + suffix ("natalis-2026-12-06.mdb"),
// and one taken before each restore, base + "-yyyy-MM-dd-HHmmss" + suffix, with "-2", "-3" …
// behind the stamp for later copies taken in the same second, so none replaces another. Of each
// kind the
// newest KeptBackups stay. Every backup file is readable by its owner only.
inline constexpr int KeptBackups = 7;

struct BackupEntry
{
    QString path;
    QDateTime taken; // from the name: the day at 00:00 for a daily copy
    qint64 bytes = 0;
    int birthdays = -1; // rows of table birthday; -1 when the copy does not open under the key
};

// The backup folder of the database at dbPath.
QString backupFolder(const QString &dbPath);

// Every backup of the database at dbPath, newest first.
QList<BackupEntry> listBackups(const QString &dbPath);

// Moves the finished copy at copyPath (a file in the database's own folder or anywhere on the
// same file system) in as the daily backup of day, replacing one of the same day, and drops the
// oldest daily copies beyond KeptBackups. False when it could not be put there.
bool keepDailyBackup(const QString &dbPath, const QString &copyPath, QDate day);

// The newest backup that opens under the key and passes the engine's integrity check.
std::optional<BackupEntry> newestSoundBackup(const QString &dbPath);

enum class RestoreOutcome {
    Restored,
    BackupUnusable, // the chosen copy does not open or fails the integrity check; nothing done
    CurrentNotSaved, // the current file could not be saved first (locked, disk full); nothing done
    Failed, // the engine refused the copy; its journal has put the file back as it was
};

// Replaces the content of the database open on live with the backup at backupPath, inside one
// write transaction of the engine (a crash half way leaves the old content whole). A damaged
// file, whose pages the engine cannot journal, is replaced instead by renaming a fresh copy of
// the backup (with the file's mode and owner) over it, and live is opened again on it. The
// current file is first kept as a backup taken at now.
RestoreOutcome restoreBackup(Connection &live, const QString &backupPath, const QDateTime &now);

} // namespace natalis::store
