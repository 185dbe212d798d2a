#include "away/awaypass.h"

#include "reminder/awaydigest.h"
#include "sms/smsgateway.h"
#include "store/awaysend.h"

#include <QUuid>
#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace natalis::away {

namespace {

using reminder::AwayMessage;
using store::AwaySendKey;
using store::AwaySendState;

constexpr QStringView MailChannel = u"mail";
constexpr QStringView SmsChannel = u"sms";
constexpr QStringView WeekChannel = u"mail-week";

struct Due
{
    AwaySendKey key;
    AwayMessage message;
};

// The day's reminder and, when the channel was in use before, the day before's when nothing of
// it was recorded (the computer was off that day).
QList<Due> dueDays(store::Connection &connection, const store::BirthdayList &birthdays,
    QStringView channel, const QString &recipient, QDate today)
{
    QList<Due> due;
    const AwaySendKey yesterday { today.addDays(-1), channel.toString(), recipient };
    if (store::hasAwaySendsBefore(connection, yesterday.channel, recipient, yesterday.day)
        && store::readAwaySend(connection, yesterday).state == AwaySendState::None) {
        AwayMessage missed = reminder::dayReminder(birthdays, yesterday.day);
        const QString note = u"(补发"_s + yesterday.day.toString(u"M月d日"_s) + u") "_s;
        missed.subject.prepend(note);
        missed.sms.prepend(note);
        due.append({ yesterday, missed });
    }
    due.append(
        { { today, channel.toString(), recipient }, reminder::dayReminder(birthdays, today) });
    return due;
}

QString channelName(const AwaySendKey &key)
{
    return key.channel == SmsChannel ? u"短信提醒"_s : u"邮件提醒"_s;
}

class Pass
{
public:
    Pass(store::Connection &connection, const QDateTime &now, const std::atomic_bool *stop)
        : m_connection(connection), m_now(now), m_stop(stop)
    {
    }

    bool stopped() const { return m_stop && m_stop->load(); }

    void sendMail(const MailServer &server, const QString &to, const Due &due)
    {
        const store::AwaySendRow row = store::readAwaySend(m_connection, due.key);
        if (!ready(row, due))
            return;
        if (row.state == AwaySendState::Pending) {
            note(due, u"上次已交给邮件服务器但未收到回复, 是否送达未知, 不再重发, 请查看邮箱"_s,
                AwayDone);
            return;
        }
        if (!store::claimAwaySend(m_connection, due.key, m_now))
            return;
        const MailResult result = away::sendMail(server, mailOf(to, due), m_stop);
        switch (result.outcome) {
        case MailOutcome::Sent:
            settle(due);
            return;
        case MailOutcome::Unknown:
            note(due, result.text + u", 不再重发, 请查看邮箱"_s, AwayUnreachable);
            return;
        case MailOutcome::Refused:
        case MailOutcome::Unreachable:
            release(due, result.text,
                result.outcome == MailOutcome::Refused ? AwayRefused : AwayUnreachable);
            return;
        }
    }

    void sendSms(sms::SmsGateway &gateway, const QString &account, const Due &due)
    {
        const store::AwaySendRow row = store::readAwaySend(m_connection, due.key);
        if (!ready(row, due))
            return;
        QString requestId = row.requestId;
        if (row.state == AwaySendState::None) {
            requestId = QUuid::createUuid().toString(QUuid::WithoutBraces);
            if (!store::claimAwaySend(m_connection, due.key, m_now, requestId))
                return;
        }
        const sms::GatewayResult result = gateway.SendSMS(account, due.key.recipient,
            due.message.sms, sms::SendPriority.toString(), { requestId, 1, 1 });
        if (result == sms::GatewayResults::Ok)
            settle(due);
        else if (result == sms::GatewayResults::NetworkFailure)
            note(due, u"短信网关无法连接或回复丢失, 下次以同一请求重试, 不会重复发送"_s,
                AwayUnreachable);
        else
            release(due, u"短信网关拒绝发送 (%1)"_s.arg(result), AwayRefused);
    }

    AwayReport report() const { return m_report; }

private:
    // Whether due is still to be sent; notes a lookup that failed.
    bool ready(const store::AwaySendRow &row, const Due &due)
    {
        if (row.state == AwaySendState::Unreadable) {
            note(due, u"无法读取发送记录, 未发送"_s, AwayRefused);
            return false;
        }
        return row.state != AwaySendState::Sent && !due.message.isEmpty();
    }

    OutgoingMail mailOf(const QString &to, const Due &due) const
    {
        return { to, due.message.subject, due.message.body, m_now,
            QUuid::createUuid().toString(QUuid::WithoutBraces) + u"@natalis"_s };
    }

    void settle(const Due &due)
    {
        if (!store::markAwaySent(m_connection, due.key, m_now))
            note(due, u"已发送, 但发送记录未能写入"_s, AwayRefused);
        else
            m_report.lines.append(
                u"已发送"_s + channelName(due.key) + u": "_s + due.message.subject);
    }

    void release(const Due &due, const QString &why, int exit)
    {
        store::releaseAwaySend(m_connection, due.key);
        note(due, why, exit);
    }

    void note(const Due &due, const QString &text, int exit)
    {
        m_report.lines.append(channelName(due.key) + u"未发送: "_s + text);
        m_report.exit = std::max(m_report.exit, exit);
    }

    store::Connection &m_connection;
    QDateTime m_now;
    const std::atomic_bool *m_stop;
    AwayReport m_report;
};

} // namespace

AwayReport sendAwayReminders(const AwayTargets &targets, store::Connection &connection,
    const store::BirthdayList &birthdays, const QDateTime &now, sms::SmsGateway *gateway)
{
    Pass pass(connection, now, targets.stop);
    const QDate today = now.date();
    if (targets.mail) {
        const QString to = targets.mailTo.trimmed();
        for (const Due &due : dueDays(connection, birthdays, MailChannel, to, today)) {
            if (!pass.stopped())
                pass.sendMail(*targets.mail, to, due);
        }
        if (targets.weekly && today.dayOfWeek() == Qt::Monday && !pass.stopped())
            pass.sendMail(*targets.mail, to,
                { { today, WeekChannel.toString(), to }, reminder::weekDigest(birthdays, today) });
    }
    if (!targets.smsTo.trimmed().isEmpty() && gateway) {
        const QString number = targets.smsTo.trimmed();
        for (const Due &due : dueDays(connection, birthdays, SmsChannel, number, today)) {
            if (!pass.stopped())
                pass.sendSms(*gateway, targets.smsAccount, due);
        }
    }
    return pass.report();
}

bool awayDueAt(const QDateTime &now, int hour, bool startUp)
{
    return startUp || now.time().hour() >= hour;
}

} // namespace natalis::away
