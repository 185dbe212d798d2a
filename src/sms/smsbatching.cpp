#include "sms/smsbatching.h"

namespace natalis::sms {

bool isMobileNumber(const QString &number)
{
    return number.startsWith(MobileDigit);
}

QString joinBatchList(const QStringList &parts)
{
    return parts.join(u',');
}

QStringList splitBatchList(const QString &joined)
{
    return joined.split(u',');
}

} // namespace natalis::sms
