#include "store/dberror.h"

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

QString writeFailureCause(const DbError &error)
{
    switch (error.number & 0xFF) {
    case SQLITE_FULL:
        return QStringLiteral("磁盘空间不足");
    case SQLITE_READONLY:
        return QStringLiteral("生日数据库文件只读");
    default:
        return QStringLiteral("生日数据库共享访问冲突");
    }
}

} // namespace natalis::store
