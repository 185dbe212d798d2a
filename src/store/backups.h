#pragma once

#include "store/workingfile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

struct sqlite3;

namespace natalis::store {

class Connection;

// Keyed byte copies of a database in the folder "backup" beside its real file (links resolved):
// one per day taken at start-up, named base + "-yyyy-MM-dd" + suffix ("natalis-2026-12-06.mdb"),
// and one taken before each restore, base + "-yyyy-MM-dd-HHmmss" + suffix, with "-2", "-3" …
// behind the stamp for later copies taken in the same second, so none replaces another. Of each
// kind the newest KeptBackups stay. Every backup file is readable by its owner only.
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

// Hears how many of the total backups have been read (0 before the first, total at the end); a
// false answer stops the listing before the next one.
using BackupListingProgress = std::function<bool(qint64 done, qint64 total)>;

// Every backup of the database at dbPath, newest first. Counting the birthdays reads each copy
// whole, seconds for a large one: on a worker when a window waits for it.
// When progress stops the listing, the copies not read yet keep birthdays -1.
QList<BackupEntry> listBackups(const QString &dbPath, const BackupListingProgress &progress = {});

// True when the daily backup of day holds the database at dbPath as it is now: same size and
// modification time (a copy takes the time of the file it was copied from).
bool hasCurrentDailyBackup(const QString &dbPath, QDate day);

// A byte copy of the database, taken at start-up (CompactBirthDb), on its way to become the
// daily backup of its day. It is kept only once it has been read back whole, every page under
// the key and through the engine's quick check, so that a damaged file never pushes good copies
// out. Reading it back takes as long as reading the whole file, so it runs on a worker after the
// window shows. The file lies beside the database, held (store/workingfile.h) while this object
// lives, and is removed with it unless kept: a program that ends first, or is killed, leaves
// nothing behind but a working file the next start removes.
class PendingBackup
{
public:
    // A copy already taken, at copyPath.
    PendingBackup(QString dbPath, QString copyPath, QDate day);
    // A copy still to be taken: check() first copies the live file beside it (store/livecopy.h),
    // so that the whole of the work runs on the worker.
    PendingBackup(QString dbPath, QDate day);
    ~PendingBackup();
    PendingBackup(const PendingBackup &) = delete;
    PendingBackup &operator=(const PendingBackup &) = delete;

    const QString &path() const { return m_copyPath; }

    // Takes the copy when it is still to be taken, then reads it back and moves it in as the daily
    // backup of its day, replacing an earlier one of the same day and dropping the oldest beyond
    // KeptBackups. True when it was kept. Takes as long as reading the whole file; call from one
    // thread at a time.
    bool check();
    // From any thread, also while check() runs: the check gives up soon after, without keeping.
    void stop();

    // Moves the copy in without reading it back, for a copy known to be sound otherwise.
    bool keep();
    // Leaves the copy on disk, unkept, when this object goes.
    void leaveOnDisk() { m_leftOnDisk = true; }
    // Why check() or keep() did not keep the copy, as the user is told it ("文件已损坏",
    // "磁盘空间不足" …); empty while nothing failed and after stop().
    const QString &failureCause() const { return m_cause; }

private:
    bool takeCopy();

    QString m_dbPath;
    QString m_copyPath; // empty while the copy is still to be taken
    QDate m_day;
    std::optional<WorkingFileHold> m_hold;
    bool m_kept = false;
    bool m_leftOnDisk = false;
    QString m_cause;
    std::mutex m_mutex; // guards the two below
    sqlite3 *m_reading = nullptr; // the copy's connection while check() reads it
    bool m_stopped = false;
    std::atomic_bool m_stopCopying = false; // stop() for the copy, read between its slices
};

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
// current file is first kept as a backup taken at now. Unless Restored or BackupUnusable, *cause
// (when given) names what the failure ran into ("磁盘空间不足", "文件已损坏" …).
RestoreOutcome restoreBackup(
    Connection &live, const QString &backupPath, const QDateTime &now, QString *cause = nullptr);

// For a file at dbPath that does not open at all, which no connection can hold: a byte copy of
// it is kept beside it first, as base + "-damaged-yyyy-MM-dd-HHmmss" + suffix (never pruned;
// *aside gets its path), then a fresh copy of the sound backup is renamed over it. CurrentNotSaved
// when the copy could not be kept, Failed when the backup could not be put in place (the file
// then stays as it was); *cause as for restoreBackup.
RestoreOutcome restoreUnopened(const QString &dbPath, const QString &backupPath,
    const QDateTime &now, QString *aside = nullptr, QString *cause = nullptr);

// Moves a file that does not open out of the way, to its aside name as above, so that a new
// database can take its place; the path it went to, or empty with *cause told.
QString setAsideUnopened(const QString &dbPath, const QDateTime &now, QString *cause = nullptr);

} // namespace natalis::store
