#include "store/statement.h"

#include "store/connection.h"

#include <sqlcipher/sqlite3.h>

namespace natalis::store {

Statement::Statement(Connection &connection, std::string_view sql)
    : m_connection(&connection.state())
{
    if (sqlite3_prepare_v2(m_connection->db, sql.data(), int(sql.size()), &m_stmt, nullptr)
        != SQLITE_OK)
        m_connection->fail();
}

Statement::Statement(Statement &&other) noexcept
    : m_connection(other.m_connection), m_stmt(std::exchange(other.m_stmt, nullptr))
{
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement &Statement::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    // The empty text must stay text: a null pointer would bind NULL.
    if (sqlite3_bind_text(m_stmt, index, utf8.isNull() ? "" : utf8.constData(), int(utf8.size()),
            SQLITE_TRANSIENT)
        != SQLITE_OK)
        m_connection->fail();
    return *this;
}

Statement &Statement::bind(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        m_connection->fail();
    return *this;
}

bool Statement::step()
{
    switch (sqlite3_step(m_stmt)) {
    case SQLITE_ROW:
        return true;
    case SQLITE_DONE:
        return false;
    default:
        m_connection->fail();
    }
}

void Statement::run()
{
    while (step()) { }
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QString Statement::text(int column) const
{
    return QString::fromUtf8(utf8(column));
}

QByteArrayView Statement::utf8(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

} // namespace natalis::store
