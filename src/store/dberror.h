#pragma once

#include <QString>
#include <exception>

namespace natalis::store {

// One error of the database engine, or of our own reading of a row.
struct DbError
{
    QString source; // "SQLCipher" for the engine, "natalis" for our own checks
    int number = 0; // the engine's extended result code
    QString description;
    // The operating system's errno behind an I/O error of the engine (ENOSPC …); 0 when none.
    int systemError = 0;

    // The one-line report: source + " reported " + number + " - " + description + CR LF.
    QString describe() const;
};

// True when the error says the file itself is damaged (a page that does not decrypt or does
// not hold what it should), not that it is locked, missing or refused by a statement.
bool isDamage(const DbError &error);

// What a failed write ran into, as far as the user can do something about it.
enum class WriteFailure {
    FullDisk, // SQLITE_FULL, or an I/O error or a file that could not be made for want of space
    ReadOnly, // SQLITE_READONLY
    Other,
};
WriteFailure writeFailureKind(const DbError &error);

// What the user is told a failed write ran into, as the start of its message: "磁盘空间不足"
// for a full disk, "生日数据库文件只读" for a read-only file, "生日数据库共享访问冲突" (another
// program holds the file) for everything else.
QString writeFailureCause(const DbError &error);

// The cause of a failure in the words of the messages: "文件已损坏" where the engine says the
// file is damaged, else writeFailureCause's.
QString failureCause(const DbError &error);
// The same, but the engine's own words for a failure that is neither damage, a full disk nor a
// read-only file: where no other program shares the file (a sync's worker), a sharing conflict
// would mislead.
QString failureCauseOrDescription(const DbError &error);

// Thrown inside the store; every public operation catches it and reports in its own way.
class DbException : public std::exception
{
public:
    explicit DbException(DbError error) : m_error(std::move(error)) { }
    const DbError &error() const { return m_error; }
    const char *what() const noexcept override { return "database error"; }

private:
    DbError m_error;
};

} // namespace natalis::store
