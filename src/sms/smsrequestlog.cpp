#include "sms/smsrequestlog.h"

#include "sms/smsdispatch.h"
#include "store/smshistorytable.h"

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

// The row a batch is logged in before its answer: sent now, nothing charged, "网络故障" until the
// answer says otherwise.
store::SmsHistoryRow pendingRow(const SmsSendContext &context, const SmsLogKey &key)
{
    return { -1, storedSendTime(context.now), context.computerName, key.type.trimmed(),
        key.names.trimmed(), key.numbers.trimmed(), key.count, key.text.trimmed(), 0,
        key.account.trimmed(), storedScheduleTime(key.scheduleText),
        NetworkFailureStatus.toString(), QString() };
}

// The gateway refused the unit. A refusal "14" of the unit's last part came, in older versions,
// after a part whose answer was lost: the unit may have gone out since, so its id is kept and
// the gateway asked.
bool refusedUnit(const store::SmsRequestRow &row)
{
    return row.strStatus == FailedStatus && !row.strFor.endsWith(u":14");
}

SmsLogEntry failedEntry()
{
    return { -1, newRequestId() };
}

} // namespace

SmsLogEntry beginSmsLog(const SmsSendContext &context, const SmsLogKey &key)
{
    const store::SmsHistoryRow row = pendingRow(context, key);
    if (row.strType == BirthdaySmsType) {
        // A row of the same values and send day, not logged as sent: the batch is tried again.
        std::optional<store::SmsRequestRow> earlier = store::findSmsRequestRow(
            context.connection, row, sendDay(context, key), SentStatus.toString());
        if (!earlier)
            return failedEntry();
        if (earlier->Id >= 0 && (earlier->strRequestId.isEmpty() || refusedUnit(*earlier))) {
            // A row of an older version (never sent under an id), or a unit the gateway refused:
            // it would answer the refusal again to that id, and nothing of it went out.
            earlier->strRequestId = newRequestId();
            if (!store::setSmsRequestId(context.connection, earlier->Id, earlier->strRequestId))
                return failedEntry();
        }
        if (earlier->Id >= 0)
            return { earlier->Id, earlier->strRequestId };
    }
    const QString requestId = newRequestId();
    const qint64 rowId = store::insertSmsHistoryRow(context.connection, row, requestId);
    return rowId < 0 ? failedEntry() : SmsLogEntry { rowId, requestId };
}

bool finishSmsLog(const SmsSendContext &context, const SmsLogEntry &entry, const SmsLogKey &key,
    int charged, const QString &status, const QString &reason)
{
    if (entry.rowId < 0)
        return SaveSmsHistory(context, key.type, key.names, key.numbers, key.count, key.text,
            charged, key.account, key.scheduleText, status, reason);
    store::SmsHistoryRow outcome;
    outcome.Id = entry.rowId;
    outcome.strSdDate = storedSendTime(context.now);
    outcome.intDxNum = charged;
    outcome.strStatus = status.trimmed();
    outcome.strFor = reason.trimmed();
    return store::updateSmsHistoryOutcome(context.connection, outcome) == 1;
}

} // namespace natalis::sms
