#include "sms/smshistory.h"

#include "sms/smsdispatch.h"

#include <QDateTime>

namespace natalis::sms {

namespace {

QString midnightOf(QDate day)
{
    return storedSendTime(QDateTime(day, QTime(0, 0)));
}

} // namespace

QDate earliestSmsHistoryDay()
{
    return QDate(2011, 1, 1);
}

std::optional<QList<SmsHistoryRow>> querySmsHistory(
    store::Connection &connection, const SmsHistoryQuery &query, QDate today)
{
    const QDate start = query.start.value_or(earliestSmsHistoryDay());
    const QDate end = query.end.value_or(today.addDays(1));
    return store::selectSmsHistory(connection,
        { midnightOf(start), midnightOf(end), query.account.trimmed(), query.type.trimmed(),
            query.status.trimmed() });
}

QString listedSmsContent(const QString &content)
{
    const QList<uint> characters = content.toUcs4();
    if (characters.size() <= ListedContentLength)
        return content;
    return QString::fromUcs4(
               reinterpret_cast<const char32_t *>(characters.constData()), ListedContentLength)
        + QStringLiteral("...");
}

qint64 chargedMessages(const QList<SmsHistoryRow> &rows)
{
    qint64 sum = 0;
    for (const SmsHistoryRow &row : rows)
        sum += row.intDxNum;
    return sum;
}

} // namespace natalis::sms
