#include "store/statement.h"

#include "store/connection.h"

#include <QStringEncoder>
#include <sqlcipher/sqlite3.h>

namespace natalis::store {

namespace {

// value's UTF-8 into out, reusing its memory. Byte for byte what QString::toUtf8() gives, so
// the stored text does not depend on how it was bound.
void writeUtf8(const QString &value, QByteArray &out)
{
    QStringEncoder toUtf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    out.resize(toUtf8.requiredSpace(value.size()));
    out.truncate(toUtf8.appendToBuffer(out.data(), value) - out.constData());
    // A lone surrogate: the encoder writes U+FFFD where toUtf8() writes '?'.
    if (toUtf8.hasError())
        out = value.toUtf8();
}

} // namespace

Statement::Statement(Connection &connection, std::string_view sql)
    : m_connection(&connection.state())
{
    if (sqlite3_prepare_v2(m_connection->db, sql.data(), int(sql.size()), &m_stmt, nullptr)
        != SQLITE_OK)
        m_connection->fail();
}

Statement::Statement(Statement &&other) noexcept
    : m_connection(other.m_connection), m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_texts(std::move(other.m_texts)), m_spare(std::move(other.m_spare))
{
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

QByteArray &Statement::boundText(int index)
{
    if (m_texts.empty())
        m_texts.resize(std::size_t(sqlite3_bind_parameter_count(m_stmt)));
    return m_texts[std::size_t(index) - 1];
}

Statement &Statement::bind(int index, const QString &value)
{
    writeUtf8(value, m_spare);
    // The empty text must stay text: a null pointer would bind NULL.
    if (sqlite3_bind_text(m_stmt, index, m_spare.isEmpty() ? "" : m_spare.constData(),
            int(m_spare.size()), SQLITE_STATIC)
        != SQLITE_OK)
        m_connection->fail(); // the engine still reads the old bytes, which stay untouched
    // The buffers trade places, not bytes: the engine's pointer stays valid.
    std::swap(m_spare, boundText(index));
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
