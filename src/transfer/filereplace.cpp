#include "transfer/filereplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

// The part of a fresh file's name that makes it unique: always seven of [0-9a-z], so that a
// leftover can be told from another program's file.
QString freshMark(quint32 random)
{
    return QString::number(random, 36).rightJustified(7, u'0');
}

bool isFreshFileName(const QString &name)
{
    static const QRegularExpression ours(u"^\\..+\\.[0-9a-z]{7}\\.part$"_s);
    return ours.match(name).hasMatch();
}

// Opens path without following a link, to lock it: for reading, or for writing when the file's
// mode (kept from the file it was to replace) allows only that.
int openToLock(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 || errno != EACCES)
        return fd;
    return ::open(path.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

// Removes the file at path if it is a fresh file a killed write left behind: a regular file of
// this user, written last at least LeftoverAge before since (the file system's clock, seconds)
// and locked by no writer. The lock is the proof that its writer is gone, as the system drops
// it with the process; the age covers the instant between a writer making its file and
// locking it, coarse file times (two seconds on FAT) and file systems whose locks other
// machines do not see.
void removeIfLeftover(const QByteArray &path, time_t since)
{
    constexpr time_t LeftoverAge = 10;
    const int fd = openToLock(path);
    if (fd < 0)
        return;
    struct stat held
    {
    };
    struct stat named
    {
    };
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid()
        && held.st_mtime <= since - LeftoverAge && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && ::lstat(path.constData(), &named) == 0 && named.st_ino == held.st_ino
        && named.st_dev == held.st_dev)
        ::unlink(path.constData());
    ::close(fd);
}

// Removes the fresh files that writes into folder left behind when they were killed, before
// a new one is written; fresh is the new one's descriptor, whose time is "now". Another
// program's files, and those of a write still running, are left alone.
void removeLeftovers(const QString &folder, int fresh)
{
    struct stat now
    {
    };
    if (::fstat(fresh, &now) != 0)
        return;
    const QStringList names =
        QDir(folder).entryList({ u".*.part"_s }, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &name : names) {
        if (isFreshFileName(name))
            removeIfLeftover(QFile::encodeName(folder + u'/' + name), now.st_mtime);
    }
}

// A file that is removed again unless release() was called.
class FreshFile
{
public:
    explicit FreshFile(const QString &target)
    {
        const QFileInfo info(target);
        // Hidden and unique, so neither a file chooser nor a second export ever picks it up.
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            m_name = QFile::encodeName(info.absolutePath() + u"/."_s + info.fileName() + u'.'
                + freshMark(QRandomGenerator::global()->generate()) + u".part"_s);
            // 0666 lets the umask decide, as for any file the user saves.
            m_fd = ::open(m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        m_error = m_fd < 0 ? errno : 0;
        // The lock tells a later write that this file is in use (see removeLeftovers). It is
        // held by a second descriptor, which stays open past close() until the file is renamed.
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            m_lock = ::dup(m_fd);
    }
    ~FreshFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_released)
            ::unlink(m_name.constData());
        if (m_lock >= 0)
            ::close(m_lock);
    }
    FreshFile(const FreshFile &) = delete;
    FreshFile &operator=(const FreshFile &) = delete;

    int error() const { return m_error; }
    int fd() const { return m_fd; }
    const QByteArray &name() const { return m_name; }

    // Closes the file; the errno of a failed close (some file systems report a full disk only
    // here), else 0.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }
    void release() { m_released = true; }

private:
    QByteArray m_name;
    int m_fd = -1;
    int m_lock = -1;
    int m_error = 0;
    bool m_released = false;
};

int writeAll(int fd, QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        data += written;
        left -= written;
    }
    return 0;
}

// The file a link points to, so that the link stays a link; path itself otherwise.
QString realTarget(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

void syncFolder(const QString &folder)
{
    // The rename is done; a folder that cannot be synced only leaves it to the system's timing.
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

int replaceFileContent(const QString &path, QByteArrayView bytes)
{
    return replaceFileContent(path, [bytes](const WriteChunk &write) { return write(bytes); });
}

int replaceFileContent(const QString &path, const std::function<int(const WriteChunk &)> &produce)
{
    const QString target = realTarget(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old
    {
    };
    const bool existed = ::stat(targetName.constData(), &old) == 0;
    // Renaming would get past a file the user has made read-only.
    if (existed && ::access(targetName.constData(), W_OK) != 0)
        return errno;

    FreshFile fresh(target);
    if (fresh.error() != 0)
        return fresh.error();
    removeLeftovers(QFileInfo(target).absolutePath(), fresh.fd());
    if (existed && ::fchmod(fresh.fd(), old.st_mode & 07777) != 0)
        return errno;
    // Pieces are gathered up to a buffer's worth, so that a file made line by line does not
    // cost a system call per line.
    constexpr qsizetype Buffered = 64 * 1024;
    QByteArray buffer;
    buffer.reserve(Buffered);
    const WriteChunk write = [&](QByteArrayView chunk) {
        if (buffer.size() + chunk.size() <= Buffered) {
            buffer.append(chunk);
            return 0;
        }
        if (const int error = writeAll(fresh.fd(), buffer))
            return error;
        buffer.clear();
        if (chunk.size() >= Buffered)
            return writeAll(fresh.fd(), chunk);
        buffer.append(chunk);
        return 0;
    };
    if (const int error = produce(write))
        return error;
    if (const int error = writeAll(fresh.fd(), buffer))
        return error;
    if (::fsync(fresh.fd()) != 0)
        return errno;
    if (const int error = fresh.close())
        return error;
    if (::rename(fresh.name().constData(), targetName.constData()) != 0)
        return errno;
    fresh.release();
    syncFolder(QFileInfo(target).absolutePath());
    return 0;
}

} // namespace natalis::transfer
