#include "store/dberror.h"

#include <sqlcipher/sqlite3.h>

using namespace Qt::StringLiterals;

namespace natalis::store {

bool IsDamage(const DbError &error)
{
    const int primary = error.number & 0xff;
    return error.source == u"SQLCipher" && (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB);
}

QString DbError::describe() const
{
    return source + u" reported "_s + QString::number(number) + u" - "_s + description + u"\r\n"_s;
}

} // namespace natalis::store
