#pragma once

#include "calendar_ui/calendarhost.h"
#include "reminder/reminderloop.h"
#include "reminder/reminderoutputs.h"
#include "session/autosmsrunner.h"
#include "session/startup.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>

namespace natalis::desktop {
class AcknowledgementGate;
class MusicPlayer;
class frmNotify;
} // namespace natalis::desktop

namespace natalis::platform {
class Clock;
class MessageSink;
} // namespace natalis::platform

namespace natalis::session {
struct AppContext;
} // namespace natalis::session

namespace natalis::desktop {
class TrayLayer;
}

namespace natalis::store {
class PendingBackup;
}

namespace natalis::sync {
class SyncService;
}

namespace natalis::birthdays {
class BirthdayService;
struct BirthdayChanges;
} // namespace natalis::birthdays

namespace natalis::away {
class AwaySender;
}

namespace natalis::calendar_ui {
class frmWNL;
}

namespace natalis::app {

class frmGet;

// Asks the user for an existing database file in the desktop's file dialog; empty for none.
QString chooseDatabaseFile();

// What main found on the command line and on the platform.
struct LaunchRequest
{
    QString dbArgument; // the database named on the command line; empty for the default place
    session::StartupPlaces places;
    bool inTray = false; // "--tray", as the autostart entry starts the program
    // The database file the user opens instead of one that does not open; empty for none.
    std::function<QString()> pickDatabaseFile = chooseDatabaseFile;
};

// The running program, and the one place where it is put together: the constructor makes the
// long-lived parts (the reminder loop, the tray with the desktop notifications, the floating
// window, the music, the timers, the gateway worker, the main window) and connects every hook
// and signal between them. It shows the loop's reminders (ReminderOutputs) and serves the
// calendar window (CalendarHost). A hook it sets on something that outlives it, it clears in
// its destructor.
class Application : public QObject,
                    private reminder::ReminderOutputs,
                    private calendar_ui::CalendarHost
{
public:
    // A login starts the tray before or after the program: a late one gets this long.
    static constexpr int TrayGraceMilliseconds = 5000;

    struct Launch
    {
        session::StartupResult started;
        std::unique_ptr<Application> program; // null unless started is Ready
    };
    // The entry routine as main runs it: windows kept on screen, start-up into context (see
    // runStartup), the birthdays, the program, and its first showing (in the tray when
    // request.inTray). Every failure of the start has shown its message before this returns.
    static Launch launch(const LaunchRequest &request, session::AppContext &context,
        platform::MessageSink &messages, const platform::Clock &clock,
        std::unique_ptr<desktop::MusicPlayer> music);

    // The program over a context start-up has filled: every part made and connected, the main
    // window loaded, the start-up reminder given and Timer1 running. The main window is not
    // shown yet. music may be null (silence).
    Application(session::AppContext &context, platform::MessageSink &messages,
        const platform::Clock &clock, std::unique_ptr<desktop::MusicPlayer> music);
    ~Application() override;
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // The program itself shows the main window (start-up, a second start, no tray to go back
    // to): that alone never counts as the user having seen the reminder.
    void showWindow(bool minimized = false);
    // Start in the tray: stay hidden when a tray is there, or comes within graceMilliseconds;
    // otherwise show the window, the only way in.
    void startInTray(int graceMilliseconds);
    // Reads start-up's copy of the file back on a worker and keeps it as today's backup
    // (store::PendingBackup); the window never waits on it, and the program's end stops it.
    void checkTodaysBackup();
    // A later start of the program handed over to this one.
    void anotherStartAsked(const QString &dbPath);
    // The calendar window in either use; the perpetual calendar when plainMode. The main window
    // makes way for it.
    void openCalendar(bool plainMode);
    // "退出(&E)": ends the program once a gateway call under way has come back.
    void quit();

    // The timers' work, callable by tests: Timer1 every minute, Timer3 the SMS activity row,
    // TimerTray the blinking.
    void onTimer1();
    void onTimer3();
    void onTimerTray();

    frmGet &window() const { return *m_window; }
    birthdays::BirthdayService &birthdayService() const { return *m_birthdays; }
    reminder::ReminderLoop &loop() { return m_loop; }
    desktop::TrayLayer &tray() const { return *m_tray; }
    session::AutoSmsRunner &autoSms() { return m_autoSms; }
    desktop::frmNotify *floatingWindow() const { return m_notify.get(); }
    calendar_ui::frmWNL *calendarWindow() const;
    sync::SyncService &syncService() const { return *m_sync; }
    away::AwaySender &awaySender() const { return *m_away; }

protected:
    // Follows the floating strip on the screen for the tray's balloon.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectTray();
    // Starts the day's reminder away from the desk when a channel is on and it is due.
    void remindAway(const QDateTime &now, bool startUp);
    void connectWindow();
    // The birthday service's changes reach the reminders, and the servers unless a sync wrote
    // them.
    void connectBirthdays();
    void birthdaysChanged(const birthdays::BirthdayChanges &changes);
    void connectSms();
    // The load handler's share of the program: the sent marks, the tray icon, the reminder
    // memory, the start-up reminder and the first minute.
    void begin();
    void putWindowAway();
    void showSmsActivity();
    void resetSmsSentFlags(const QDateTime &now);
    void trayAvailabilityChanged(bool available);
    // Panel 4: how the reminder reaches the user where the tray or the strip's corner is missing;
    // empty when both are there.
    QString reminderWayText(bool trayAvailable) const;
    // As a native Wayland client the compositor stacks every newly shown window on top: the
    // strip is opened again as the main window's child, after it, so that it stays above it.
    void showFloatingAboveWindow();
    void windowShown();
    void calendarGone();
    // Timer1 is due shortly after the next full minute of the program's clock.
    void scheduleTimer1();

    // CalendarHost
    const store::BirthdayList &birthdays() const override;
    int currentSkin() const override;
    QDateTime now() const override;
    QString todayNotifyText() const override;
    void stopMusic() override;
    void DisableOther() override;
    void EnableOther() override;
    void showMainWindow() override;
    void showDayList(const QString &dateText, const QString &listText) override;
    void showTodayList(const QString &todayLabelText) override;

    // ReminderOutputs
    void TrayIconSetTip(const QString &text) override;
    void TrayIconBalloon(const QString &text) override;
    void withdrawBalloon() override;
    void MyTrayIcon(int picture) override;
    void setTrayBlinking(bool on) override;
    bool isFloatingWindowVisible() const override;
    void showFloatingWindow(const QString &text) override;
    void closeFloatingWindow() override;
    void setFloatingText(const QString &text) override;
    void playMusic(const QString &file) override;
    void stopMusic(const QString &file) override;
    void setActivityText(const QString &text) override;

    session::AppContext &m_context;
    platform::MessageSink &m_messages;
    const platform::Clock &m_clock;
    std::unique_ptr<desktop::MusicPlayer> m_music;
    std::unique_ptr<desktop::TrayLayer> m_tray;
    std::unique_ptr<desktop::frmNotify> m_notify; // made at its first showing
    reminder::ReminderLoop m_loop;
    session::AutoSmsRunner m_autoSms;
    QTimer m_timer1;
    QTimer m_timer3;
    QTimer m_timerTray;
    // Every change of the birthdays; outlives the window, which works through it.
    std::unique_ptr<birthdays::BirthdayService> m_birthdays;
    // Declared after everything its signals reach, so that it goes first.
    std::unique_ptr<frmGet> m_window;
    desktop::AcknowledgementGate *m_ackGate = nullptr; // the window's child
    QPointer<calendar_ui::frmWNL> m_calendar;
    bool m_quitting = false;
    // Keeps the calendar server current; declared last, so its worker stops before the window
    // it reports to goes.
    std::unique_ptr<sync::SyncService> m_sync;
    // Sends the day's reminder to the user's mailbox and phone; declared last, so its worker
    // stops before anything it reports to goes.
    std::unique_ptr<away::AwaySender> m_away;
    // Reads start-up's copy of the file back and keeps it as today's backup (the copy and its
    // worker); stopped and joined first thing in the destructor.
    std::unique_ptr<store::PendingBackup> m_todaysBackup;
    std::unique_ptr<QThread> m_backupCheck;
    bool m_todaysBackupKept = false; // written by the worker, read once it has finished
};

} // namespace natalis::app
