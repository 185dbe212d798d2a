#pragma once

#include "store/connection.h"

#include <QString>
#include <optional>

namespace natalis::store {

// The default database file name, looked for beside the executable.
inline constexpr QStringView DefaultDbFileName = u"natalis.mdb";

// Creates every table of a new database and its fixed rows (settings row 1 with the initial
// values of SettingsRecord, SMS accounts 1 and 2, both unregistered), in one transaction.
// Throws DbException.
void createSchema(Connection &connection);

// The one connection of the program. An absent file is created, readable by its owner only, with
// the full schema (and removed again when that fails); an existing file must open under the key
// and is never written to by a failed attempt. A read-only file (isReadOnlyDatabase) is opened
// read-only: every change then fails. Returns nullopt on failure, with *error when given.
std::optional<Connection> OpenBirthDb(const QString &path, DbError *error = nullptr);

// How closely findDamage looks. Both read every page, and any damaged byte of a keyed page fails
// its authentication code, so the quick check finds damage as surely; the full one also compares
// each index with its table and so finds indexes a faulty writer left out of step.
enum class DamageCheck { Quick, Full };

// The damage the engine's check finds in the open file, as "文件已损坏: " and what the engine
// says; nullopt when the file reads through. A command calls it before its first write, so that a
// damaged file stays byte for byte as it was for the restore from a backup. Reads the whole file:
// a few milliseconds for ten thousand birthdays.
std::optional<DbError> findDamage(Connection &connection, DamageCheck check = DamageCheck::Quick);

} // namespace natalis::store
