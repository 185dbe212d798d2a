#include "store/compaction.h"

#include "store/connection.h"
#include "store/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <sqlcipher/sqlite3.h>
#include <system_error>

using namespace Qt::StringLiterals;

namespace natalis::store {

namespace {

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

bool copyOver(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::copy_file(
        fsPath(from), fsPath(to), std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}

// The engine leaves a journal beside a file it was writing when that failed.
bool removeWithJournal(const QString &path)
{
    QFile::remove(path + u"-journal"_s);
    return !QFileInfo::exists(path) || QFile::remove(path);
}

bool isUnavailable(const DbError &error)
{
    switch (error.number & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_IOERR:
        return true;
    default:
        return false;
    }
}

void exportTo(Connection &source, const QString &target)
{
    const QString key = QString::fromLatin1(DatabaseKey.data(), qsizetype(DatabaseKey.size()));
    source.prepare("attach database ? as compacted key ?").bindAll(target, key).run();
    source.exec("select sqlcipher_export('compacted')");
    source.exec("detach database compacted");
}

} // namespace

CompactionPaths compactionPaths(const QString &dbPath)
{
    const QDir folder = QFileInfo(dbPath).absoluteDir();
    return { folder.filePath(SafetyCopyFileName.toString()),
        folder.filePath(TemporaryFileName.toString()) };
}

CompactOutcome CompactBirthDb(const QString &dbPath)
{
    const CompactionPaths paths = compactionPaths(dbPath);
    const QString absolute = QFileInfo(dbPath).absoluteFilePath();
    // Copying onto or deleting the working files would then destroy the database itself.
    if (absolute == paths.safetyCopy || absolute == paths.temporary)
        return CompactOutcome::Skipped;
    if (!QFileInfo::exists(dbPath))
        return CompactOutcome::Skipped;
    if (!QFile(dbPath).open(QIODevice::ReadOnly))
        return CompactOutcome::Unavailable;

    DbError error;
    auto source = Connection::open(dbPath, Connection::OpenMode::ExistingOnly, &error);
    if (!source)
        return isUnavailable(error) ? CompactOutcome::Unavailable : CompactOutcome::Skipped;

    if (!copyOver(dbPath, paths.safetyCopy) || !removeWithJournal(paths.temporary))
        return CompactOutcome::Unavailable;

    bool compacted = false;
    try {
        exportTo(*source, paths.temporary);
        source.reset();
        // The compacted file takes the place, and the permissions, of the old one.
        std::error_code ec;
        const auto status = std::filesystem::status(fsPath(dbPath), ec);
        if (!ec)
            std::filesystem::permissions(fsPath(paths.temporary), status.permissions(), ec);
        std::filesystem::rename(fsPath(paths.temporary), fsPath(dbPath), ec);
        compacted = !ec;
    } catch (const DbException &) {
    }
    source.reset();
    if (!compacted) {
        copyOver(paths.safetyCopy, dbPath);
        return CompactOutcome::Failed;
    }
    QFile::remove(paths.safetyCopy);
    return CompactOutcome::Compacted;
}

} // namespace natalis::store
