#include "reminder/reminderloop.h"

#include "reminder/missedbirthdays.h"
#include "reminder/reminderoutputs.h"
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

} // namespace

ReminderLoop::ReminderLoop(ReminderInputs inputs, ReminderOutputs &outputs)
    : m_inputs(std::move(inputs)), m_outputs(outputs)
{
}

void ReminderLoop::restore(const std::array<QDate, MethodCount> &lastFired, const QDate &lastRun)
{
    m_lastFired = lastFired;
    m_lastRun = lastRun;
}

bool ReminderLoop::firesNow(Method method, const QDateTime &now) const
{
    const store::SettingsRecord &settings = m_inputs.settings;
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
    const int hour = hourOf(chosen.time);
    // Any tick in or after the chosen hour will do, once a day: a minute timer drifts, and a
    // computer that slept or was off across the hour reminds as soon as it is back.
    return chosen.main == 1 && chosen.timed == 1 && hour >= 0 && now.time().hour() >= hour
        && m_lastFired[method] != now.date();
}

void ReminderLoop::markFired(Method method, const QDate &day)
{
    m_lastFired[method] = day;
    if (rememberFired)
        rememberFired(method, day);
}

void ReminderLoop::noteRun(const QDate &day)
{
    if (m_lastRun == day)
        return;
    m_lastRun = day;
    if (rememberRun)
        rememberRun(day);
}

namespace {

// The due texts followed by the birthdays missed while the program was not running.
reminder::ReminderTexts withMissed(reminder::ReminderTexts texts, const QStringList &missed)
{
    if (missed.isEmpty())
        return texts;
    const auto append = [&](QString &text, QChar separator) {
        const QString items = missed.join(separator);
        text = text.isEmpty() ? items : text + separator + items;
    };
    append(texts.multiLine, u'\r');
    append(texts.oneLine, u' ');
    return texts;
}

} // namespace

void ReminderLoop::startupReminder(const QDateTime &now)
{
    const QDate today = now.date();
    m_missed = reminder::missedBirthdayItems(m_inputs.birthdays(), m_lastRun, today);
    m_missedDay = today;
    if (m_missed.isEmpty())
        noteRun(today);
    const reminder::ReminderTexts texts = updateTexts(today);
    if (texts.isEmpty())
        return;
    const store::SettingsRecord &settings = m_inputs.settings;
    std::array<bool, MethodCount> shown {};
    shown[Balloon] = settings.intQipao == 1 && settings.intQpInit == 1;
    shown[Floating] = settings.intFudong == 1 && settings.intFdInit == 1;
    shown[Music] = settings.intMusic == 1 && settings.intMcInit == 1;
    if (shown[Balloon])
        m_outputs.TrayIconBalloon(CutNotifyText(texts.multiLine, true, false));
    if (shown[Floating])
        m_outputs.showFloatingWindow(m_floatNotifyText);
    if (shown[Balloon] || shown[Floating])
        missedShown(today);
    if (shown[Music])
        playMusic();
    setBlinking(true);
    fireTimedMethods(now, texts, shown);
}

void ReminderLoop::fireTimedMethods(const QDateTime &now, const reminder::ReminderTexts &texts,
    const std::array<bool, MethodCount> &shownAtStart)
{
    const QDate today = now.date();
    if (firesNow(Balloon, now)) {
        markFired(Balloon, today);
        if (!shownAtStart[Balloon])
            m_outputs.TrayIconBalloon(CutNotifyText(texts.multiLine, true, false));
        setBlinking(true);
        missedShown(today);
    }
    const bool busy = modalBusy && modalBusy();
    if (firesNow(Floating, now) && !busy) {
        markFired(Floating, today);
        if (!shownAtStart[Floating] && !m_outputs.isFloatingWindowVisible())
            m_outputs.showFloatingWindow(m_floatNotifyText);
        missedShown(today);
    }
    if (firesNow(Music, now)) {
        markFired(Music, today);
        if (!shownAtStart[Music])
            playMusic();
    }
}

void ReminderLoop::tick(const QDateTime &now)
{
    m_minuteCounter = (m_minuteCounter + 1) % 10;
    m_resetCounter = (m_resetCounter + 1) % 1500;

    const QDate today = now.date();
    if (today != m_missedDay)
        dropMissed(today);
    if (m_missed.isEmpty())
        noteRun(today);
    const reminder::ReminderTexts texts = updateTexts(today);
    if (!texts.isEmpty())
        fireTimedMethods(now, texts, {});

    if (m_minuteCounter == 1 && autoBirthdaySms)
        autoBirthdaySms(now);
    if (m_resetCounter == 1 && resetSmsSentFlags)
        resetSmsSentFlags(now);
}

void ReminderLoop::refresh(const QDateTime &now)
{
    updateTexts(now.date());
}

void ReminderLoop::missedShown(const QDate &day)
{
    if (!m_missed.isEmpty())
        noteRun(day);
}

void ReminderLoop::dropMissed(const QDate &today)
{
    if (m_missed.isEmpty())
        return;
    m_missed.clear();
    noteRun(today);
}

reminder::ReminderTexts ReminderLoop::updateTexts(const QDate &today)
{
    m_textsDay = today;
    const reminder::ReminderTexts due =
        reminder::buildReminderTexts(m_inputs.birthdays(), m_inputs.settings, today);
    m_todayNotifyText = due.oneLine;
    const reminder::ReminderTexts texts =
        withMissed(due, today == m_missedDay ? m_missed : QStringList());
    if (texts.isEmpty()) {
        setFloatText(QString());
        if (m_outputs.isFloatingWindowVisible())
            m_outputs.closeFloatingWindow();
    } else {
        setFloatText(CutNotifyText(texts.oneLine, false, false));
    }
    m_outputs.TrayIconSetTip(texts.oneLine.isEmpty() ? reminder::dayHeading(today)
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
    m_outputs.withdrawBalloon();
    if (!m_missed.isEmpty()) {
        dropMissed(m_missedDay);
        updateTexts(m_textsDay);
    }
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
    m_musicFile = m_inputs.settings.strMcFile.trimmed();
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
