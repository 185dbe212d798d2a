#pragma once

#include "sms/smsdispatch.h"
#include "sms/smsgateway.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::sms {

// Title of every message of a group send.
inline constexpr QStringView GroupSendTitle = u"短信群发";

// The gateway takes at most this many numbers in one send.
inline constexpr int GroupBatchSize = 200;

// The longest text a group send accepts, in characters.
inline constexpr int MaxGroupTextLength = 500;

// First digits of the two number kinds: PHS (小灵通) and mobile/Unicom.
inline constexpr QChar PhsDigit = u'0';
inline constexpr QChar MobileDigit = u'1';

// One recipient of a group send: a ticked list entry (its name and number) or a temporary
// number (no name).
struct Recipient
{
    QString name;
    QString number;

    friend bool operator==(const Recipient &, const Recipient &) = default;
};

// Everyone a group send goes to: the ticked entries in list order, then the temporary numbers.
struct GroupRecipients
{
    QList<Recipient> ticked;
    QStringList temporary;
};

// The recipients whose number begins with digit, ticked entries first.
QList<Recipient> RecipientsOfKind(const GroupRecipients &recipients, QChar digit);

// How many numbers of the send begin with digit.
int CountNumbersByKind(const GroupRecipients &recipients, QChar digit);

// recipients cut into batches of size, in order; every batch full but the last.
QList<QList<Recipient>> SplitIntoBatches(const QList<Recipient> &recipients, int size);

// The moment a schedule stands for: the Gregorian text of the schedule box ("公历YYYY年 MM月DD日",
// blanks ignored) at hour:minute. nullopt when the box is empty or its text names no day.
std::optional<QDateTime> ScheduleMoment(
    const QString &gregorianText, const QString &hour, const QString &minute);

// True when the schedule lies between now + 15 minutes and now + 6 calendar months.
bool CheckScheduleTime(const std::optional<QDateTime> &moment, const QDateTime &now);

// The schedule text SendSmsBatch takes: "YYYY年MM月DD日HH时NN分".
QString GroupScheduleText(const QString &gregorianText, const QString &hour, const QString &minute);

// The answers of the balance and price buttons, titled "帐户余额" and "短信单价".
QString BalanceAnswer(GatewayResult result, const QString &accountItem, const QString &buffer);
QString PriceAnswer(GatewayResult result, const QString &buffer);

// The balance check before a group send: the balance must cover `needed` messages at 0.1 yuan.
struct GroupBalanceCheck
{
    bool enough = false;
    QString message; // shown titled GroupSendTitle when !enough
};
GroupBalanceCheck CheckGroupBalance(
    SmsGateway &gateway, const QString &accountItem, qint64 neededMessages);

// Messages the text takes for all recipients: each number pays for its kind's split.
qint64 MessagesNeeded(const GroupRecipients &recipients, const QString &text);

// What a group send did, batch by batch.
struct GroupSendSummary
{
    int batches = 0;
    int successes = 0;
    int failures = 0;
    QStringList panelTexts; // status panel 3 after each batch, in order
    bool historySaveFailed = false;

    bool allSent() const { return failures == 0; }
    // "短信发送成功!" or the count of batches sent and failed.
    QString message() const;
};

// Sends text to every recipient: PHS numbers first, then mobile numbers, each kind in batches of
// GroupBatchSize. scheduleText empty = at once ("即时短信"), else scheduled ("预约短信").
GroupSendSummary SendGroup(const SmsSendContext &context, const GroupRecipients &recipients,
    const QString &text, const QString &account, const QString &scheduleText);

} // namespace natalis::sms
