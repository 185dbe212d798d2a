#include "sms/groupsend.h"

#include "sms/smsaccounts.h"
#include "sms/smssetup.h"

#include <QDate>
#include <QSet>
#include <QTime>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace natalis::sms {

namespace {

// A balance is money; compare in tenths of a yuan without letting 9.9 × 10 land a hair below 99.
constexpr double BalanceTolerance = 1e-6;

QString withoutBlanks(QString text)
{
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text;
}

// The schedule box without blanks and without its "公历" prefix: "YYYY年MM月DD日".
QString scheduleDayText(const QString &gregorianText)
{
    return withoutBlanks(gregorianText).mid(2);
}

QString joined(const QList<Recipient> &batch, QString Recipient::*field)
{
    QStringList items;
    items.reserve(batch.size());
    for (const Recipient &recipient : batch)
        items << recipient.*field;
    return joinBatchList(items);
}

// The batches of recipients, none tried yet.
QList<GroupBatch> cutGroupBatches(const QList<Recipient> &recipients)
{
    QList<GroupBatch> batches;
    const auto numberOf = [](const Recipient &recipient) { return recipient.number; };
    for (const SmsBatchCut<Recipient> &cut : cutSmsBatches(recipients, numberOf))
        batches.append({ cut.mobile, cut.items, BatchState::NotTried, {} });
    return batches;
}

} // namespace

QList<Recipient> recipientsOfKind(const GroupRecipients &recipients, QChar digit)
{
    QList<Recipient> result;
    for (const Recipient &recipient : recipients.ticked) {
        if (recipient.number.startsWith(digit))
            result << recipient;
    }
    for (const QString &number : recipients.temporary) {
        if (number.startsWith(digit))
            result << Recipient { QString(), number };
    }
    return result;
}

int CountNumbersByKind(const GroupRecipients &recipients, QChar digit)
{
    return int(recipientsOfKind(recipients, digit).size());
}

