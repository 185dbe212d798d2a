#pragma once

namespace natalis::store {

class Connection;

// Begins a transaction on construction; rolls it back on destruction unless commit() succeeded,
// so a batch that throws half way leaves its tables as they were.
class Transaction
{
public:
    explicit Transaction(Connection &connection); // throws DbException
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    ~Transaction();

    void commit(); // throws DbException; the destructor then rolls back

private:
    Connection &m_connection;
    bool m_done = false;
};

} // namespace natalis::store
