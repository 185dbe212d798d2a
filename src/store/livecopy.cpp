#include "store/livecopy.h"

#include "store/connection.h"
#include "store/rawcopy.h"

#include <QFile>
#include <cerrno>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace natalis::store {

namespace {

// A read transaction that holds the engine's shared lock from its first read until it ends:
// no writer can commit in between.
class ReadLock
{
public:
    explicit ReadLock(Connection &db) : m_db(db)
    {
        m_held = db.tryExec("begin") && db.tryExec("select count(*) from sqlite_master");
    }
    ~ReadLock() { m_db.tryExec("commit"); }
    bool held() const { return m_held; }

private:
    Connection &m_db;
    bool m_held = false;
};

// What one attempt saw of the file, under the lock of its first slice.
struct Moment
{
    qint64 dataVersion = -1;
    qint64 size = -1;
    timespec modified {};
};

std::optional<Moment> momentOf(Connection &db)
{
    struct stat file
    {
    };
    Moment moment { db.dataVersion(), databaseFileSize(db), {} };
    if (moment.size < 0 || ::stat(QFile::encodeName(db.path()).constData(), &file) != 0)
        return std::nullopt;
    moment.modified = file.st_mtim;
    return moment;
}

LiveCopyOutcome attempt(Connection &db, int fd, const std::atomic_bool &stop, qint64 sliceBytes,
    const LiveCopyProgress &progress)
{
    std::optional<Moment> first;
    for (qint64 offset = 0; !first || offset < first->size; offset += sliceBytes) {
        if (stop)
            return LiveCopyOutcome::Stopped;
        if (offset > 0 && progress)
            progress(offset);
        const ReadLock lock(db);
        if (!lock.held())
            return LiveCopyOutcome::Failed;
        if (!first) {
            first = momentOf(db);
            if (!first)
                return LiveCopyOutcome::Failed;
        } else if (db.dataVersion() != first->dataVersion) {
            return LiveCopyOutcome::Changing;
        }
        if (!copyDatabaseRange(db, fd, offset, qMin(sliceBytes, first->size - offset)))
            return LiveCopyOutcome::Failed;
    }
    const timespec times[2] = { { 0, UTIME_NOW }, first->modified };
    return ::futimens(fd, times) == 0 ? LiveCopyOutcome::Copied : LiveCopyOutcome::Failed;
}

} // namespace

LiveCopyOutcome copyLiveDatabase(Connection &db, int fd, const std::atomic_bool &stop,
    qint64 sliceBytes, const LiveCopyProgress &progress)
{
    LiveCopyOutcome outcome = LiveCopyOutcome::Changing;
    for (int round = 0; round < Attempts && outcome == LiveCopyOutcome::Changing; ++round) {
        if (round > 0 && (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0))
            return LiveCopyOutcome::Failed;
        outcome = attempt(db, fd, stop, sliceBytes, progress);
    }
    return outcome;
}

} // namespace natalis::store
