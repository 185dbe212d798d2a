#pragma once

#include <QString>

namespace natalis::store {

class Connection;

// The bytes of a connection's main database file, read and written through the engine's own
// open file. A second descriptor on the database would do for reading, but closing it would
// drop every lock this process holds on the file (POSIX record locks belong to the process and
// the file, not to the descriptor), and so open the file to other writers mid-way.

enum class Sync { Now, Later };

// Appends the whole file, as it is on disk (keyed), to the file open at fd, synced to the disk
// before returning when sync is Now. The caller holds a lock that keeps writers out. False on
// any read or write error.
bool copyDatabaseBytes(Connection &connection, int fd, Sync sync = Sync::Now);

// The size of the database file in bytes, or -1 when it cannot be told.
qint64 databaseFileSize(Connection &connection);

// Appends length bytes of the file from offset on, as they are on disk, to the file open at fd.
// The caller holds at least a read lock for the whole call. False on any read or write error
// (errno tells a write's).
bool copyDatabaseRange(Connection &connection, int fd, qint64 offset, qint64 length);

// Puts the bytes of the file at from in place of the database's own, in the same file, and
// syncs. The caller holds an exclusive lock. False on any error.
bool overwriteDatabaseBytes(Connection &connection, const QString &from);

// True when the database file holds exactly the bytes of the file at other.
bool databaseBytesEqual(Connection &connection, const QString &other);

} // namespace natalis::store
