#include "store/workingfile.h"

#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace natalis::store {

namespace {

// Its own open file, so that closing another descriptor of the file never drops the lock.
int openForLock(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
}

} // namespace

WorkingFileHold::WorkingFileHold(const QString &path) : m_fd(openForLock(path))
{
    // Shared: a cleaner asks for the exclusive lock and is refused while any holder lives.
    if (m_fd >= 0)
        ::flock(m_fd, LOCK_SH);
}

WorkingFileHold::~WorkingFileHold()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool WorkingFileHold::sync() const
{
    return m_fd >= 0 && ::fsync(m_fd) == 0;
}

bool removeUnheldWorkingFile(const QString &path)
{
    const int fd = openForLock(path);
    if (fd < 0)
        return false;
    // Removed while locked, so no one can take the file up in between.
    const bool unheld = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = unheld && QFile::remove(path);
    ::close(fd);
    return removed;
}

} // namespace natalis::store