std::optional<QDateTime> scheduleMoment(
    const QString &gregorianText, const QString &hour, const QString &minute)
{
    const QString day = scheduleDayText(gregorianText);
    bool yearOk = false, monthOk = false, dayOk = false, hourOk = false, minuteOk = false;
    const QDate date(
        day.mid(0, 4).toInt(&yearOk), day.mid(5, 2).toInt(&monthOk), day.mid(8, 2).toInt(&dayOk));
    const QTime time(hour.trimmed().toInt(&hourOk), minute.trimmed().toInt(&minuteOk));
    if (!(yearOk && monthOk && dayOk && hourOk && minuteOk) || !date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

bool CheckScheduleTime(const std::optional<QDateTime> &moment, const QDateTime &now)
{
    return moment && now.addSecs(15 * 60) <= *moment && *moment <= now.addMonths(6);
}

QString groupScheduleText(const QString &gregorianText, const QString &hour, const QString &minute)
{
    return withoutBlanks(gregorianText + hour + u"时"_s + minute + u"分"_s).mid(2);
}

QString balanceAnswer(GatewayResult result, const QString &accountItem, const QString &buffer)
{
    switch (result) {
    case GatewayResults::Ok:
        return accountItem + u"当前余额:"_s + TrimTrailingBlanks(buffer).trimmed() + u" 元"_s;
    case GatewayResults::NetworkFailure:
        return QStringLiteral("网络故障");
    case GatewayResults::BalanceQueryFailed:
        return QStringLiteral("得到余额失败");
    default:
        return u"其他错误值:"_s + QString::number(result);
    }
}

QString priceAnswer(GatewayResult result, const QString &buffer)
{
    if (result == GatewayResults::NetworkFailure)
        return QStringLiteral("网络故障");
    return TrimTrailingBlanks(buffer).trimmed() + u"元/条"_s;
}

GroupBalanceCheck checkGroupBalance(
    SmsGateway &gateway, const QString &accountItem, qint64 neededMessages)
{
    QString buffer(GatewayBufferWidth, u' ');
    const GatewayResult result = gateway.GetBalance(accountOfItem(accountItem), buffer);
    return groupBalanceCheck(result, buffer, accountItem, neededMessages);
}

GroupBalanceCheck groupBalanceCheck(
    GatewayResult result, const QString &buffer, const QString &accountItem, qint64 neededMessages)
{
    const QString account = accountOfItem(accountItem);
    const QString contact = u"请联系青萍软件作坊,确认帐号"_s + account + u"是否有效?"_s;
    switch (result) {
    case GatewayResults::Ok:
        break;
    case GatewayResults::NetworkFailure:
        return { false, QStringLiteral("网络故障,短信发送失败") };
    case GatewayResults::BalanceQueryFailed:
        return { false, u"帐号余额获得失败,短信发送失败。\n"_s + contact };
    default:
        return { false,
            u"帐号余额获得其他错误值:"_s + QString::number(result) + u",短信发送失败。\n"_s
                + contact };
    }
    const double balance = lenientNumber(TrimTrailingBlanks(buffer).trimmed());
    if (double(neededMessages) > balance * 10 + BalanceTolerance)
        return { false,
            accountItem + u"当前余额:"_s + QString::number(balance)
                + u"元,不足以支持本次短信群发,短信发送失败!"_s };
    return { true, {} };
}

qint64 messagesNeeded(const GroupRecipients &recipients, const QString &text)
{
    const SmsContentCounters counters = contentCounters(text.trimmed());
    return qint64(counters.mobileMessages) * CountNumbersByKind(recipients, MobileDigit)
        + qint64(counters.phsMessages) * CountNumbersByKind(recipients, PhsDigit);
}

std::optional<QString> groupTextRefusal(const QString &text)
{
    if (text.trimmed().isEmpty())
        return u"短信内容为空,短信发送失败"_s;
    const int characters = contentCounters(text).characters;
    if (characters > MaxGroupTextLength)
        return u"短信内容最多%1字符,现有%2字符,短信发送失败"_s.arg(MaxGroupTextLength)
            .arg(characters);
    return std::nullopt;
}

bool GroupSend::allSent() const
{
    return std::all_of(batches.cbegin(), batches.cend(),
        [](const GroupBatch &batch) { return batch.state == BatchState::Sent; });
}

qint64 GroupSend::messagesNeeded() const
{
    const SmsContentCounters counters = contentCounters(text);
    qint64 needed = 0;
    for (const GroupBatch &batch : batches) {
        if (batch.state != BatchState::Sent)
            needed += qint64(batch.mobile ? counters.mobileMessages : counters.phsMessages)
                * batch.recipients.size();
    }
    return needed;
}

GroupSend planGroupSend(const GroupRecipients &recipients, const QString &text,
    const QString &account, const QString &scheduleText)
{
    QList<Recipient> everyone = recipients.ticked;
    for (const QString &number : recipients.temporary)
        everyone.append({ QString(), number });
    return { text.trimmed(), account, scheduleText, cutGroupBatches(everyone) };
}

GroupSend continueGroupSend(const GroupSend &earlier, GroupSend next)
{
    if (earlier.text != next.text || earlier.account != next.account
        || earlier.scheduleText != next.scheduleText)
        return next;
    GroupSend send { next.text, next.account, next.scheduleText, {} };
    QSet<QString> covered;
    for (const GroupBatch &batch : earlier.batches) {
        if (batch.state != BatchState::Sent && batch.state != BatchState::Unknown)
            continue;
        send.batches.append(batch);
        for (const Recipient &recipient : batch.recipients)
            covered.insert(recipient.number);
    }
    QList<Recipient> left;
    for (const GroupBatch &batch : std::as_const(next.batches)) {
        for (const Recipient &recipient : batch.recipients) {
            if (!covered.contains(recipient.number))
                left.append(recipient);
        }
    }
    send.batches.append(cutGroupBatches(left));
    return send;
}

QString GroupSendSummary::message() const
{
    if (allSent())
        return QStringLiteral("短信发送成功!");
    QString text = u"短信共分"_s + QString::number(batches) + u"组发送,\n其中"_s
        + QString::number(successes) + u"组发送成功"_s;
    if (failures > 0 || unknown == 0)
        text += u","_s + QString::number(failures) + u"组发送失败"_s;
    if (unknown > 0)
        text += u","_s + QString::number(unknown) + u"组结果未知"_s;
    text += u'.';
    if (unknown > 0)
        text += u"\n结果未知的短信可能已经发出,再次发送时只补发未发出的,不会重复."_s;
    return text;
}

namespace {

// A batch's state after a try. A lost answer stays unknown until an answer comes: a try that
// stopped before the parts went out (the balance query) tells nothing about the first one.
BatchState stateAfter(BatchState before, const SmsBatchOutcome &outcome)
{
    if (outcome.accepted)
        return BatchState::Sent;
    if (outcome.partsSent)
        return outcome.status == UnknownStatus ? BatchState::Unknown : BatchState::Failed;
    return before == BatchState::Unknown ? BatchState::Unknown : BatchState::Failed;
}

} // namespace

SmsBatchRequest beginGroupBatch(
    const SmsSendContext &context, const GroupSend &send, const GroupBatch &batch)
{
    const QString type =
        (send.scheduleText.isEmpty() ? ImmediateSmsType : ScheduledSmsType).toString();
    SmsBatchRequest request = buildSmsBatch(context, batch.mobile, type,
        joined(batch.recipients, &Recipient::name), joined(batch.recipients, &Recipient::number),
        int(batch.recipients.size()), send.text, send.account, send.scheduleText);
    // A refused batch went nowhere: a new row and id. A lost one keeps both, so the gateway
    // can tell it is the same send.
    request.retry = batch.state == BatchState::Unknown;
    request.entry = request.retry ? batch.entry : beginSmsLog(context, request.log);
    return request;
}

void finishGroupBatch(const SmsSendContext &context, GroupBatch &batch,
    const SmsBatchRequest &request, const SmsGatewayAnswer &answer, GroupSendSummary &summary)
{
    const SmsBatchOutcome outcome = finishSmsBatch(context, request, answer);
    batch.entry = request.entry;
    batch.state = stateAfter(batch.state, outcome);
    summary.panelTexts << outcome.panelText;
    summary.historySaveFailed = summary.historySaveFailed || !outcome.historySaved;
}

void countGroupBatches(const GroupSend &send, GroupSendSummary &summary)
{
    summary.batches = int(send.batches.size());
    for (const GroupBatch &batch : send.batches) {
        if (batch.state == BatchState::Sent)
            ++summary.successes;
        else if (batch.state == BatchState::Unknown)
            ++summary.unknown;
        else
            ++summary.failures;
    }
}

GroupSendSummary sendGroup(const SmsSendContext &context, GroupSend &send)
{
    GroupSendSummary summary;
    for (GroupBatch &batch : send.batches) {
        if (batch.state == BatchState::Sent)
            continue;
        const SmsBatchRequest request = beginGroupBatch(context, send, batch);
        finishGroupBatch(context, batch, request, askGateway(context.gateway, request), summary);
    }
    countGroupBatches(send, summary);
    return summary;
}

GroupSendSummary sendGroup(const SmsSendContext &context, const GroupRecipients &recipients,
    const QString &text, const QString &account, const QString &scheduleText)
{
    GroupSend send = planGroupSend(recipients, text, account, scheduleText);
    return sendGroup(context, send);
}

} // namespace natalis::sms
