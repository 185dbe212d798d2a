#include "sms/smsrequestlog.h"

#include "sms/smsdispatch.h"
#include "store/connection.h"
#include "store/statement.h"

#include <QUuid>

namespace natalis::sms {

namespace {

QString newRequestId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// The day a greeting goes out: its schedule's day, or today when it goes out at once. A greeting
// keeps its send day while its schedule text does not: 17 minutes before the send time "08:00"
// becomes "at once", and a retry must still find the first attempt.
QDate sendDay(const SmsSendContext &context, const SmsLogKey &key)
{
    if (key.scheduleText.trimmed().isEmpty())
        return context.now.date();
    return QDate::fromString(scheduleSendTime(key.scheduleText).left(8), u"yyyyMMdd");
}

// The birthday row not logged as sent with the same values and the same send day; -1 when none.
// A row's send day is its schedule's, or the day of its attempt when it went out at once.
SmsLogEntry earlierBirthdayRow(const SmsSendContext &context, const SmsLogKey &key)
{
    const QDate day = sendDay(context, key);
    store::Statement select = context.connection.prepare(
        "select Id,strRequestId from [dxhistory] where [strComputer]=? and strType=?"
        " and strTitle=? and strTel=? and intTelNum=? and strContent=? and intDxNum=0"
        " and strDxUser=? and (substr(strYyDate,1,10)=? or (ifnull(strYyDate,'')=''"
        " and substr(strSdDate,1,10)=?)) and strStatus<>? order by Id limit 1");
    select.bindAll(context.computerName, key.type.trimmed(), key.names.trimmed(),
        key.numbers.trimmed(), key.count, key.text.trimmed(), key.account.trimmed(),
        day.toString(u"yyyy/MM/dd"), day.toString(u"yyyy-MM-dd"), SentStatus.toString());
    if (!select.step())
        return {};
    return { select.integer(0), select.text(1) };
}

SmsLogEntry insertPendingRow(const SmsSendContext &context, const SmsLogKey &key)
{
    const QString requestId = newRequestId();
    context.connection
        .prepare("insert into [dxhistory](strSdDate,strComputer,strType,strTitle,strTel,"
                 "intTelNum,strContent,intDxNum,strDxUser,strYyDate,strStatus,strFor,"
                 "strRequestId) values(?,?,?,?,?,?,?,0,?,?,?,'',?)")
        .bindAll(storedSendTime(context.now), context.computerName, key.type.trimmed(),
            key.names.trimmed(), key.numbers.trimmed(), key.count, key.text.trimmed(),
            key.account.trimmed(), storedScheduleTime(key.scheduleText),
            NetworkFailureStatus.toString(), requestId)
        .run();
    return { context.connection.lastInsertRowId(), requestId };
}

} // namespace

void EnsureRequestIdColumn(store::Connection &connection)
{
    store::Statement columns = connection.prepare("pragma table_info(dxhistory)");
    while (columns.step()) {
        if (columns.text(1) == u"strRequestId")
            return;
    }
    connection.exec("alter table dxhistory add column strRequestId text default ''");
}

SmsLogEntry BeginSmsLog(const SmsSendContext &context, const SmsLogKey &key)
{
    try {
        EnsureRequestIdColumn(context.connection);
        if (key.type.trimmed() == BirthdaySmsType) {
            SmsLogEntry earlier = earlierBirthdayRow(context, key);
            if (earlier.rowId >= 0 && earlier.requestId.isEmpty()) {
                // A row of an older version: it was never sent under an id.
                earlier.requestId = newRequestId();
                context.connection.prepare("update [dxhistory] set strRequestId=? where [Id]=?")
                    .bindAll(earlier.requestId, earlier.rowId)
                    .run();
            }
            if (earlier.rowId >= 0)
                return earlier;
        }
        return insertPendingRow(context, key);
    } catch (const store::DbException &) {
        return { -1, newRequestId() };
    }
}

bool FinishSmsLog(const SmsSendContext &context, const SmsLogEntry &entry, const SmsLogKey &key,
    int charged, const QString &status, const QString &reason)
{
    if (entry.rowId < 0)
        return SaveSmsHistory(context, key.type, key.names, key.numbers, key.count, key.text,
            charged, key.account, key.scheduleText, status, reason);
    try {
        context.connection
            .prepare("update [dxhistory] set [strSdDate]=?,intDxNum=?,strStatus=?,strFor=?"
                     " where [Id]=?")
            .bindAll(storedSendTime(context.now), charged, status.trimmed(), reason.trimmed(),
                entry.rowId)
            .run();
        return context.connection.changes() == 1;
    } catch (const store::DbException &) {
        return false;
    }
}

} // namespace natalis::sms
