#pragma once

#include <QString>

namespace natalis::store {

// The working files of a compaction: always these fixed names, in the folder of the database.
inline constexpr QStringView SafetyCopyFileName = u"natalis_old.mdb";
inline constexpr QStringView TemporaryFileName = u"natalis_tmp.mdb";

struct CompactionPaths
{
    QString safetyCopy;
    QString temporary;
};

CompactionPaths compactionPaths(const QString &dbPath);

enum class CompactOutcome {
    Compacted,
    // Nothing was touched: no file yet, a file that does not open under the key (the connection
    // attempt reports it), or a database that is itself named like a working file.
    Skipped,
    // The file could not be read or copied to the safety copy (missing, locked, unreadable).
    Unavailable,
    // Compacting failed; the safety copy has been copied back over the file, byte for byte, and
    // is left on disk with any temporary file.
    Failed,
};

// Rewrites the database at dbPath into a compacted copy under the same key and puts it in the
// file's place. The file is replaced by a rename, so a crash leaves either the old or the new
// file. Must run before the program's connection is opened.
CompactOutcome CompactBirthDb(const QString &dbPath);

} // namespace natalis::store
