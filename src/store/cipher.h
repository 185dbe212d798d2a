#pragma once

struct sqlite3;

namespace natalis::store {

// Fixes the cipher of db to the settings every natalis file has been written with, SQLCipher 3's
// defaults: 1024-byte pages, 64,000 PBKDF2 rounds, PBKDF2-HMAC-SHA1 for the key and HMAC-SHA1
// per page. Call after the key and before the first read. A library whose defaults differ
// (SQLCipher 4) then still opens today's files; a library too old to know one of the settings
// already uses that value. Returns the engine's result code.
int pinCipherSettings(sqlite3 *db);

} // namespace natalis::store
