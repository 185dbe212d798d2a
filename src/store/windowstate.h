#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace natalis::store {

class Connection;

// How the windows were left (size, position, column widths), kept with the settings in the
// database rather than in the platform's registry. One opaque value per key in table
// windowstate, which new files get with their schema and older files on the first write.

// The table's definition, "if not exists" so that it can be run on any file.
inline constexpr const char *WindowStateTableSql =
    "create table if not exists windowstate([Key] text primary key,[Value] text not null)";

// The value stored under `key`; nullopt when there is none, the table is missing (a file from
// before it) or the database cannot be read.
std::optional<QByteArray> readWindowState(Connection &connection, const QString &key);

// Stores `value` under `key`, replacing what was there; false on a database error.
bool writeWindowState(Connection &connection, const QString &key, const QByteArray &value);

} // namespace natalis::store
