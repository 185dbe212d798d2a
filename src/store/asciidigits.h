#pragma once

#include <QStringView>

namespace natalis::store {

// True when every character is one of the ASCII digits 0..9 (true for the empty text). Numbers
// typed or imported in other scripts (full-width ０..９ and the like) are not digits here.
inline bool isAsciiDigits(QStringView text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace natalis::store
