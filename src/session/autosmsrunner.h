#pragma once

#include "sms/autosms.h"

#include <QDateTime>
#include <QObject>
#include <functional>

namespace natalis::platform {
class Clock;
} // namespace natalis::platform

namespace natalis::session {

struct AppContext;

// The automatic birthday SMS of the running program. A run is planned at once; then each batch
// in turn gets its log row (window thread), goes to the gateway on the gateway thread, and is
// read, logged and marked when its answer is back (window thread), before the next one starts.
// The window never waits on the gateway.
class AutoSmsRunner
{
public:
    AutoSmsRunner(AppContext &context, const platform::Clock &clock);

    // Shown after each batch: its panel-3 text, and HistorySaveFailedText when its row or
    // mark could not be written.
    std::function<void(const QString &panelText)> showPanelText;
    // Each batch handed to the gateway (SmsActivity).
    std::function<void()> activity;
    // Greetings due today that the night stop kept back, told once each (sms::nightNotice):
    // the status bar alone is easily missed by someone who left the program in the tray.
    std::function<void(const QString &notice)> tellKeptBack;

    // Starts a run at `now`. A run still under way is left to finish and no second one starts:
    // its batches are not logged as sent yet and would go out twice. False then.
    bool start(const QDateTime &now);
    bool isRunning() const { return m_running; }

private:
    void sendNext();
    void finishBatch(const sms::SmsBatchRequest &request, const sms::SmsGatewayAnswer &answer);
    void end();
    void tell(const QStringList &keptBack) const;

    AppContext &m_context;
    const platform::Clock &m_clock;
    QObject m_receiver; // lives as long as the runner: late answers go nowhere
    sms::AutoSmsRun m_run;
    qsizetype m_next = 0;
    bool m_running = false;
};

} // namespace natalis::session
