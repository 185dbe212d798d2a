#pragma once

#include "store/dberror.h"
#include "store/settingsrecord.h"

#include <variant>

namespace natalis::store {

class Connection;

// Reads the first row of table tishidata. The texts strServer, strShare, strQpTime, strFdTime,
// strMcTime, strMcFile, DxTxUser0..7 and DxTxContent0..7 read NULL as empty; a NULL anywhere
// else, a missing table or no row at all is an error.
std::variant<SettingsRecord, DbError> ReadSettings(Connection &connection);

// Writes every field back to the row with Id 1, texts trimmed (strC_S as it is); the trimmed
// texts are also stored back into settings. False on any database error and when there is no
// row with Id 1 to write to.
bool WriteSettings(Connection &connection, SettingsRecord &settings);

// The columns of table tishidata after Id, in the writer's order, with their SQL types and the
// values of a new database; used to create the table.
QByteArray settingsColumnDefinitions();

} // namespace natalis::store
