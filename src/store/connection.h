#pragma once

#include "store/dberror.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;

namespace natalis::store {

class Statement;

namespace detail {
// Looks statements up by the text the caller holds, without building a std::string per call.
struct SqlHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view sql) const noexcept
    {
        return std::hash<std::string_view> {}(sql);
    }
};

// What statements need of their connection; kept on the heap so that moving a Connection leaves
// them pointing at the right place.
struct ConnectionState
{
    ~ConnectionState();
    [[noreturn]] void fail();
    [[noreturn]] void fail(DbError error);

    sqlite3 *db = nullptr;
    QString path;
    DbError lastError;
    std::unordered_map<std::string, std::unique_ptr<Statement>, SqlHash, std::equal_to<>> cache;
};
} // namespace detail

// The password every natalis database file is keyed with.
inline constexpr std::string_view DatabaseKey = "418093";

// One open, keyed SQLCipher database. Move-only; closing happens in the destructor.
//
// One thread at a time: a connection is opened without the engine's own mutex, which would
// cost every step and every column read a lock (a tenth of reading a million birthdays). A
// worker opens a connection of its own, as sync, the away pass and the backups do; one may be
// handed to another thread, never used by two at once. Only sqlite3_interrupt may come from
// another thread while it works.
class Connection
{
public:
    enum class OpenMode {
        ExistingOnly, // the file must exist and already be a database under the key
        CreateIfMissing, // an absent file is created empty (and keyed)
        ReadOnly, // the file must exist; nothing is ever written to it
    };

    // Opens path with the key and the pinned cipher settings (store/cipher.h) and proves the key
    // by reading the schema. A path that names a link is opened at the file it points to, so
    // that the engine's journal lies beside the real file where every program finds it. Returns
    // nullopt (and fills *error when given) when the file is absent in ExistingOnly mode, empty,
    // not a database, or keyed otherwise; nothing is then written to the file. An empty key opens a
    // plain SQLite file instead (benchmarks price the encryption against it); it refuses a keyed
    // file like a wrong key does.
    static std::optional<Connection> open(const QString &path, OpenMode mode,
        DbError *error = nullptr, std::string_view key = DatabaseKey);

    Connection(Connection &&other) noexcept = default;
    Connection &operator=(Connection &&other) noexcept = default;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    ~Connection();

    // The real file: links resolved.
    const QString &path() const { return m_state->path; }
    bool isReadOnly() const;

    // Changes with every commit of another connection to the same file (not with our own):
    // the engine's PRAGMA data_version. -1 on a database error.
    qint64 dataVersion();
    // The number a pragma such as "PRAGMA page_count" answers; -1 on a database error.
    qint64 pragmaNumber(std::string_view pragma);
    // Whether the table has the column: files made by older versions may lack one. Throws
    // DbException.
    bool hasColumn(std::string_view table, QStringView column);

    // Both throw DbException; the error is also kept as lastError().
    Statement prepare(std::string_view sql);
    void exec(std::string_view sql);
    // Runs sql (one or more statements) and answers whether it went through, without throwing:
    // for the brackets (begin, commit) of copies whose caller answers a failure itself.
    bool tryExec(const char *sql);
    // The statement for sql, prepared on first use and kept for the connection's life; returned
    // reset and without bindings. For statements run to their end before the next use of the
    // same text, never for a loop that runs other work between its steps.
    Statement &cached(std::string_view sql);

    qint64 lastInsertRowId() const;
    int changes() const;

    // The error of the last failed statement on this connection (set before DbException leaves).
    const DbError &lastError() const { return m_state->lastError; }
    // Builds the engine's current error, records it as lastError() and throws it.
    [[noreturn]] void fail() { m_state->fail(); }
    [[noreturn]] void fail(DbError error) { m_state->fail(std::move(error)); }

    sqlite3 *handle() const { return m_state->db; }
    detail::ConnectionState &state() { return *m_state; }

private:
    explicit Connection(std::unique_ptr<detail::ConnectionState> state) : m_state(std::move(state))
    {
    }

    std::unique_ptr<detail::ConnectionState> m_state;
};

// The engine's current error of db, in the report's form.
DbError engineError(sqlite3 *db);

} // namespace natalis::store
