#include "store/connection.h"

#include "store/cipher.h"
#include "store/statement.h"

#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

using namespace Qt::StringLiterals;

namespace natalis::store {

namespace {

// Another program may hold the file for a moment; wait that long before calling it a failure.
constexpr int BusyTimeoutMs = 2000;

DbError ownError(int number, const QString &description)
{
    return DbError { u"natalis"_s, number, description };
}

} // namespace

DbError engineError(sqlite3 *db)
{
    if (!db)
        return ownError(SQLITE_NOMEM, u"out of memory"_s);
    return DbError { u"SQLCipher"_s, sqlite3_extended_errcode(db),
        QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_system_errno(db) };
}

std::optional<Connection> Connection::open(
    const QString &path, OpenMode mode, DbError *error, std::string_view key)
{
    auto refuse = [error](DbError e) -> std::optional<Connection> {
        if (error)
            *error = std::move(e);
        return std::nullopt;
    };

    const QFileInfo info(path);
    if (mode != OpenMode::CreateIfMissing) {
        if (!info.exists())
            return refuse(ownError(SQLITE_CANTOPEN, u"file not found"_s));
        // The engine would take an empty file for an empty database and start writing into it.
        if (info.isFile() && info.size() == 0)
            return refuse(ownError(SQLITE_NOTADB, u"file is empty"_s));
    }

    // Attached databases inherit these flags, and compaction attaches a file it creates; an
    // existing-only open has checked above that the file is there.
    const int flags = SQLITE_OPEN_NOMUTEX
        | (mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY
                                      : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    const QString real = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    sqlite3 *db = nullptr;
    const QByteArray file = real.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, flags, nullptr) != SQLITE_OK) {
        DbError e = engineError(db);
        sqlite3_close(db);
        return refuse(std::move(e));
    }
    auto state = std::make_unique<detail::ConnectionState>();
    state->db = db;
    state->path = real;
    Connection connection(std::move(state));
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    if (!key.empty()
        && (sqlite3_key(db, key.data(), int(key.size())) != SQLITE_OK
            || pinCipherSettings(db) != SQLITE_OK))
        return refuse(engineError(db));
    // The key is only tried when a page is read: without this a wrong key would show up at
    // the first real query instead of here.
    if (sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr)
        != SQLITE_OK)
        return refuse(engineError(db));
    return connection;
}

detail::ConnectionState::~ConnectionState()
{
    // A statement still alive somewhere would make a plain close fail and leave the file open
    // for good; the v2 close waits for the last statement to finish instead.
    cache.clear();
    sqlite3_close_v2(db);
}

void detail::ConnectionState::fail()
{
    fail(engineError(db));
}

void detail::ConnectionState::fail(DbError error)
{
    lastError = error;
    throw DbException(std::move(error));
}

Connection::~Connection() = default;

Statement Connection::prepare(std::string_view sql)
{
    return Statement(*this, sql);
}

void Connection::exec(std::string_view sql)
{
    Statement(*this, sql).run();
}

bool Connection::tryExec(const char *sql)
{
    return sqlite3_exec(m_state->db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

Statement &Connection::cached(std::string_view sql)
{
    // Looked up once per row in batches: the lookup must not copy the text.
    if (const auto found = m_state->cache.find(sql); found != m_state->cache.end()) {
        found->second->reset();
        return *found->second;
    }
    auto statement = std::make_unique<Statement>(*this, sql);
    return *m_state->cache.emplace(std::string(sql), std::move(statement)).first->second;
}

bool Connection::isReadOnly() const
{
    return sqlite3_db_readonly(m_state->db, "main") == 1;
}

qint64 Connection::dataVersion()
{
    return pragmaNumber("PRAGMA data_version");
}

qint64 Connection::pragmaNumber(std::string_view pragma)
{
    try {
        // Not cached: a statement left on its row would hold a read lock on the file.
        Statement answer = prepare(pragma);
        return answer.step() ? answer.integer(0) : -1;
    } catch (const DbException &) {
        return -1;
    }
}

bool Connection::hasColumn(std::string_view table, QStringView column)
{
    Statement columns = prepare("pragma table_info(" + std::string(table) + ")");
    while (columns.step()) {
        if (columns.text(1) == column)
            return true;
    }
    return false;
}

qint64 Connection::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(m_state->db);
}

int Connection::changes() const
{
    return sqlite3_changes(m_state->db);
}

} // namespace natalis::store
