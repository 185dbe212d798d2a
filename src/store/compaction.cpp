#include "store/compaction.h"

#include "store/backups.h"
#include "store/connection.h"
#include "store/rawcopy.h"
#include "store/statement.h"
#include "store/workingfile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace natalis::store {

namespace {

bool isUnavailable(const DbError &error)
{
    switch (error.number & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_IOERR:
        return true;
    default:
        return false;
    }
}

// Working files of a compaction or restore that was killed half way: every file of those names
// that no living process holds (store/workingfile.h). Runs under the database's write lock,
// under which a start also makes and takes hold of its copy, so none is caught between.
void removeLeftOverWorkingFiles(const QDir &folder, const QString &ownCopy)
{
    const QFileInfoList files =
        folder.entryInfoList({ u"natalis_old-??????.mdb"_s, u"natalis_tmp-??????.mdb"_s },
            QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo &file : files) {
        if (file.absoluteFilePath() != ownCopy)
            removeUnheldWorkingFile(file.absoluteFilePath());
    }
}

// The copy of the file taken under the write lock. Its data_version lets us tell later whether
// another program wrote between the copy and the compaction.
struct LockedCopy
{
    std::unique_ptr<PendingBackup> copy; // null when none was made or needed
    bool failed = false;
    bool diskFull = false; // why it failed
    bool compactionDue = false;
    qint64 dataVersion = -1;
};

// Rewriting reads and writes every page in use, and gives back only the free ones: worth it
// once a quarter of the file is free, after many rows were deleted.
bool compactionPays(Connection &db)
{
    const qint64 free = db.pragmaNumber("PRAGMA freelist_count");
    const qint64 pages = db.pragmaNumber("PRAGMA page_count");
    return free > 0 && pages > 0 && free * 4 >= pages;
}

// Copies the file to a fresh working file beside it, with the file's modification time, which
// tells a later start of the same day whether the file changed since: the safety copy of a
// compaction, taken whole under the lock the compaction holds anyway.
std::unique_ptr<PendingBackup> copyFile(
    Connection &db, const QString &real, QDate today, bool &diskFull)
{
    QTemporaryFile file(QFileInfo(real).dir().filePath(SafetyCopyTemplate.toString()));
    file.setAutoRemove(false);
    if (!file.open())
        return nullptr;
    auto copy = std::make_unique<PendingBackup>(real, file.fileName(), today);
    removeLeftOverWorkingFiles(QFileInfo(real).dir(), file.fileName());
    struct stat source
    {
    };
    // Synced only when it is kept as a backup: the engine's journal, not this copy, protects
    // the file during the compaction.
    errno = 0;
    const bool copied = ::stat(QFile::encodeName(real).constData(), &source) == 0
        && copyDatabaseBytes(db, file.handle(), Sync::Later);
    diskFull = !copied && (errno == ENOSPC || errno == EDQUOT);
    const timespec times[2] = { { 0, UTIME_NOW }, source.st_mtim };
    if (!copied || ::futimens(file.handle(), times) != 0)
        return nullptr;
    return copy;
}

LockedCopy copyUnderLock(Connection &db, const QString &real, QDate today)
{
    LockedCopy result;
    // A write lock: other programs may go on reading, none can write a page while we copy.
    if (!db.tryExec("begin immediate")) {
        result.failed = true;
        return result;
    }
    result.compactionDue = compactionPays(db);
    result.dataVersion = db.dataVersion();
    if (result.compactionDue) {
        result.copy = copyFile(db, real, today, result.diskFull);
        result.failed = !result.copy;
    } else {
        removeLeftOverWorkingFiles(QFileInfo(real).dir(), QString());
        // Taken on the worker that reads it back, once the program is up.
        if (!hasCurrentDailyBackup(real, today))
            result.copy = std::make_unique<PendingBackup>(real, today);
    }
    db.tryExec("commit");
    return result;
}

// After a failed VACUUM the engine's journal has put the old content back, but its pages may
// be re-encrypted: the bytes are made those of the safety copy again, unless another program
// wrote in between (its commit must stay). False when the copy could not be put back.
bool putSafetyCopyBack(Connection &db, const QString &copy, qint64 versionAtCopy)
{
    if (!db.tryExec("begin exclusive"))
        return false;
    bool done = true;
    if (db.dataVersion() == versionAtCopy && !databaseBytesEqual(db, copy))
        done = overwriteDatabaseBytes(db, copy);
    db.tryExec("commit");
    return done;
}

bool isWorkingFileName(const QString &real)
{
    const QString name = QFileInfo(real).fileName();
    return name == SafetyCopyFileName || name == TemporaryFileName;
}

} // namespace

bool isReadOnlyDatabase(const QString &path)
{
    const QFileInfo file(QFileInfo(path).canonicalFilePath());
    const QFileInfo folder(file.absolutePath());
    // The owner's bit counts even for a user (root) whom the system would let write anyway.
    return !file.permission(QFile::WriteOwner) || !file.isWritable() || !folder.isWritable();
}

Compaction CompactBirthDb(const QString &dbPath, QDate today)
{
    const QString real = QFileInfo(dbPath).canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isFile() || isWorkingFileName(real))
        return { CompactOutcome::Skipped, nullptr, {} };
    if (isReadOnlyDatabase(real))
        return { CompactOutcome::ReadOnly, nullptr, {} };

    DbError error;
    auto db = Connection::open(real, Connection::OpenMode::ExistingOnly, &error);
    if (!db)
        return { isUnavailable(error) ? CompactOutcome::Unavailable : CompactOutcome::Skipped,
            nullptr, {} };

    LockedCopy locked = copyUnderLock(*db, real, today);
    if (locked.failed)
        return { locked.diskFull ? CompactOutcome::DiskFull : CompactOutcome::Unavailable, nullptr,
            {} };
    if (!locked.compactionDue)
        return { CompactOutcome::NotDue, std::move(locked.copy), {} };

    PendingBackup &copy = *locked.copy;
    if (!db->tryExec("VACUUM")) {
        const DbError error = engineError(db->handle());
        const int code = error.number & 0xff;
        // Someone began to read or write between the copy and the compaction: nothing changed,
        // and the copy is as good a backup as ever.
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            return { CompactOutcome::Unavailable, std::move(locked.copy), {} };
        // The copy is the only sure old content when it could not be put back: keep it.
        if (!putSafetyCopyBack(*db, copy.path(), locked.dataVersion))
            copy.leaveOnDisk();
        return { CompactOutcome::Failed, nullptr, failureCause(error) };
    }
    db.reset();
    // The rewrite has read every page under the key: the copy needs no reading back.
    copy.keep();
    return { CompactOutcome::Compacted, nullptr, {} };
}

} // namespace natalis::store
