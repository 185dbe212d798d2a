#pragma once

#include "reminder/remindertexts.h"
#include "store/birthdayrecord.h"
#include "store/settingsrecord.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>
#include <functional>

namespace natalis::app {

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

    // Called each time the SMS jobs are due; empty until the SMS subsystem plugs in.
    std::function<void(const QDateTime &now)> autoBirthdaySms;
    std::function<void(const QDateTime &now)> resetSmsSentFlags;
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
    // icon, or the user's own activation of the main window.
    void acknowledge();

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
    // shownAtStart count as fired without showing again.
    void fireTimedMethods(const QDateTime &now, const reminder::ReminderTexts &texts,
        const std::array<bool, MethodCount> &shownAtStart);
    void markFired(Method method, const QDate &day);
    void noteRun(const QDate &day);
    // The missed birthdays have reached the user: the run counts from now on.
    void missedShown(const QDate &day);
    // Forgets the missed birthdays: acknowledged, or their day is over.
    void dropMissed(const QDate &today);
    // Recomputes the texts, the floating text and the tool tip; returns the texts.
    reminder::ReminderTexts updateTexts(const QDate &today);
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
    // Birthdays that passed while the program was not running, found at start on m_missedDay.
    // They stay in every reminder until acknowledged or until that day is over; the last run is
    // recorded only once they were shown, so that quitting before the timed hour loses nothing.
    QStringList m_missed;
    QDate m_missedDay;
    QDate m_textsDay; // the day the texts on show were made for
};

} // namespace natalis::app
