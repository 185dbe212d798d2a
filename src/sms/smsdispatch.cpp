#include "sms/smsdispatch.h"

#include "sms/smsbatching.h"
#include "store/settingsrecord.h"
#include "store/smshistorytable.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace natalis::sms {

QString TrimTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == u' ' || text[end - 1] == QChar(0)))
        --end;
    return text.left(end);
}

double lenientNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        return i - from;
    };
    qsizetype count = digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        count += digits();
    }
    if (count == 0)
        return 0;
    return QStringView(text).mid(start, i - start).toDouble();
}

QStringList splitMessages(const QString &text, int length)
{
    const QList<uint> characters = text.toUcs4();
    QStringList messages;
    for (qsizetype from = 0; from < characters.size(); from += length) {
        const QList<uint> part = characters.mid(from, length);
        messages.append(
            QString::fromUcs4(reinterpret_cast<const char32_t *>(part.constData()), part.size()));
    }
    return messages;
}

QString scheduleSendTime(const QString &scheduleText)
{
    const QString text = scheduleText.trimmed();
    return text.mid(0, 4) + text.mid(5, 2) + text.mid(8, 2) + text.mid(11, 2) + text.mid(14, 2)
        + u"00"_s;
}

QString storedScheduleTime(const QString &scheduleText)
{
    const QString text = scheduleText.trimmed();
    if (text.isEmpty())
        return {};
    return text.mid(0, 4) + u'/' + text.mid(5, 2) + u'/' + text.mid(8, 2) + u' ' + text.mid(11, 2)
        + u':' + text.mid(14, 2) + u":00"_s;
}

QString scheduleText(QDate day, const QString &sendTime)
{
    return day.toString(u"yyyy年MM月dd日"_s) + sendTime.left(2) + u'时' + sendTime.right(2) + u'分';
}

