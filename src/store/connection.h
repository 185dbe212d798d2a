#pragma once

#include "store/dberror.h"

#include <QString>
#include <optional>
#include <string_view>

struct sqlite3;

namespace natalis::store {

class Statement;

// The password every natalis database file is keyed with.
inline constexpr std::string_view DatabaseKey = "418093";

// One open, keyed SQLCipher database. Move-only; closing happens in the destructor.
class Connection
{
public:
    enum class OpenMode {
        ExistingOnly, // the file must exist and already be a database under the key
        CreateIfMissing, // an absent file is created empty (and keyed)
    };

    // Opens path with the key and proves the key by reading the schema. Returns nullopt (and
    // fills *error when given) when the file is absent in ExistingOnly mode, empty, not a
    // database, or keyed otherwise; nothing is then written to the file.
    static std::optional<Connection> open(const QString &path, OpenMode mode,
        DbError *error = nullptr, std::string_view key = DatabaseKey);

    Connection(Connection &&other) noexcept;
    Connection &operator=(Connection &&other) noexcept;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    ~Connection();

    const QString &path() const { return m_path; }

    // Both throw DbException; the error is also kept as lastError().
    Statement prepare(std::string_view sql);
    void exec(std::string_view sql);

    qint64 lastInsertRowId() const;
    int changes() const;

    // The error of the last failed statement on this connection (set before DbException leaves).
    const DbError &lastError() const { return m_lastError; }
    // Builds the engine's current error, records it as lastError() and throws it.
    [[noreturn]] void fail();
    [[noreturn]] void fail(DbError error);

    sqlite3 *handle() const { return m_db; }

private:
    Connection(sqlite3 *db, QString path) : m_db(db), m_path(std::move(path)) { }

    sqlite3 *m_db = nullptr;
    QString m_path;
    DbError m_lastError;
};

// The engine's current error of db, in the report's form.
DbError engineError(sqlite3 *db);

} // namespace natalis::store
