#pragma once

#include <QDate>
#include <QString>

namespace natalis::store {

// The names the working files of a compaction used to have. Compaction never opens, follows or
// removes a file of these names any longer (one may be a link somewhere else); a database that
// is itself named so is left alone.
inline constexpr QStringView SafetyCopyFileName = u"natalis_old.mdb";
inline constexpr QStringView TemporaryFileName = u"natalis_tmp.mdb";

// The safety copy is made under a fresh name of this form in the real folder of the database.
inline constexpr QStringView SafetyCopyTemplate = u"natalis_old-XXXXXX.mdb";

enum class CompactOutcome {
    Compacted,
    // Nothing was touched: no file yet, a file that does not open under the key (the connection
    // attempt reports it), or a database that is itself named like a working file.
    Skipped,
    // The file could not be had for 2 s (another program holds it) or could not be copied to
    // the safety copy: nothing was written.
    Unavailable,
    // The disk has no room for the safety copy: nothing was written.
    DiskFull,
    // The file may not be written (its mode or folder): nothing was written.
    ReadOnly,
    // Compacting failed; the file holds what it held before, byte for byte when no other
    // program wrote to it in the meantime.
    Failed,
};

// Compacts the database at dbPath in place: its real file (links resolved) is rewritten by the
// engine's VACUUM under the key, inside the engine's own journaled write transaction, so the
// file keeps its inode, links, mode and owner, other programs' handles stay valid and their
// commits are never lost, and a crash at any moment leaves the old or the new content whole.
// Just before, under an exclusive lock, the file is copied byte for byte to a safety copy;
// after a successful compaction that copy becomes the daily backup of today (store/backups.h),
// after a failure it is removed (and never becomes a backup, so damaged copies do not push
// good ones out). Must run before the program's connection is opened.
CompactOutcome CompactBirthDb(const QString &dbPath, QDate today);

// True when the file at path (links resolved) must not be written: no write permission for its
// owner or for this process, or a folder where the engine's journal cannot be made.
bool isReadOnlyDatabase(const QString &path);

} // namespace natalis::store
