#include "reminder/reminderloop.h"

#include "reminder/missedbirthdays.h"
#include "reminder/reminderoutputs.h"
#include "reminder/remindertexts.h"

#include <algorithm>

namespace natalis::reminder {

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

void ReminderLoop::enterDay(const QDate &day)
{
    if (m_marksDay == day)
        return;
    m_marksDay = day;
    m_marks = recallItems ? recallItems(day) : QList<reminder::ReminderItemMark>();
}

void ReminderLoop::setMark(const QDate &day, const reminder::ReminderItemMark &mark)
{
    if (day == m_marksDay) {
        const auto same = [&](const reminder::ReminderItemMark &kept) {
            return kept.item == mark.item;
        };
        if (const auto found = std::find_if(m_marks.begin(), m_marks.end(), same);
            found != m_marks.end())
            *found = mark;
        else
            m_marks.append(mark);
    }
    if (rememberItem)
        rememberItem(day, mark);
}

void ReminderLoop::setState(const QString &item, reminder::ItemState state, const QDateTime &until)
{
    const auto kept = std::find_if(m_marks.cbegin(), m_marks.cend(),
        [&](const reminder::ReminderItemMark &mark) { return mark.item == item; });
    setMark(m_marksDay, { item, state, until, kept != m_marks.cend() && kept->ownItem });
}

void ReminderLoop::markPendingShown()
{
    for (const QString &item : std::as_const(m_pending)) {
        const auto kept = std::find_if(m_marks.cbegin(), m_marks.cend(),
            [&](const reminder::ReminderItemMark &mark) { return mark.item == item; });
        if (kept == m_marks.cend() || kept->state != reminder::ItemState::Shown)
            setState(item, reminder::ItemState::Shown);
    }
}

void ReminderLoop::startupReminder(const QDateTime &now)
{
    const QDate today = now.date();
    // The list may have been shown before the memory was connected: the day is read afresh.
    m_marksDay = QDate();
    enterDay(today);
    // Kept as the day's own items, so that a restart finds them after the run is recorded.
    for (const QString &item :
        reminder::missedBirthdayItems(m_inputs.birthdays(), m_lastRun, today)) {
        if (reminder::stateAt(m_marks, item, now) == reminder::ItemState::Waiting)
            setMark(today, { item, reminder::ItemState::Waiting, {}, true });
    }
    noteRun(today);
    updateTexts(now);
    if (awayReminders)
        awayReminders(now, true);
    if (m_pending.isEmpty())
        return;
    // Shown earlier today and not acknowledged (a logout ended the program): shown again on
    // every way, whatever the start-up switches say.
    if (!reminder::shownUnacknowledged(m_items, m_marks, now).isEmpty()) {
        fireTimedMethods(now, showAgain());
        return;
    }
    const store::SettingsRecord &settings = m_inputs.settings;
    std::array<bool, MethodCount> shown {};
    shown[Balloon] = settings.intQipao == 1 && settings.intQpInit == 1;
    shown[Floating] = settings.intFudong == 1 && settings.intFdInit == 1;
    shown[Music] = settings.intMusic == 1 && settings.intMcInit == 1;
    if (shown[Balloon])
        showBalloon();
    if (shown[Floating])
        m_outputs.showFloatingWindow(m_floatNotifyText);
    if (shown[Balloon] || shown[Floating])
        markPendingShown();
    if (shown[Music])
        playMusic();
    setBlinking(true);
    fireTimedMethods(now, shown);
}

std::array<bool, ReminderLoop::MethodCount> ReminderLoop::showAgain()
{
    const store::SettingsRecord &settings = m_inputs.settings;
    std::array<bool, MethodCount> shown {};
    shown[Balloon] = settings.intQipao == 1;
    shown[Floating] = settings.intFudong == 1 && !(modalBusy && modalBusy());
    shown[Music] = settings.intMusic == 1;
    if (shown[Balloon])
        showBalloon();
    if (shown[Floating] && !m_outputs.isFloatingWindowVisible())
        m_outputs.showFloatingWindow(m_floatNotifyText);
    if (shown[Music] && !m_musicPlaying)
        playMusic();
    markPendingShown();
    setBlinking(true);
    return shown;
}

void ReminderLoop::showBalloon()
{
    m_outputs.TrayIconBalloon(CutNotifyText(m_pending.join(u'\r'), true, false));
}

void ReminderLoop::fireTimedMethods(
    const QDateTime &now, const std::array<bool, MethodCount> &shownAlready)
{
    if (m_pending.isEmpty())
        return;
    const QDate today = now.date();
    if (firesNow(Balloon, now)) {
        markFired(Balloon, today);
        if (!shownAlready[Balloon])
            showBalloon();
        setBlinking(true);
        markPendingShown();
    }
    const bool busy = modalBusy && modalBusy();
    if (firesNow(Floating, now) && !busy) {
        markFired(Floating, today);
        if (!shownAlready[Floating] && !m_outputs.isFloatingWindowVisible())
            m_outputs.showFloatingWindow(m_floatNotifyText);
        markPendingShown();
    }
    if (firesNow(Music, now)) {
        markFired(Music, today);
        if (!shownAlready[Music])
            playMusic();
    }
}

void ReminderLoop::tick(const QDateTime &now)
{
    m_minuteCounter = (m_minuteCounter + 1) % 10;
    m_resetCounter = (m_resetCounter + 1) % 1500;

    const QDate today = now.date();
    // Midnight: what belonged to the old day stops together; the new day reminds on its own.
    if (m_textsNow.isValid() && today != m_textsNow.date())
        stopShowing();
    enterDay(today);
    noteRun(today);
    updateTexts(now);
    std::array<bool, MethodCount> shown {};
    if (!reminder::snoozesOver(m_items, m_marks, now).isEmpty())
        shown = showAgain();
    fireTimedMethods(now, shown);

    if (m_minuteCounter == 1 && autoBirthdaySms)
        autoBirthdaySms(now);
    if (m_resetCounter == 1 && resetSmsSentFlags)
        resetSmsSentFlags(now);
    if (awayReminders)
        awayReminders(now, false);
}

void ReminderLoop::refresh(const QDateTime &now)
{
    enterDay(now.date());
    updateTexts(now);
}

void ReminderLoop::updateTexts(const QDateTime &now)
{
    const QDate today = now.date();
    m_textsNow = now;
    const reminder::ReminderTexts due =
        reminder::buildReminderTexts(m_inputs.birthdays(), m_inputs.settings, today);
    m_todayNotifyText = due.oneLine;
    const QStringList dueItems = due.multiLine.split(u'\r', Qt::SkipEmptyParts);
    m_items = today == m_marksDay ? reminder::dayItems(dueItems, m_marks) : dueItems;
    m_pending = reminder::pendingItems(m_items, m_marks, now);
    if (m_pending.isEmpty()) {
        setFloatText(QString());
        if (m_outputs.isFloatingWindowVisible())
            m_outputs.closeFloatingWindow();
    } else {
        setFloatText(CutNotifyText(m_pending.join(u' '), false, false));
    }
    // The day's list stays in the tip; a missed birthday leaves it once acknowledged.
    QStringList tipItems = dueItems;
    for (const QString &item : std::as_const(m_pending)) {
        if (!tipItems.contains(item))
            tipItems.append(item);
    }
    m_outputs.TrayIconSetTip(tipItems.isEmpty() ? reminder::dayHeading(today)
                                                : CutNotifyText(tipItems.join(u' '), false, false));
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
    // Only what was on show is done: an item whose hour has not come yet still reminds then.
    if (m_textsNow.isValid()) {
        for (const QString &item : reminder::shownUnacknowledged(m_items, m_marks, m_textsNow))
            setState(item, reminder::ItemState::Acknowledged);
        updateTexts(m_textsNow);
    }
    stopShowing();
}

void ReminderLoop::snooze(reminder::Snooze choice, const QDateTime &now)
{
    enterDay(now.date());
    updateTexts(now);
    const QDateTime until = reminder::snoozeEnd(choice, now);
    for (const QString &item : std::as_const(m_pending)) {
        setState(item, reminder::ItemState::Snoozed, until);
        // Put off into the next day: the item is that day's own too, until acknowledged,
        // worded for that day ("今天是…" would be wrong by then).
        if (until.date() != m_marksDay)
            setMark(until.date(),
                { reminder::itemDaysLater(item, int(m_marksDay.daysTo(until.date()))),
                    reminder::ItemState::Snoozed, until, true });
    }
    updateTexts(now);
    stopShowing();
}

void ReminderLoop::stopShowing()
{
    m_outputs.withdrawBalloon();
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

} // namespace natalis::reminder
