#pragma once

#include <QString>
#include <QtGlobal>

namespace natalis::sms {

struct SmsSendContext;

// A batch's log row is written before the gateway is asked, holding the batch's request id
// (column strRequestId), and completed afterwards. So the id survives a lost answer or a crash,
// and a birthday batch tried again finds its row and goes out under the same id: the gateway
// then answers its first result instead of sending twice.

// The values that identify a log row; as SaveSmsHistory takes them.
struct SmsLogKey
{
    QString type;
    QString names;
    QString numbers;
    int count = 0;
    QString text; // signature included
    QString account;
    QString scheduleText;
};

// The row of one batch: its Id (-1 when it could not be written) and request id.
struct SmsLogEntry
{
    qint64 rowId = -1;
    QString requestId;
};

// Before the call: a "生日短信" batch not yet logged as sent with the same values and the same
// send day (its schedule's day, or today for a send at once) reuses that row and its request
// id, however its schedule has changed since; any other batch gets a new row ("网络故障", nothing
// charged, until the answer says otherwise) with a fresh request id. The id is returned even when
// the row could not be written.
SmsLogEntry beginSmsLog(const SmsSendContext &context, const SmsLogKey &key);

// After the call: the row gets the attempt's moment, status, reason and messages charged. A
// batch whose row could not be written first is logged as SaveSmsHistory does. False when
// nothing could be written.
bool finishSmsLog(const SmsSendContext &context, const SmsLogEntry &entry, const SmsLogKey &key,
    int charged, const QString &status, const QString &reason);

} // namespace natalis::sms
