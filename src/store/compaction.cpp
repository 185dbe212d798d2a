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
#include <optional>
#include <sqlcipher/sqlite3.h>

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

bool run(Connection &connection, const char *sql)
{
    return sqlite3_exec(connection.handle(), sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The safety copy, taken while no other program can write. Its data_version lets us tell later
// whether another program wrote between the copy and the compaction.
struct SafetyCopy
{
    bool made = false;
    bool diskFull = false; // why it was not made
    qint64 dataVersion = -1;
};

// Working files of a compaction or restore that was killed half way: every file of those names
// that no living process holds (store/workingfile.h). Runs under the database's exclusive lock,
// under which a compaction also makes and takes hold of its copy, so none is caught between.
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

SafetyCopy makeSafetyCopy(
    Connection &db, QTemporaryFile &copy, std::optional<WorkingFileHold> &hold)
{
    SafetyCopy result;
    if (!run(db, "begin exclusive"))
        return result;
    if (copy.open()) {
        hold.emplace(copy.fileName());
        removeLeftOverWorkingFiles(QFileInfo(copy.fileName()).dir(), copy.fileName());
        result.dataVersion = db.dataVersion();
        // Not synced: the engine's journal, not this copy, protects the file during the
        // compaction, and a copy torn by a system crash fails the backups' integrity check.
        errno = 0;
        result.made = copyDatabaseBytes(db, copy.handle(), Sync::Later);
        result.diskFull = !result.made && (errno == ENOSPC || errno == EDQUOT);
    }
    run(db, "commit");
    copy.close();
    return result;
}

// After a failed VACUUM the engine's journal has put the old content back, but its pages may
// be re-encrypted: the bytes are made those of the safety copy again, unless another program
// wrote in between (its commit must stay). False when the copy could not be put back.
bool putSafetyCopyBack(Connection &db, const QString &copy, qint64 versionAtCopy)
{
    if (!run(db, "begin exclusive"))
        return false;
    bool done = true;
    if (db.dataVersion() == versionAtCopy && !databaseBytesEqual(db, copy))
        done = overwriteDatabaseBytes(db, copy);
    run(db, "commit");
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

CompactOutcome CompactBirthDb(const QString &dbPath, QDate today)
{
    const QString real = QFileInfo(dbPath).canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isFile() || isWorkingFileName(real))
        return CompactOutcome::Skipped;
    if (isReadOnlyDatabase(real))
        return CompactOutcome::ReadOnly;

    DbError error;
    auto db = Connection::open(real, Connection::OpenMode::ExistingOnly, &error);
    if (!db)
        return isUnavailable(error) ? CompactOutcome::Unavailable : CompactOutcome::Skipped;

    // Declared first, so that the copy is gone before the hold on it ends.
    std::optional<WorkingFileHold> hold;
    QTemporaryFile copy(QFileInfo(real).dir().filePath(SafetyCopyTemplate.toString()));
    const SafetyCopy safety = makeSafetyCopy(*db, copy, hold);
    if (!safety.made)
        return safety.diskFull ? CompactOutcome::DiskFull : CompactOutcome::Unavailable;

    if (sqlite3_exec(db->handle(), "VACUUM", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const int code = sqlite3_errcode(db->handle()) & 0xff;
        // Someone began to read or write between the copy and the compaction: nothing changed.
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            return CompactOutcome::Unavailable;
        // The copy is the only sure old content when it could not be put back: keep it.
        if (!putSafetyCopyBack(*db, copy.fileName(), safety.dataVersion))
            copy.setAutoRemove(false);
        return CompactOutcome::Failed;
    }
    db.reset();
    if (keepDailyBackup(real, copy.fileName(), today))
        copy.setAutoRemove(false);
    return CompactOutcome::Compacted;
}

} // namespace natalis::store
