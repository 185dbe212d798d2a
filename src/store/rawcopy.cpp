#include "store/rawcopy.h"

#include "store/connection.h"

#include <QFile>
#include <cerrno>
#include <sqlcipher/sqlite3.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace natalis::store {

namespace {

constexpr int ChunkBytes = 64 * 1024;

sqlite3_file *mainFile(Connection &connection)
{
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(connection.handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file)
            != SQLITE_OK
        || !file || !file->pMethods)
        return nullptr;
    return file;
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Calls work(chunk, offset, length) in order for the bytes of the database file from first up to
// end; false when a read fails.
template<typename Work>
bool eachChunkIn(sqlite3_file *file, sqlite3_int64 first, sqlite3_int64 end, Work &&work)
{
    std::vector<char> chunk(ChunkBytes);
    for (sqlite3_int64 offset = first; offset < end; offset += ChunkBytes) {
        const int length = int(qMin<sqlite3_int64>(ChunkBytes, end - offset));
        if (file->pMethods->xRead(file, chunk.data(), length, offset) != SQLITE_OK)
            return false;
        if (!work(chunk.data(), offset, length))
            return false;
    }
    return true;
}

// The same for the whole file.
template<typename Work>
bool eachChunk(sqlite3_file *file, Work &&work)
{
    sqlite3_int64 size = 0;
    return file->pMethods->xFileSize(file, &size) == SQLITE_OK
        && eachChunkIn(file, 0, size, std::forward<Work>(work));
}

} // namespace

bool copyDatabaseBytes(Connection &connection, int fd, Sync sync)
{
    sqlite3_file *file = mainFile(connection);
    if (!file)
        return false;
    const bool copied = eachChunk(file,
        [fd](const char *data, sqlite3_int64, int length) { return writeAll(fd, data, length); });
    return copied && (sync == Sync::Later || ::fsync(fd) == 0);
}

qint64 databaseFileSize(Connection &connection)
{
    sqlite3_file *file = mainFile(connection);
    sqlite3_int64 size = 0;
    return file && file->pMethods->xFileSize(file, &size) == SQLITE_OK ? qint64(size) : -1;
}

bool copyDatabaseRange(Connection &connection, int fd, qint64 offset, qint64 length)
{
    sqlite3_file *file = mainFile(connection);
    return file
        && eachChunkIn(file, offset, offset + length,
            [fd](const char *data, sqlite3_int64, int bytes) { return writeAll(fd, data, bytes); });
}

bool overwriteDatabaseBytes(Connection &connection, const QString &from)
{
    sqlite3_file *file = mainFile(connection);
    QFile source(from);
    if (!file || !source.open(QIODevice::ReadOnly))
        return false;
    sqlite3_int64 offset = 0;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(ChunkBytes);
        if (chunk.isEmpty()
            || file->pMethods->xWrite(file, chunk.constData(), int(chunk.size()), offset)
                != SQLITE_OK)
            return false;
        offset += chunk.size();
    }
    return file->pMethods->xTruncate(file, offset) == SQLITE_OK
        && file->pMethods->xSync(file, SQLITE_SYNC_FULL) == SQLITE_OK;
}

bool databaseBytesEqual(Connection &connection, const QString &other)
{
    sqlite3_file *file = mainFile(connection);
    QFile compared(other);
    if (!file || !compared.open(QIODevice::ReadOnly))
        return false;
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK || size != compared.size())
        return false;
    return eachChunk(file, [&](const char *data, sqlite3_int64, int length) {
        return compared.read(length) == QByteArrayView(data, length);
    });
}

} // namespace natalis::store
