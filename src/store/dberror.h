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

    // The one-line report: source + " reported " + number + " - " + description + CR LF.
    QString describe() const;
};

// True when the error says the file itself is damaged (a page that does not decrypt or does
// not hold what it should), not that it is locked, missing or refused by a statement.
bool IsDamage(const DbError &error);

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
