#pragma once

#include "reminder/reminderitems.h"
#include "reminder/remindertexts.h"
#include "store/birthdayrecord.h"
#include "store/settingsrecord.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>
#include <functional>

namespace natalis::reminder {

class ReminderOutputs;

// What the loop reads each time it looks: the settings, and the birthdays of the moment (an
// empty list when there are none).
struct ReminderInputs
{
    const store::SettingsRecord &settings;
    std::function<store::BirthdayList()> birthdays;
};

// The once-a-minute reminder loop and the start-up reminder. The application's timers call the
// tick methods; nothing here reads the clock or shows a window itself.
class ReminderLoop
{
public:
    enum Method { Balloon, Floating, Music, MethodCount };

    ReminderLoop(ReminderInputs inputs, ReminderOutputs &outputs);

    // What survives a restart: the day each time-of-day method last fired and the last day the
    // program ran. restore before startupReminder; the hooks store each change.
    void restore(const std::array<QDate, MethodCount> &lastFired, const QDate &lastRun);
    std::function<void(Method method, const QDate &day)> rememberFired;
    std::function<void(const QDate &day)> rememberRun;
    // Where each item of a day stands (shown, acknowledged, snoozed): recallItems gives a day's
    // marks when the loop comes to that day, rememberItem stores each change. Without them the
    // marks live as long as the loop.
    std::function<QList<reminder::ReminderItemMark>(const QDate &day)> recallItems;
    std::function<void(const QDate &day, const reminder::ReminderItemMark &mark)> rememberItem;

    // Called each time the SMS jobs are due; empty until the SMS subsystem plugs in.
    std::function<void(const QDateTime &now)> autoBirthdaySms;
    std::function<void(const QDateTime &now)> resetSmsSentFlags;
    // The day's reminder away from the desk: called at start-up (startUp true) and every tick.
    std::function<void(const QDateTime &now, bool startUp)> awayReminders;
    // True while the main window shows a modal dialog; the floating window then waits.
    std::function<bool()> modalBusy;

    // Once, when the main window has loaded.
    void startupReminder(const QDateTime &now);
    // Timer1, every 60 s.
    void tick(const QDateTime &now);
    // After the list changed: new texts and tool tip at once, without the timed methods.
    void refresh(const QDateTime &now);
    // TimerTray, every second while blinking.
    void trayTick();
    // Timer3, every 600 ms.
    void activityTick();
    // The user has seen the reminder: a click on the balloon, the floating window or the tray
    // icon, 知道了 anywhere, a notification dismissed, or the user's own activation of the main
    // window. The items shown are done for the day; music, blinking, strip and notification stop.
    void acknowledge();
    // 稍后提醒: every item still to be noticed is put off until the snooze's end, when it is shown
    // again on every way the settings switch on; everything on show stops meanwhile.
    void snooze(reminder::Snooze choice, const QDateTime &now);

    void playMusic();
    void stopMusic();

    bool isBlinking() const { return m_blinking; }
    QDate lastFired(Method method) const { return m_lastFired[method]; }
    bool MusicPlaying() const { return m_musicPlaying; }
    const QString &TodayNotifyText() const { return m_todayNotifyText; }
    const QString &FloatNotifyText() const { return m_floatNotifyText; }
    // Set by the SMS dispatch after a send; the activity indicator clears it.
    bool SmsActivity = false;

private:
    bool firesNow(Method method, const QDateTime &now) const;
    // The time-of-day methods whose hour has come and that have not fired today; those in
    // shownAlready count as fired without showing again.
    void fireTimedMethods(const QDateTime &now, const std::array<bool, MethodCount> &shownAlready);
    // Shows the pending items again on every way switched on (a snooze over, a restart);
    // returns the ways it showed them.
    std::array<bool, MethodCount> showAgain();
    void showBalloon();
    void markFired(Method method, const QDate &day);
    void noteRun(const QDate &day);
    // Takes the marks of day, once the loop has come to it.
    void enterDay(const QDate &day);
    void setMark(const QDate &day, const reminder::ReminderItemMark &mark);
    // Sets item's state on the loop's day, keeping whether the item is the mark's own.
    void setState(const QString &item, reminder::ItemState state, const QDateTime &until = {});
    // The pending items are on show now.
    void markPendingShown();
    // Everything on show stops: balloon and notification, music, blinking, strip.
    void stopShowing();
    // Recomputes the items, the floating text and the tool tip for now.
    void updateTexts(const QDateTime &now);
    void setBlinking(bool on);
    void setFloatText(const QString &text);

    ReminderInputs m_inputs;
    ReminderOutputs &m_outputs;
    int m_minuteCounter = 0; // modulo 10: the SMS job
    int m_resetCounter = 0; // modulo 1500: the reset of the SMS-sent marks
    int m_activityCounter = 0; // modulo 8
    int m_blinkBit = 0;
    bool m_blinking = false;
    bool m_musicPlaying = false;
    QString m_musicFile;
    QString m_todayNotifyText;
    QString m_floatNotifyText;
    // The day each time-of-day method last fired: once a day, on the first tick in or after its
    // hour, so that a computer asleep or off across the hour still reminds when it is back.
    std::array<QDate, MethodCount> m_lastFired;
    QDate m_lastRun;
    // The marks of m_marksDay, and that day's items (due, missed, carried) and those of them
    // still to be noticed, as of m_textsNow.
    QList<reminder::ReminderItemMark> m_marks;
    QDate m_marksDay;
    QStringList m_items;
    QStringList m_pending;
    QDateTime m_textsNow;
};

} // namespace natalis::reminder
