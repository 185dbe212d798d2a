#include "store/dberror.h"

#include <cerrno>
#include <sqlcipher/sqlite3.h>

using namespace Qt::StringLiterals;

namespace natalis::store {

bool isDamage(const DbError &error)
{
    const int primary = error.number & 0xff;
    return error.source == u"SQLCipher" && (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB);
}

QString DbError::describe() const
{
    return source + u" reported "_s + QString::number(number) + u" - "_s + description + u"\r\n"_s;
}

WriteFailure writeFailureKind(const DbError &error)
{
    // The engine says SQLITE_FULL only for a write cut short; a journal that cannot be created
    // or a sync refused for want of space (network and quota file systems) arrive as other
    // codes, with the system's reason beside them.
    const bool noSpace = error.systemError == ENOSPC || error.systemError == EDQUOT;
    switch (error.number & 0xFF) {
    case SQLITE_FULL:
        return WriteFailure::FullDisk;
    case SQLITE_READONLY:
        return WriteFailure::ReadOnly;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return noSpace ? WriteFailure::FullDisk : WriteFailure::Other;
    default:
        return WriteFailure::Other;
    }
}

QString writeFailureCause(const DbError &error)
{
    switch (writeFailureKind(error)) {
    case WriteFailure::FullDisk:
        return QStringLiteral("磁盘空间不足");
    case WriteFailure::ReadOnly:
        return QStringLiteral("生日数据库文件只读");
    case WriteFailure::Other:
        break;
    }
    return QStringLiteral("生日数据库共享访问冲突");
}

QString failureCause(const DbError &error)
{
    return isDamage(error) ? QStringLiteral("文件已损坏") : writeFailureCause(error);
}

QString failureCauseOrDescription(const DbError &error)
{
    return !isDamage(error) && writeFailureKind(error) == WriteFailure::Other ? error.description
                                                                              : failureCause(error);
}

} // namespace natalis::store
