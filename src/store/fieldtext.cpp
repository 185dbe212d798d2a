#include "fieldtext.h"

namespace natalis::store {

namespace {

bool isForbidden(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F
        || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

bool holdsForbiddenCharacter(QStringView text)
{
    // Every forbidden character lies in the basic plane: surrogates never match.
    for (const QChar c : text) {
        if (isForbidden(c.unicode()))
            return true;
    }
    return false;
}

} // namespace natalis::store
