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

// The failed birthday row with the same values, as SaveSmsHistory looks it up; -1 when none.
SmsLogEntry earlierBirthdayRow(const SmsSendContext &context, const SmsLogKey &key)
{
    store::Statement select = context.connection.prepare(
        "select Id,strRequestId from [dxhistory] where [strComputer]=? and strType=?"
        " and strTitle=? and strTel=? and intTelNum=? and strContent=? and intDxNum=0"
        " and strDxUser=? and strYyDate=? and strStatus<>? order by Id limit 1");
    select.bindAll(context.computerName, key.type.trimmed(), key.names.trimmed(),
        key.numbers.trimmed(), key.count, key.text.trimmed(), key.account.trimmed(),
        storedScheduleTime(key.scheduleText), SentStatus.toString());
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
