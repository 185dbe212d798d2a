#include "store/phonenumber.h"

#include "store/asciidigits.h"

namespace natalis::store {

bool IsPhoneNumber(QStringView text)
{
    const QStringView t = text.trimmed();
    if (!isAsciiDigits(t) || t.size() < 2)
        return false;
    if (t[0] == u'1')
        return t.size() == 11;
    if (t[0] != u'0')
        return false;
    if (t[1] == u'1')
        return t.size() == 11;
    return t[1] >= u'2' && t.size() >= 10 && t.size() <= 12;
}

} // namespace natalis::store
