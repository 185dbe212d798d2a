#include "store/phonenumber.h"

namespace natalis::store {

namespace {

bool allDigits(QStringView text)
{
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

bool IsPhoneNumber(QStringView text)
{
    const QStringView t = text.trimmed();
    if (!allDigits(t) || t.size() < 2)
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
