#include "store/cipher.h"

#include <sqlcipher/sqlite3.h>

namespace natalis::store {

int pinCipherSettings(sqlite3 *db)
{
    // The two algorithm settings arrived with SQLCipher 4; SQLCipher 3 takes them for unknown
    // pragmas and ignores them, which is right because they name its fixed algorithms.
    return sqlite3_exec(db,
        "PRAGMA cipher_page_size = 1024;"
        "PRAGMA kdf_iter = 64000;"
        "PRAGMA cipher_use_hmac = ON;"
        "PRAGMA cipher_hmac_algorithm = HMAC_SHA1;"
        "PRAGMA cipher_kdf_algorithm = PBKDF2_HMAC_SHA1;",
        nullptr, nullptr, nullptr);
}

} // namespace natalis::store
