#pragma once

namespace natalis::store {

class Connection;

// Begins a transaction on construction; rolls it back on destruction unless commit() succeeded,
// so a batch that throws half way leaves its tables as they were. Inside a transaction already
// open it brackets a savepoint instead, so operations that use one can run inside a larger one:
// its rollback then undoes only its own part, its commit leaves the outcome to the outer one.
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
    bool m_nested = false;
    bool m_done = false;
};

} // namespace natalis::store
