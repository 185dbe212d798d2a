#pragma once

#include <QString>
#include <atomic>
#include <functional>

namespace natalis::store {

class Connection;

// A byte copy of a database that others may be writing, taken in slices of SliceBytes, each
// under a read lock of its own: a writer, this program's own window among them, waits for one
// slice at most rather than for the whole file. The copy is whole and of one moment when no
// commit came between its first slice and its last, which the connection's data_version tells;
// a write in between makes the copy start over, up to Attempts times.
inline constexpr qint64 SliceBytes = 8 * 1024 * 1024;
inline constexpr int Attempts = 3;

enum class LiveCopyOutcome {
    Copied,
    Stopped, // stop was set; the bytes appended so far are of no use
    Changing, // written to during every attempt
    Failed, // a read or write failed; errno tells a write's
};

// Hears the bytes copied so far in this attempt, between slices, outside any lock.
using LiveCopyProgress = std::function<void(qint64 copied)>;

// Appends the whole database file of db, as it is on disk (keyed), to the empty file open at fd,
// and gives it the database file's modification time. Before another attempt the file at fd is
// emptied again. stop is read between slices, from any thread.
LiveCopyOutcome copyLiveDatabase(Connection &db, int fd, const std::atomic_bool &stop,
    qint64 sliceBytes = SliceBytes, const LiveCopyProgress &progress = {});

} // namespace natalis::store
