#include "store/transaction.h"

#include "store/connection.h"

#include <sqlcipher/sqlite3.h>

namespace natalis::store {

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    // Immediate: take the write lock now rather than fail half way through the batch.
    m_connection.exec("begin immediate");
}

Transaction::~Transaction()
{
    if (!m_done)
        sqlite3_exec(m_connection.handle(), "rollback", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    m_connection.exec("commit");
    m_done = true;
}

} // namespace natalis::store
