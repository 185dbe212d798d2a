#include "store/transaction.h"

#include "store/connection.h"

#include <sqlcipher/sqlite3.h>

namespace natalis::store {

Transaction::Transaction(Connection &connection)
    : m_connection(connection), m_nested(sqlite3_get_autocommit(connection.handle()) == 0)
{
    // Immediate: take the write lock now rather than fail half way through the batch.
    m_connection.exec(m_nested ? "savepoint natalis_nested" : "begin immediate");
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    sqlite3 *db = m_connection.handle();
    if (m_nested) {
        sqlite3_exec(db, "rollback to natalis_nested", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "release natalis_nested", nullptr, nullptr, nullptr);
    } else {
        sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit()
{
    m_connection.exec(m_nested ? "release natalis_nested" : "commit");
    m_done = true;
}

} // namespace natalis::store
