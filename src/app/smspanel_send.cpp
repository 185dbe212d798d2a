#include "app/smspanel.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/smsgatewayprocess.h"
#include "sms/nogateway.h"
#include "sms/smsaccounts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

// The panel's gateway actions. None waits for the gateway: each call runs on the gateway's
// thread and what follows it runs when its answer comes back, while the window goes on.

namespace natalis::app {

void SmsPanel::askForBuffer(BufferOperation operation, const QString &account,
    std::function<void(sms::GatewayResult, const QString &)> answered)
{
    auto buffer = std::make_shared<QString>(sms::GatewayBufferWidth, u' ');
    processSmsGateway(m_context).ask<sms::GatewayResult>(
        this,
        [operation, account, buffer](
            sms::HttpSmsGateway &gateway) { return (gateway.*operation)(account, *buffer); },
        [this, buffer, answered = std::move(answered)](sms::GatewayResult result) {
            if (!programEnding())
                answered(result, *buffer);
        });
}

void SmsPanel::cmdBalance_Click()
{
    if (m_user->currentIndex() < 1 || !m_context.DbConnection)
        return;
    const QString item = m_user->currentText();
    askForBuffer(&sms::SmsGateway::GetBalance, sms::accountOfItem(item),
        [this, item](sms::GatewayResult result, const QString &buffer) {
            tell(sms::balanceAnswer(result, item, buffer), QStringLiteral("帐户余额"));
        });
}

void SmsPanel::cmdPrice_Click()
{
    if (m_user->currentIndex() < 1 || !m_context.DbConnection)
        return;
    askForBuffer(&sms::SmsGateway::GetPrice, sms::accountOfItem(m_user->currentText()),
        [this](sms::GatewayResult result, const QString &buffer) {
            tell(sms::priceAnswer(result, buffer), QStringLiteral("短信单价"));
        });
}

void SmsPanel::cmdSend_Click(int index)
{
    if (!m_context.DbConnection || m_user->currentIndex() < 1 || m_sending)
        return;
    const QString title = sms::GroupSendTitle.toString();
    const QString text = withoutLineBreaks(m_content->toPlainText());
    if (text != m_content->toPlainText())
        m_content->setPlainText(text);
    // Every refusal is told before the gateway is asked anything.
    if (const std::optional<QString> refusal = sms::groupTextRefusal(text)) {
        tell(*refusal, title);
        return;
    }
    QString schedule;
    if (index == 1) {
        if (m_yyGL->text().isEmpty()) {
            const QString refusal = QStringLiteral("定时发送的发送时间必须指定！");
            Q_EMIT statusChanged(3, refusal);
            tell(refusal, title);
            return;
        }
        if (!CheckScheduleTime()) {
            tell(QStringLiteral("预约发送的时间必须在当前时间的15分钟之后和半年之内,,短信发送失败"),
                title);
            return;
        }
        schedule =
            sms::groupScheduleText(m_yyGL->text(), m_hour->currentText(), m_minute->currentText());
    }
    const QString question = (index == 0 ? QStringLiteral("您确认现在立即发送短信给")
                                         : QStringLiteral("您确认现在预约发送短信给"))
        + m_telNums->text() + QStringLiteral("个手机号码吗?");
    if (ask(question, title, platform::MessageIcon::Question, platform::MessageButtons::OkCancel)
        != platform::MessageButton::Ok)
        return;

    sms::GroupSend send = sms::planGroupSend(
        groupRecipients(), text, sms::accountOfItem(m_user->currentText()), schedule);
    if (m_unfinishedGroupSend)
        send = sms::continueGroupSend(*m_unfinishedGroupSend, std::move(send));
    startGroupSend(std::move(send), index);
}

void SmsPanel::startGroupSend(sms::GroupSend send, int index)
{
    m_sending = GroupSending { std::move(send), index, m_user->currentText(), 0, {} };
    ProcTelSelect();
    askForBuffer(&sms::SmsGateway::GetBalance, m_sending->send.account,
        [this](sms::GatewayResult result, const QString &buffer) {
            groupBalanceAnswered(result, buffer);
        });
}

void SmsPanel::groupBalanceAnswered(sms::GatewayResult result, const QString &buffer)
{
    const sms::GroupBalanceCheck balance = sms::groupBalanceCheck(
        result, buffer, m_sending->accountItem, m_sending->send.messagesNeeded());
    if (!balance.enough) {
        m_sending.reset();
        ProcTelSelect();
        tell(balance.message, sms::GroupSendTitle.toString());
        return;
    }
    sendNextBatch();
}

sms::SmsSendContext SmsPanel::sendContext(sms::SmsGateway &none) const
{
    return { *m_context.DbConnection, none, m_context.Settings, m_context.SmsAccounts,
        m_context.ComputerName, m_clock.now() };
}

void SmsPanel::sendNextBatch()
{
    sms::GatewayWorker &worker = processSmsGateway(m_context);
    QList<sms::GroupBatch> &batches = m_sending->send.batches;
    while (
        m_sending->next < batches.size() && batches[m_sending->next].state == sms::BatchState::Sent)
        ++m_sending->next;
    if (m_sending->next == batches.size() || !m_context.DbConnection || worker.isFinishing()) {
        endGroupSend();
        return;
    }
    // Beginning and finishing a batch never call the gateway: its call goes out on the
    // gateway's own thread.
    sms::NoGateway none;
    auto request = std::make_shared<const sms::SmsBatchRequest>(
        sms::beginGroupBatch(sendContext(none), m_sending->send, batches[m_sending->next]));
    auto answer = std::make_shared<sms::SmsGatewayAnswer>();
    const bool queued = worker.run(
        this,
        [request, answer](
            sms::HttpSmsGateway &gateway) { *answer = sms::askGateway(gateway, *request); },
        [this, request, answer] {
            if (!m_context.DbConnection) {
                endGroupSend();
                return;
            }
            sms::NoGateway none;
            sms::finishGroupBatch(sendContext(none), m_sending->send.batches[m_sending->next],
                *request, *answer, m_sending->summary);
            ++m_sending->next;
            sendNextBatch();
        });
    // Not queued: the program is ending; the batch's row stays "网络故障" as begun.
    if (!queued)
        endGroupSend();
}

void SmsPanel::endGroupSend()
{
    GroupSending sending = std::move(*m_sending);
    m_sending.reset();
    ProcTelSelect();
    m_unfinishedGroupSend.reset();
    if (!sending.send.allSent())
        m_unfinishedGroupSend = sending.send;
    if (programEnding() || !m_context.DbConnection)
        return;
    sms::GroupSendSummary &summary = sending.summary;
    sms::countGroupBatches(sending.send, summary);
    if (!summary.panelTexts.isEmpty())
        Q_EMIT smsSent();
    for (const QString &panelText : std::as_const(summary.panelTexts))
        Q_EMIT statusChanged(3, panelText);
    if (summary.historySaveFailed)
        Q_EMIT statusChanged(3, sms::HistorySaveFailedText.toString());
    tell(summary.message(), sms::GroupSendTitle.toString());
    if (summary.allSent())
        clearAfterGroupSend(sending.index);
}

void SmsPanel::clearAfterGroupSend(int index)
{
    m_content->clear();
    if (index == 1) {
        m_yyGL->clear();
        m_yyNl->clear();
    }
    cmdMdbCls_Click();
}

} // namespace natalis::app
