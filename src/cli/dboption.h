#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <optional>
#include <variant>

namespace natalis::store {
class Connection;
struct DbError;
struct BirthdayLoad;
} // namespace natalis::store

namespace natalis::cli {

// --db PATH, shared by every command that opens the database.
QCommandLineOption dbOption();

// The file the program opens when started without an argument; both programs share a folder.
QString programDbPath();

// --db when given, else programDbPath().
QString dbPath(const QCommandLineParser &parser);

// How a command uses the database file.
enum class DbUse {
    Read, // a listing: opened read-only, never written, not even a table made
    Change, // the file must exist
    ChangeOrCreate, // an absent file is made with the schema
};

// Opens the file at path for use. For a change the file must also pass the engine's quick check
// first, so that a damaged file is refused with the damage named and left byte for byte as it
// was. nullopt with the reason in *error otherwise.
std::optional<store::Connection> openDb(const QString &path, DbUse use, store::DbError *error);

// The birthdays of the file --db names, opened read-only; the exit code, its reason printed, when
// the file does not open or its birthdays cannot be read.
std::variant<int, store::BirthdayLoad> readBirthdays(const QCommandLineParser &parser);

} // namespace natalis::cli
