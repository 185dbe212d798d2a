#include "session/autosmsrunner.h"

#include "platform/clock.h"
#include "session/appcontext.h"
#include "session/smsgatewayprocess.h"
#include "sms/greetingledger.h"
#include "sms/nogateway.h"

namespace natalis::session {

AutoSmsRunner::AutoSmsRunner(AppContext &context, const platform::Clock &clock)
    : m_context(context), m_clock(clock)
{
}

bool AutoSmsRunner::start(const QDateTime &now)
{
    if (m_running || !m_context.DbConnection)
        return false;
    m_run = sms::planAutoBirthdaySms(
        m_context.Birthdays, m_context.HasBirthdays, m_context.Settings, now);
    {
        // The ledger is read and the night's greetings logged here; no gateway is called.
        sms::NoGateway none;
        const sms::SmsSendContext context { *m_context.DbConnection, none, m_context.Settings,
            m_context.SmsAccounts, m_context.ComputerName, now };
        sms::applyGreetingLedger(m_run, m_context.Birthdays, context);
    }
    if (showPanelText && !m_run.notSentTonight.isEmpty())
        showPanelText(m_run.panelTexts().constFirst());
    tell(m_run.keptBackNow);
    m_next = 0;
    m_running = true;
    sendNext();
    return true;
}

void AutoSmsRunner::sendNext()
{
    sms::GatewayWorker &worker = processSmsGateway(m_context);
    if (m_next >= m_run.batches.size() || !m_context.DbConnection || worker.isFinishing()) {
        end();
        return;
    }
    sms::AutoSmsBatch &batch = m_run.batches[m_next];
    // Preparing never calls the gateway; the call goes out on the gateway's own thread below.
    sms::NoGateway none;
    const sms::SmsSendContext context { *m_context.DbConnection, none, m_context.Settings,
        m_context.SmsAccounts, m_context.ComputerName, m_clock.now() };
    auto request =
        std::make_shared<const sms::SmsBatchRequest>(sms::prepareAutoSmsBatch(context, batch));
    auto answer = std::make_shared<sms::SmsGatewayAnswer>();
    if (activity)
        activity();
    const bool queued = worker.run(
        &m_receiver,
        [request, answer](
            sms::HttpSmsGateway &gateway) { *answer = sms::askGateway(gateway, *request); },
        [this, request, answer] { finishBatch(*request, *answer); });
    // Not queued: the program is ending. The row stays "网络故障" and the next start tries the
    // batch again under the same request id.
    if (!queued)
        end();
}

void AutoSmsRunner::finishBatch(
    const sms::SmsBatchRequest &request, const sms::SmsGatewayAnswer &answer)
{
    if (!m_context.DbConnection) {
        end();
        return;
    }
    // Finishing writes the answer down; it never calls the gateway.
    sms::NoGateway none;
    const sms::SmsSendContext context { *m_context.DbConnection, none, m_context.Settings,
        m_context.SmsAccounts, m_context.ComputerName, m_clock.now() };
    sms::AutoSmsBatch &batch = m_run.batches[m_next];
    sms::finishAutoSmsBatch(context, m_context.Birthdays, batch, request, answer);
    if (showPanelText) {
        showPanelText(batch.outcome.panelText);
        if (!batch.outcome.historySaved || !batch.markSaved)
            showPanelText(sms::HistorySaveFailedText.toString());
    }
    tell(sms::keptBackBy(batch));
    ++m_next;
    sendNext();
}

void AutoSmsRunner::tell(const QStringList &keptBack) const
{
    if (tellKeptBack && !keptBack.isEmpty())
        tellKeptBack(sms::nightNotice(keptBack));
}

void AutoSmsRunner::end()
{
    m_running = false;
}

} // namespace natalis::session