QString storedSendTime(const QDateTime &moment)
{
    return moment.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

namespace {

GatewayResult sendPart(SmsGateway &gateway, const SmsBatchRequest &request, int part)
{
    const SendUnit unit { request.entry.requestId, part, int(request.messages.size()) };
    const QString &message = request.messages[part - 1];
    return request.sendTime.isEmpty()
        ? gateway.SendSMS(request.sender, request.numbers, message, SendPriority.toString(), unit)
        : gateway.SendScheSMS(request.sender, request.numbers, message, request.sendTime,
            SendPriority.toString(), unit);
}

// Parts go in order and stop at the first one not taken: a later part sent after a missing one
// would only be refused as incomplete, and that refusal is then the answer to it for ever.
GatewayResult sendParts(SmsGateway &gateway, const SmsBatchRequest &request)
{
    for (int part = 1; part <= request.messages.size(); ++part) {
        GatewayResult result = sendPart(gateway, request, part);
        // The gateway answers a part it has seen with its first answer, so sending it again is
        // safe whether or not the lost one came in.
        if (result == GatewayResults::NetworkFailure)
            result = sendPart(gateway, request, part);
        if (result == GatewayResults::Ok)
            continue;
        if (result == GatewayResults::NetworkFailure || result == GatewayResults::UnitIncomplete) {
            if (gateway.QueryUnit(request.sender, request.entry.requestId) == GatewayResults::Ok)
                return GatewayResults::Ok;
        }
        return result;
    }
    return GatewayResults::Ok;
}

// The status, reason and panel text of a send answered r.
struct Verdict
{
    QString status;
    QString reason;
    QString panelText;
};

Verdict sendVerdict(GatewayResult result, bool scheduled, const QString &typeTag)
{
    if (result == GatewayResults::Ok)
        return { SentStatus.toString(), {}, typeTag + u"发送成功"_s };
    if (result == GatewayResults::NetworkFailure)
        return { UnknownStatus.toString(), {}, typeTag + UnknownStatus.toString() };
    QString reason;
    if (result == GatewayResults::NotRegisteredOrNoBalance)
        reason = u"短信账号未注册或余额不足"_s;
    else if (result == GatewayResults::SendTimeRefused && scheduled)
        reason = u"预约时间不合适"_s;
    else if (scheduled)
        reason = u"其他错误值:"_s + QString::number(result);
    else
        reason = u"发送其他错误值:"_s + QString::number(result);
    return { FailedStatus.toString(), reason, typeTag + u"发送失败:"_s + reason };
}

Verdict balanceVerdict(GatewayResult result, const QString &typeTag)
{
    switch (result) {
    case GatewayResults::NetworkFailure:
        return { NetworkFailureStatus.toString(), {}, typeTag + u"网络故障:帐号余额获取时"_s };
    case GatewayResults::BalanceQueryFailed:
        return { FailedStatus.toString(), u"获取余额失败"_s, typeTag + u"发送失败:获取余额失败"_s };
    default:
        return { FailedStatus.toString(), u"获取余额其他错误值:"_s + QString::number(result),
            typeTag + u"发送失败:获取其他错误值:"_s + QString::number(result) };
    }
}

} // namespace

SmsBatchRequest buildSmsBatch(const SmsSendContext &context, bool mobile, const QString &type,
    const QString &names, const QString &numbers, int count, const QString &text,
    const QString &account, const QString &scheduleText)
{
    SmsBatchRequest request;
    request.mobile = mobile;
    request.sender = account.trimmed();
    request.numbers = numbers;
    request.count = count;
    QString fullText = text;
    if (request.sender == context.accounts[ApplicationAccountEntry - 1].name.trimmed())
        fullText = text + u'【' + context.settings.DxYyTail.trimmed() + u'】';
    request.messages = splitMessages(fullText, mobile ? MobileMessageLength : PhsMessageLength);
    if (!scheduleText.isEmpty())
        request.sendTime = scheduleSendTime(scheduleText);
    request.log = { type, names, numbers, count, fullText, account, scheduleText };
    return request;
}

SmsBatchRequest retrySmsBatch(const SmsSendContext &context, const store::SmsHistoryRow &row,
    const QString &requestId, bool askOnly)
{
    SmsBatchRequest request;
    request.mobile = isMobileNumber(row.strTel);
    request.sender = row.strDxUser.trimmed();
    request.numbers = row.strTel;
    request.count = int(row.intTelNum);
    request.messages =
        splitMessages(row.strContent, request.mobile ? MobileMessageLength : PhsMessageLength);
    // "yyyy/MM/dd HH:mm:00" back into the schedule text the row was made from.
    const QDateTime moment = QDateTime::fromString(row.strYyDate, u"yyyy/MM/dd HH:mm:ss"_s);
    QString schedule;
    if (moment.isValid() && context.now.secsTo(moment) >= qint64(ShortestScheduleMinutes) * 60) {
        schedule = moment.toString(u"yyyy年MM月dd日HH时mm分"_s);
        request.sendTime = scheduleSendTime(schedule);
    }
    request.log = { row.strType, row.strTitle, row.strTel, int(row.intTelNum), row.strContent,
        row.strDxUser, schedule };
    request.entry = { row.Id, requestId };
    request.retry = true;
    request.askOnly = askOnly;
    return request;
}

SmsBatchRequest prepareSmsBatch(const SmsSendContext &context, bool mobile, const QString &type,
    const QString &names, const QString &numbers, int count, const QString &text,
    const QString &account, const QString &scheduleText)
{
    SmsBatchRequest request =
        buildSmsBatch(context, mobile, type, names, numbers, count, text, account, scheduleText);
    request.entry = beginSmsLog(context, request.log);
    return request;
}

SmsGatewayAnswer askGateway(SmsGateway &gateway, const SmsBatchRequest &request)
{
    SmsGatewayAnswer answer;
    if (request.retry) {
        const GatewayResult unit = gateway.QueryUnit(request.sender, request.entry.requestId);
        answer.delivered = unit == GatewayResults::Ok;
        if (answer.delivered || request.askOnly) {
            answer.balanceResult = GatewayResults::Ok;
            answer.balanceEnough = true;
            answer.sendResult = answer.delivered ? GatewayResults::Ok : unit;
            return answer;
        }
    }
    QString buffer(GatewayBufferWidth, u' ');
    answer.balanceResult = gateway.GetBalance(request.sender, buffer);
    if (answer.balanceResult != GatewayResults::Ok)
        return answer;
    answer.balance = lenientNumber(TrimTrailingBlanks(buffer));
    const qint64 charged = qint64(request.count) * request.messages.size();
    // B × 10 < count × n at 0.1 yuan a message, compared in thousandths of a yuan so that a
    // balance like 9.9 is not off by the binary fraction.
    answer.balanceEnough = std::llround(answer.balance * 1000) >= charged * 100;
    if (answer.balanceEnough)
        answer.sendResult = sendParts(gateway, request);
    return answer;
}

SmsBatchOutcome finishSmsBatch(
    const SmsSendContext &context, const SmsBatchRequest &request, const SmsGatewayAnswer &answer)
{
    SmsBatchOutcome outcome;
    outcome.fullText = request.log.text;
    const QString typeTag = u'[' + request.log.type + u']';
    int charged = 0;
    Verdict verdict;
    if (answer.balanceResult != GatewayResults::Ok) {
        verdict = balanceVerdict(answer.balanceResult, typeTag);
    } else {
        outcome.messages = request.messages;
        outcome.messagesPerNumber = int(request.messages.size());
        if (!answer.balanceEnough) {
            verdict = { FailedStatus.toString(), u"余额不足"_s, typeTag + u"发送失败:余额不足"_s };
        } else if (request.askOnly && answer.sendResult != GatewayResults::Ok) {
            verdict = { NotSentStatus.toString(), NightStopReason.toString(),
                typeTag + NightStopText.toString() };
        } else {
            verdict = sendVerdict(answer.sendResult, !request.sendTime.isEmpty(), typeTag);
            outcome.partsSent = true;
            outcome.accepted = answer.sendResult == GatewayResults::Ok;
            if (outcome.accepted)
                charged = request.count * outcome.messagesPerNumber;
        }
    }
    outcome.status = verdict.status;
    outcome.reason = verdict.reason;
    outcome.panelText = verdict.panelText;
    outcome.historySaved =
        finishSmsLog(context, request.entry, request.log, charged, verdict.status, verdict.reason);
    return outcome;
}

SmsBatchOutcome SendSmsBatch(const SmsSendContext &context, bool mobile, const QString &type,
    const QString &names, const QString &numbers, int count, const QString &text,
    const QString &account, const QString &scheduleText)
{
    const SmsBatchRequest request =
        prepareSmsBatch(context, mobile, type, names, numbers, count, text, account, scheduleText);
    return finishSmsBatch(context, request, askGateway(context.gateway, request));
}

bool SaveSmsHistory(const SmsSendContext &context, const QString &type, const QString &names,
    const QString &numbers, int count, const QString &text, int charged, const QString &account,
    const QString &scheduleText, const QString &status, const QString &reason)
{
    store::SmsHistoryRow row { -1, storedSendTime(context.now), context.computerName,
        type.trimmed(), names.trimmed(), numbers.trimmed(), count, text.trimmed(), charged,
        account.trimmed(), storedScheduleTime(scheduleText), status.trimmed(), reason.trimmed() };
    if (row.strType == BirthdaySmsType) {
        // A failed lookup counts as no earlier row.
        row.Id = store::findSmsHistoryRow(context.connection, row, SentStatus.toString());
        if (row.Id >= 0)
            return store::updateSmsHistoryOutcome(context.connection, row) >= 0;
    }
    return store::insertSmsHistoryRow(context.connection, row) >= 0;
}

QDate smsHistoryCutoff(int retention, QDate today)
{
    switch (retention) {
    case 1:
        return today.addYears(-1);
    case 2:
        return today.addMonths(-6);
    case 3:
        return today.addMonths(-3);
    case 4:
        return today.addMonths(-1);
    default:
        return {};
    }
}

bool PurgeSmsHistory(store::Connection &connection, int retention, QDate today)
{
    const QDate cutoff = smsHistoryCutoff(retention, today);
    if (!cutoff.isValid())
        return true;
    return store::deleteSmsHistoryUpTo(connection, storedSendTime(QDateTime(cutoff, QTime(0, 0))));
}

} // namespace natalis::sms
