#include "app/reminderloop.h"

#include "app/appcontext.h"
#include "app/reminderoutputs.h"
#include "reminder/remindertexts.h"

namespace natalis::app {

namespace {

using reminder::CutNotifyText;

// "9:00" or "09:00": only the hour before the colon counts; -1 when there is none.
int hourOf(const QString &timeText)
{
    bool ok = false;
    const int hour = timeText.section(u':', 0, 0).trimmed().toInt(&ok);
    return ok ? hour : -1;
}

reminder::ReminderTexts textsAt(const AppContext &context, const QDate &today)
{
    return reminder::BuildReminderTexts(
        context.HasBirthdays ? context.Birthdays : QList<store::BirthdayRecord>(), context.Settings,
        today);
}

} // namespace

ReminderLoop::ReminderLoop(const AppContext &context, ReminderOutputs &outputs)
    : m_context(context), m_outputs(outputs)
{
}

bool ReminderLoop::firesNow(Method method, const QDateTime &now) const
{
    const store::SettingsRecord &settings = m_context.Settings;
    struct Switch
    {
        quint8 main;
        quint8 timed;
        const QString &time;
    };
    const Switch switches[MethodCount] = {
        { settings.intQipao, settings.intQpTime, settings.strQpTime },
        { settings.intFudong, settings.intFdTime, settings.strFdTime },
        { settings.intMusic, settings.intMcTime, settings.strMcTime },
    };
    const Switch &chosen = switches[method];
    // A minute timer drifts and a sleeping computer skips ticks: any tick in the chosen hour
    // will do, once a day.
    return chosen.main == 1 && chosen.timed == 1 && now.time().hour() == hourOf(chosen.time)
        && m_lastFired[method] != now.date();
}

void ReminderLoop::startupReminder(const QDateTime &now)
{
    const QDate today = now.date();
    const reminder::ReminderTexts texts = textsAt(m_context, today);
    m_todayNotifyText = texts.oneLine;
    if (texts.isEmpty()) {
        m_outputs.TrayIconSetTip(reminder::DayHeading(today));
        return;
    }
    const store::SettingsRecord &settings = m_context.Settings;
    if (settings.intQipao == 1 && settings.intQpInit == 1)
        m_outputs.TrayIconBalloon(CutNotifyText(texts.multiLine, true, false));
    m_outputs.TrayIconSetTip(CutNotifyText(texts.oneLine, false, false));
    if (settings.intFudong == 1 && settings.intFdInit == 1) {
        setFloatText(CutNotifyText(texts.oneLine, false, false));
        m_outputs.showFloatingWindow(m_floatNotifyText);
    }
    if (settings.intMusic == 1 && settings.intMcInit == 1)
        playMusic();
    setBlinking(true);
}

void ReminderLoop::tick(const QDateTime &now)
{
    m_minuteCounter = (m_minuteCounter + 1) % 10;
    m_resetCounter = (m_resetCounter + 1) % 1500;

    const QDate today = now.date();
    const reminder::ReminderTexts texts = updateTexts(today);
    if (!texts.isEmpty()) {
        if (firesNow(Balloon, now)) {
            m_lastFired[Balloon] = today;
            m_outputs.TrayIconBalloon(CutNotifyText(texts.multiLine, true, false));
            setBlinking(true);
        }
        const bool busy = modalBusy && modalBusy();
        if (firesNow(Floating, now) && !busy) {
            m_lastFired[Floating] = today;
            if (!m_outputs.isFloatingWindowVisible())
                m_outputs.showFloatingWindow(m_floatNotifyText);
        }
        if (firesNow(Music, now)) {
            m_lastFired[Music] = today;
            playMusic();
        }
    }

    if (m_minuteCounter == 1 && autoBirthdaySms)
        autoBirthdaySms(now);
    if (m_resetCounter == 1 && resetSmsSentFlags)
        resetSmsSentFlags(now);
}

void ReminderLoop::refresh(const QDateTime &now)
{
    updateTexts(now.date());
}

reminder::ReminderTexts ReminderLoop::updateTexts(const QDate &today)
{
    const reminder::ReminderTexts texts = textsAt(m_context, today);
    m_todayNotifyText = texts.oneLine;
    if (texts.isEmpty()) {
        setFloatText(QString());
        if (m_outputs.isFloatingWindowVisible())
            m_outputs.closeFloatingWindow();
    } else {
        setFloatText(CutNotifyText(texts.oneLine, false, false));
    }
    m_outputs.TrayIconSetTip(texts.oneLine.isEmpty() ? reminder::DayHeading(today)
                                                     : CutNotifyText(texts.oneLine, false, false));
    return texts;
}

void ReminderLoop::trayTick()
{
    m_blinkBit = 1 - m_blinkBit;
    m_outputs.MyTrayIcon(m_blinkBit);
}

void ReminderLoop::activityTick()
{
    m_activityCounter = (m_activityCounter + 1) % 8;
    // The row grows to six ">" and is gone on the seventh tick.
    if (m_activityCounter == 7) {
        SmsActivity = false;
        m_outputs.setActivityText(QString());
    } else if (SmsActivity) {
        m_outputs.setActivityText(QString(m_activityCounter, u'>'));
    }
}

void ReminderLoop::acknowledge()
{
    stopMusic();
    if (m_blinking) {
        setBlinking(false);
        m_outputs.MyTrayIcon(0);
    }
    if (m_outputs.isFloatingWindowVisible())
        m_outputs.closeFloatingWindow();
}

void ReminderLoop::playMusic()
{
    m_musicFile = m_context.Settings.strMcFile.trimmed();
    m_outputs.playMusic(m_musicFile);
    m_musicPlaying = true;
}

void ReminderLoop::stopMusic()
{
    if (!m_musicPlaying)
        return;
    m_outputs.stopMusic(m_musicFile);
    m_musicPlaying = false;
}

void ReminderLoop::setBlinking(bool on)
{
    if (m_blinking == on)
        return;
    m_blinking = on;
    m_outputs.setTrayBlinking(on);
}

void ReminderLoop::setFloatText(const QString &text)
{
    if (m_floatNotifyText == text)
        return;
    m_floatNotifyText = text;
    m_outputs.setFloatingText(text);
}

} // namespace natalis::app
