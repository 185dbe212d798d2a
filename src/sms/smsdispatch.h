#pragma once

#include "sms/smsaccounts.h"
#include "sms/smsgateway.h"
#include "sms/smsrequestlog.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace natalis::store {
class Connection;
struct SettingsRecord;
struct SmsHistoryRow;
} // namespace natalis::store

namespace natalis::sms {

// The three kinds of log row (strType).
inline constexpr QStringView ImmediateSmsType = u"即时短信";
inline constexpr QStringView ScheduledSmsType = u"预约短信";
inline constexpr QStringView BirthdaySmsType = u"生日短信";

// The statuses of a log row (strStatus).
inline constexpr QStringView SentStatus = u"发送成功";
inline constexpr QStringView FailedStatus = u"发送失败";
inline constexpr QStringView NetworkFailureStatus = u"网络故障";
// The parts went to the gateway and no answer came back: it may have sent them. Not a failure,
// so nobody sends the batch again under a new request id.
inline constexpr QStringView UnknownStatus = u"结果未知";

// A greeting due today that the night stop kept back: nothing went out.
inline constexpr QStringView NotSentStatus = u"未发送";
inline constexpr QStringView NightStopReason = u"22:00以后不再发送";
inline constexpr QStringView NightStopText = u"未发送: 22:00以后不再发送";

// Panel 3 after a log row could not be written.
inline constexpr QStringView HistorySaveFailedText = u"短信发送记录保存失败";

// A greeting must be scheduled at least this far ahead, else it goes out at once.
inline constexpr int ShortestScheduleMinutes = 17;

// Characters per message: mobile and Unicom numbers, PHS numbers (小灵通).
inline constexpr int MobileMessageLength = 70;
inline constexpr int PhsMessageLength = 58;

// Everything a send needs besides its own arguments; the window thread's process-wide state.
struct SmsSendContext
{
    store::Connection &connection;
    SmsGateway &gateway;
    const store::SettingsRecord &settings; // DxYyTail
    const SmsAccountTable &accounts; // entry 2's name decides on the signature
    QString computerName; // strComputer of every log row
    QDateTime now; // strSdDate of the log rows
};

// What one SendSmsBatch did. The caller sets SmsActivity (every call), shows panelText in
// panel 3 and then, when !historySaved, HistorySaveFailedText.
struct SmsBatchOutcome
{
    bool accepted = false; // the batch went out (result 1 of the last message)
    QString status; // the log row's strStatus
    QString reason; // the log row's strFor
    QString panelText;
    bool historySaved = true;
    QString fullText; // the text as split, sent and logged (signature included)
    int messagesPerNumber = 0; // 0 when the balance query failed before the split
    QStringList messages; // the messages handed to the gateway, in order
    bool partsSent = false; // the parts went to the gateway, so its answer decided the status
};

// The text without its trailing blanks and NUL characters.
QString TrimTrailingBlanks(const QString &text);

// The leading decimal number of text (blanks first allowed, optional sign, digits with an
// optional fraction), 0 when there is none: "12.5元" gives 12.5, "abc" 0.
double lenientNumber(const QString &text);

// text cut into messages of `length` characters (Unicode characters, not bytes), the last one
// the remainder; no message for an empty text.
QStringList splitMessages(const QString &text, int length);

// The 14-digit send time "YYYYMMDDHHNN00" of a schedule text "YYYY年MM月DD日HH时NN分", and the
// logged form "YYYY/MM/DD HH:NN:00" (empty for an empty or blank schedule text).
QString scheduleSendTime(const QString &scheduleText);
QString storedScheduleTime(const QString &scheduleText);

// The schedule text of a day and a "HH:MM" time: "YYYY年MM月DD日HH时MM分".
QString scheduleText(QDate day, const QString &sendTime);

// One batch on its way: what the gateway calls need (nothing of the database) and its log row.
// Made on the window thread by prepareSmsBatch, sent by askGateway on whatever thread holds
// the gateway, completed by finishSmsBatch on the window thread again.
struct SmsBatchRequest
{
    bool mobile = false;
    QString sender; // the trimmed account name
    QString numbers;
    int count = 0;
    QString sendTime; // 14 digits; empty for an immediate send
    QStringList messages; // the parts of the full text
    SmsLogKey log;
    SmsLogEntry entry;
    // An earlier attempt of unknown outcome, sent again alone under its own id and row: the
    // gateway is asked first whether its unit went out, and a low balance does not make it fail.
    bool retry = false;
    // With retry: past the night stop only the question is asked, nothing is sent.
    bool askOnly = false;
};

// What the gateway answered for one batch.
struct SmsGatewayAnswer
{
    GatewayResult balanceResult = GatewayResults::NetworkFailure;
    double balance = 0; // when balanceResult is 1
    bool balanceEnough = false; // B × 10 ≥ count × messages at 0.1 yuan a message
    // The unit's: 1 when the gateway delivered it (every part answered 1, or asked afterwards);
    // else the answer of the first part that was refused or whose answer stayed lost.
    GatewayResult sendResult = GatewayResults::NetworkFailure;
    bool delivered = false; // a retry found its unit delivered before sending anything
};

// Builds the batch without its log row: entry is empty.
SmsBatchRequest buildSmsBatch(const SmsSendContext &context, bool mobile, const QString &type,
    const QString &names, const QString &numbers, int count, const QString &text,
    const QString &account, const QString &scheduleText);

// The earlier attempt logged in row (its strRequestId), as sent the first time, to be sent again
// alone under its own id and row at context.now: a schedule less than
// ShortestScheduleMinutes ahead goes out at once.
SmsBatchRequest retrySmsBatch(const SmsSendContext &context, const store::SmsHistoryRow &row,
    const QString &requestId, bool askOnly);

// Builds the batch and writes its log row with its request id (beginSmsLog).
SmsBatchRequest prepareSmsBatch(const SmsSendContext &context, bool mobile, const QString &type,
    const QString &names, const QString &numbers, int count, const QString &text,
    const QString &account, const QString &scheduleText);

// The balance query, the balance check and the parts of the text, in order, all under the
// batch's request id; a part whose answer is lost is sent once more under the same id, and a
// part refused as incomplete or still lost has the gateway asked whether the unit went out. A
// retry asks that first. Touches nothing but the gateway.
SmsGatewayAnswer askGateway(SmsGateway &gateway, const SmsBatchRequest &request);

// Reads the answer as SendSmsBatch reports it and completes the log row (finishSmsLog).
SmsBatchOutcome finishSmsBatch(
    const SmsSendContext &context, const SmsBatchRequest &request, const SmsGatewayAnswer &answer);

// Sends text to numbers (joined by ",", count of them) as one batch and logs the attempt:
// prepareSmsBatch, askGateway with context.gateway, finishSmsBatch.
// mobile: 70 characters per message, else 58 (PHS). type: one of the three types.
// names: the recipients' names joined by ",". account: the account name (the signature is
// appended when it equals the application account's name). scheduleText: empty for an
// immediate send, else "YYYY年MM月DD日HH时NN分".
SmsBatchOutcome SendSmsBatch(const SmsSendContext &context, bool mobile, const QString &type,
    const QString &names, const QString &numbers, int count, const QString &text,
    const QString &account, const QString &scheduleText);

// Writes the log row of one attempt; a failed "生日短信" attempt that was already
// logged with the same values updates that row's time, status and reason instead. Values are
// bound, so quotes are stored as they are. True when the row was written.
bool SaveSmsHistory(const SmsSendContext &context, const QString &type, const QString &names,
    const QString &numbers, int count, const QString &text, int charged, const QString &account,
    const QString &scheduleText, const QString &status, const QString &reason);

// The stored form of a send moment: "yyyy-MM-dd HH:mm:ss", which orders as time does.
QString storedSendTime(const QDateTime &moment);

// The day on or before which log rows are purged: retention 1..4 keeps 1 year, 6 months,
// 3 months or 1 month back from today ("保留1年", "保留半年", "保留3月", "保留1月"); 0
// ("长期有效") and any other value keep everything (invalid QDate).
QDate smsHistoryCutoff(int retention, QDate today);

// Deletes the log rows sent on or before the cutoff day's midnight (DxTxRetryNums). True when
// the delete ran or nothing was to be purged; false on a database error (the log unchanged).
bool PurgeSmsHistory(store::Connection &connection, int retention, QDate today);

} // namespace natalis::sms
