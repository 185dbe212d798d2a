#pragma once

#include "store/backups.h"

#include <QDate>
#include <QString>
#include <memory>

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
    // Too few free pages to pay for rewriting the file: it was left as it is (see Compaction).
    NotDue,
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

struct Compaction
{
    CompactOutcome outcome = CompactOutcome::Skipped;
    // Today's backup still to be taken or read back (PendingBackup::check); null when none is
    // waiting: compacted (the copy is kept already), nothing to copy (today's
    // backup holds the file as it is) or no copy made.
    std::unique_ptr<PendingBackup> backup;
    // Failed: what the rewrite ran into ("磁盘空间不足", "文件已损坏" …).
    QString cause;
};

// The start's care of the database at dbPath, before the program's connection opens.
//
// Today's backup is a byte copy of the file, keyed as it is, unless today's backup already holds
// it unchanged (same size and modification time). When no compaction is due the copy is not
// taken here: the start hands back a PendingBackup that takes it on the worker that reads it
// back, in slices under short read locks (store/livecopy.h), so that a file of a million
// birthdays (a gigabyte) is not copied before the window shows and our own writes never wait
// for more than a slice.
//
// The file is compacted only when free pages make up at least a quarter of it (many rows
// deleted): a safety copy is then taken whole, here, under the write lock (readers go on), and
// its real file (links resolved) is rewritten by the engine's VACUUM under the
// key, inside the engine's own journaled write transaction, so the file keeps its inode, links,
// mode and owner, other programs' handles stay valid and their commits are never lost, and a
// crash at any moment leaves the old or the new content whole. After a successful compaction the
// safety copy becomes today's backup at once (the rewrite has read every page), after a failure
// it is removed (and never becomes a backup, so damaged copies do not push good ones out).
Compaction CompactBirthDb(const QString &dbPath, QDate today);

// True when the file at path (links resolved) must not be written: no write permission for its
// owner or for this process, or a folder where the engine's journal cannot be made.
bool isReadOnlyDatabase(const QString &path);

} // namespace natalis::store
