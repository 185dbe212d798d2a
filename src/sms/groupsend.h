#pragma once

#include "sms/smsbatching.h"
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

// The longest text a group send accepts, in characters.
inline constexpr int MaxGroupTextLength = 500;

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
QList<Recipient> recipientsOfKind(const GroupRecipients &recipients, QChar digit);

// How many numbers of the send begin with digit.
int CountNumbersByKind(const GroupRecipients &recipients, QChar digit);

// The moment a schedule stands for: the Gregorian text of the schedule box ("公历YYYY年 MM月DD日",
// blanks ignored) at hour:minute. nullopt when the box is empty or its text names no day.
std::optional<QDateTime> scheduleMoment(
    const QString &gregorianText, const QString &hour, const QString &minute);

// True when the schedule lies between now + 15 minutes and now + 6 calendar months.
bool CheckScheduleTime(const std::optional<QDateTime> &moment, const QDateTime &now);

// The schedule text SendSmsBatch takes: "YYYY年MM月DD日HH时NN分".
QString groupScheduleText(const QString &gregorianText, const QString &hour, const QString &minute);

// The answers of the balance and price buttons, titled "帐户余额" and "短信单价".
QString balanceAnswer(GatewayResult result, const QString &accountItem, const QString &buffer);
QString priceAnswer(GatewayResult result, const QString &buffer);

// The balance check before a group send: the balance must cover `needed` messages at 0.1 yuan.
struct GroupBalanceCheck
{
    bool enough = false;
    QString message; // shown titled GroupSendTitle when !enough
};
GroupBalanceCheck checkGroupBalance(
    SmsGateway &gateway, const QString &accountItem, qint64 neededMessages);
// The same check on a GetBalance answer (result and buffer) asked for elsewhere.
GroupBalanceCheck groupBalanceCheck(
    GatewayResult result, const QString &buffer, const QString &accountItem, qint64 neededMessages);

// Messages the text takes for all recipients: each number pays for its kind's split.
qint64 messagesNeeded(const GroupRecipients &recipients, const QString &text);

// Why a group send of the content box's text cannot start, said in a message box before the
// gateway is asked anything; nullopt when it can. Characters are counted as the counter beside
// the box counts them, in code points: 𠀀 or an emoji is one character, not two.
std::optional<QString> groupTextRefusal(const QString &text);

// How far one batch of a group send got.
enum class BatchState {
    NotTried,
    Sent,
    Failed, // the gateway refused it or it never reached the gateway: nothing went out
    Unknown, // its parts went out and the answer was lost: the gateway may have sent it
};

struct GroupBatch
{
    bool mobile = false;
    QList<Recipient> recipients;
    BatchState state = BatchState::NotTried;
    SmsLogEntry entry; // the log row and request id of its last try
};

// One group send and how far it got. The panel keeps it while some batch has not gone out, and
// sending the same text, account, schedule and recipients again continues it: a sent batch is
// not sent again, a batch whose answer was lost goes out under its own request id and log row
// (the gateway answers it as the first time, without sending twice), and a refused batch is
// tried as a new batch, since nothing of it went out.
struct GroupSend
{
    QString text; // trimmed
    QString account;
    QString scheduleText; // empty = at once ("即时短信"), else scheduled ("预约短信")
    QList<GroupBatch> batches; // as cutSmsBatches cuts them

    bool allSent() const;
    // Messages the batches not yet sent take: each number pays for its kind's split.
    qint64 messagesNeeded() const;
};

// What is left to do when `next` is asked for while `earlier` has not all gone out. With the
// same text, account and schedule, earlier's delivered batches and those of unknown outcome are
// kept as they are (the latter go again under their own id and row) and only the numbers in
// none of them are planned anew, so a changed list of recipients never repeats a number whose
// unit was delivered. Otherwise `next`.
GroupSend continueGroupSend(const GroupSend &earlier, GroupSend next);

// The batches of a send of text to every recipient, none tried yet.
GroupSend planGroupSend(const GroupRecipients &recipients, const QString &text,
    const QString &account, const QString &scheduleText);

// What a group send did, batch by batch, counted over all its batches.
struct GroupSendSummary
{
    int batches = 0;
    int successes = 0;
    int failures = 0;
    int unknown = 0; // answers lost: sending again retries these without sending them twice
    QStringList panelTexts; // status panel 3 after each batch tried, in order
    bool historySaveFailed = false;

    bool allSent() const { return failures == 0 && unknown == 0; }
    // "短信发送成功!" or the count of batches sent, failed and of unknown result.
    QString message() const;
};

// Tries every batch of send not sent yet, in order, and records how far each got.
GroupSendSummary sendGroup(const SmsSendContext &context, GroupSend &send);

// The steps of sendGroup for a caller that asks the gateway elsewhere (askGateway on the
// gateway's thread): a batch not sent yet has its request made and its log row begun, then
// takes the answer; after the last, the summary counts the batches by how far each got.
SmsBatchRequest beginGroupBatch(
    const SmsSendContext &context, const GroupSend &send, const GroupBatch &batch);
void finishGroupBatch(const SmsSendContext &context, GroupBatch &batch,
    const SmsBatchRequest &request, const SmsGatewayAnswer &answer, GroupSendSummary &summary);
void countGroupBatches(const GroupSend &send, GroupSendSummary &summary);

// A new send of text to every recipient (planGroupSend, then sendGroup).
GroupSendSummary sendGroup(const SmsSendContext &context, const GroupRecipients &recipients,
    const QString &text, const QString &account, const QString &scheduleText);

} // namespace natalis::sms
