#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace natalis::store {

class Connection;
namespace detail {
struct ConnectionState;
}

// A prepared statement of one Connection. Values are only ever bound, never spliced into SQL.
// Every failing call records the error on the connection and throws DbException.
class Statement
{
public:
    Statement(Connection &connection, std::string_view sql);
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&) = delete;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement();

    // Parameters count from 1. A null QString is bound as the empty text, never as NULL. The
    // value is copied: it may change or go away once bind returns.
    Statement &bind(int index, const QString &value);
    Statement &bind(int index, qint64 value);
    Statement &bind(int index, int value) { return bind(index, qint64(value)); }

    // Binds the arguments to parameters 1, 2, ... in order.
    template<typename... Values>
    Statement &bindAll(const Values &...values)
    {
        int index = 0;
        (bind(++index, values), ...);
        return *this;
    }

    // Advances to the next row: true when a row is there, false when the statement is done.
    bool step();
    // Runs a statement that returns no rows to its end.
    void run();
    // Makes the statement ready to run again with new values.
    void reset();

    int columnCount() const;
    bool isNull(int column) const;
    // Columns count from 0. NULL reads as the empty text and as 0.
    QString text(int column) const;
    qint64 integer(int column) const;
    // The column's UTF-8 bytes, valid until the next step, reset or read of the same column.
    QByteArrayView utf8(int column) const;

private:
    // The bytes bound to parameter index (counted from 1, which must exist).
    QByteArray &boundText(int index);

    detail::ConnectionState *m_connection;
    sqlite3_stmt *m_stmt = nullptr;
    // The engine reads a bound text from the statement's own buffer instead of a copy it makes:
    // one per parameter, and a spare for the next bind. Reused row after row, so binding a text
    // allocates nothing once they are large enough.
    std::vector<QByteArray> m_texts;
    QByteArray m_spare;
};

} // namespace natalis::store
