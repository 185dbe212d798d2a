#include "sms/smshistory.h"

#include "sms/smsdispatch.h"
#include "store/connection.h"
#include "store/statement.h"

#include <QDateTime>

namespace natalis::sms {

namespace {

// An empty filter text is bound like any other value and switches its condition off, so one
// statement serves every combination of filters.
constexpr const char *HistorySelect =
    "select Id,strSdDate,strComputer,strType,strTitle,strTel,intTelNum,strContent,intDxNum,"
    "strDxUser,strYyDate,strStatus,strFor from dxhistory"
    " where strSdDate between ?1 and ?2"
    " and (?3 = '' or strDxUser = ?3)"
    " and (?4 = '' or strType = ?4)"
    " and (?5 = '' or strStatus = ?5)"
    " order by strSdDate, Id";

QString midnightOf(QDate day)
{
    return storedSendTime(QDateTime(day, QTime(0, 0)));
}

SmsHistoryRow rowOf(const store::Statement &select)
{
    SmsHistoryRow row;
    row.Id = select.integer(0);
    row.strSdDate = select.text(1);
    row.strComputer = select.text(2);
    row.strType = select.text(3);
    row.strTitle = select.text(4);
    row.strTel = select.text(5);
    row.intTelNum = select.integer(6);
    row.strContent = select.text(7);
    row.intDxNum = select.integer(8);
    row.strDxUser = select.text(9);
    row.strYyDate = select.text(10);
    row.strStatus = select.text(11);
    row.strFor = select.text(12);
    return row;
}

} // namespace

QDate earliestSmsHistoryDay()
{
    return QDate(2011, 1, 1);
}

std::optional<QList<SmsHistoryRow>> QuerySmsHistory(
    store::Connection &connection, const SmsHistoryQuery &query, QDate today)
{
    const QDate start = query.start.value_or(earliestSmsHistoryDay());
    const QDate end = query.end.value_or(today.addDays(1));
    try {
        store::Statement select = connection.prepare(HistorySelect);
        select.bindAll(midnightOf(start), midnightOf(end), query.account.trimmed(),
            query.type.trimmed(), query.status.trimmed());
        QList<SmsHistoryRow> rows;
        while (select.step())
            rows.append(rowOf(select));
        return rows;
    } catch (const store::DbException &) {
        return std::nullopt;
    }
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
