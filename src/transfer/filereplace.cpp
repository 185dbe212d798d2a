#include "transfer/filereplace.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

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
                + QString::number(QRandomGenerator::global()->generate(), 36) + u".part"_s);
            // 0666 lets the umask decide, as for any file the user saves.
            m_fd = ::open(m_name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        m_error = m_fd < 0 ? errno : 0;
    }
    ~FreshFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_released)
            ::unlink(m_name.constData());
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
