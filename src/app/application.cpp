// Every hook of the program and where it is set. A hook is a std::function member that one
// object calls and another fills in; it is set here, or has its real default at its declaration,
// and whoever it captures outlives it or clears it in its own destructor.
//
//   ReminderInputs::birthdays           here; captures the context, which outlives the loop
//   ReminderLoop::modalBusy             here; captures this, which owns the loop
//   ReminderLoop::autoBirthdaySms       here; captures this
//   ReminderLoop::resetSmsSentFlags     here; captures this
//   ReminderLoop::awayReminders         here; captures this
//   AwaySender::showStatus              here; captures this, which owns the sender
//   ReminderLoop::rememberFired, rememberRun, recallItems, rememberItem
//                                       here, through connectReminderMemory; capture the context
//   AutoSmsRunner::activity, showPanelText, tellKeptBack
//                                       here; capture this, which owns the runner
//   MusicPlayer::unplayable             here; captures this, which owns the player
//   GatewayWorker::busyChanged          here; the worker lives in the context, so
//                                       ~Application clears it
//   SingleInstance::showRequested       here; the lock lives in the context, so ~Application
//                                       clears it
//   AcknowledgementGate's acknowledge   here, as the gate is made; the gate is the window's child
//   TrayLayer::availabilityProbe        real default at its declaration (asks the desktop)
//   SyncService::showStatus            here; captures this, which owns the service
//   SyncService::starting               here; captures this, which owns the birthday service
//   BirthdayService::reloadHeld         by the main window, which clears it in its destructor
//   frmGet::stopSync, resolveDeletions  here; capture this, which outlives the window's dialogs
//   frmGet::openEditor, openDocument, runDialog, readBackups
//                                       real defaults at their declarations
//   SmsPanel::pickGregorianDate, runDialog
//                                       real defaults at their declarations
//   frmDxHist::pickDate                 real default in its constructor
// The dialogs' setup structs (frmAddEdit::Setup, frmSetup::Services, frmFileIn's reader) are
// filled by whoever opens the dialog, for that dialog's life only.

#include "app/application.h"

#include "app/frmget.h"
#include "app/smspanel.h"
#include "away/awaysender.h"
#include "birthdays/birthdayservice.h"
#include "calendar_ui/frmwnl.h"
#include "desktop/acknowledgement.h"
#include "desktop/frmnotify.h"
#include "desktop/musicplayer.h"
#include "desktop/sessionplatform.h"
#include "desktop/traylayer.h"
#include "dialogs/frmcontent.h"
#include "dialogs/frmhappen.h"
#include "platform/clock.h"
#include "platform/freememory.h"
#include "session/appcontext.h"
#include "session/backuprestore.h"
#include "session/remindermemoryhooks.h"
#include "session/smsgatewayprocess.h"
#include "sms/autosms.h"
#include "store/awaysettings.h"
#include "sync/syncservice.h"
#include "widgets/pictures.h"
#include "widgets/screenfit.h"
#include "widgets/workerrun.h"

#include <QApplication>
#include <QFileDialog>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace natalis::app {

namespace {

// Checking the backups reads each whole: before any window, in a small one of its own. It waits
// for the worker, which the program's windows never do: this runs before the program's event
// loop, when nothing else is on screen that could go on meanwhile, and the start cannot go on
// without the answer.
std::optional<store::BackupEntry> findBackupAside(const QString &dbPath)
{
    std::optional<store::BackupEntry> found;
    widgets::runOnWorker(nullptr, u"正在检查备份…"_s,
        [&](widgets::WorkerProgress &) { found = store::newestSoundBackup(dbPath); });
    return found;
}

} // namespace

QString chooseDatabaseFile()
{
    return QFileDialog::getOpenFileName(
        nullptr, u"打开生日数据库"_s, QString(), u"生日数据库 (*.mdb *.db);;所有文件 (*)"_s);
}

Application::Launch Application::launch(const LaunchRequest &request, session::AppContext &context,
    platform::MessageSink &messages, const platform::Clock &clock,
    std::unique_ptr<desktop::MusicPlayer> music)
{
    // Before the start-up's first message box; once for the process.
    [[maybe_unused]] static const bool fitting = (widgets::keepWindowsOnScreen(*qApp), true);
    session::StartupResult started =
        runStartup(request.dbArgument, request.places, messages, clock, context);
    const session::WayBackHooks wayBack { findBackupAside, request.pickDatabaseFile };
    while (started == session::StartupResult::Unopened)
        started = takeWayBack(context, messages, clock.now(), wayBack)
            ? openDatabaseAtStart(messages, clock, context)
            : session::StartupResult::NoConnection;
    if (started != session::StartupResult::Ready)
        return { started, nullptr };
    loadBirthdaysAtStart(context, messages, clock.now(), findBackupAside);
    auto program = std::make_unique<Application>(context, messages, clock, std::move(music));
    if (request.inTray)
        program->startInTray(TrayGraceMilliseconds);
    else
        program->showWindow();
    program->checkTodaysBackup();
    // The start's own work is done: the database engine's page cache and the heap it left free
    // go back to the system rather than stay resident while the program waits in the tray.
    if (context.DbConnection)
        context.DbConnection->exec("pragma shrink_memory");
    platform::returnFreedMemory();
    // Again once the window's first round (its sorting and layout) has let go of its own.
    QTimer::singleShot(0, program.get(), [] { platform::returnFreedMemory(); });
    return { started, std::move(program) };
}

Application::Application(session::AppContext &context, platform::MessageSink &messages,
    const platform::Clock &clock, std::unique_ptr<desktop::MusicPlayer> music)
    : m_context(context), m_messages(messages), m_clock(clock), m_music(std::move(music)),
      m_tray(std::make_unique<desktop::TrayLayer>(std::array<QIcon, 2> {
          picture(widgets::Picture::Tray), picture(widgets::Picture::TrayAlternate) })),
      m_loop({ context.Settings, [&context] { return context.loadedBirthdays(); } }, *this),
      m_autoSms(context, clock),
      m_birthdays(std::make_unique<birthdays::BirthdayService>(context, messages, clock)),
      m_window(std::make_unique<frmGet>(context, *m_birthdays, messages, clock, m_music.get()))
{
    // Every window of the program, the calendars and the message boxes too, shows the cake.
    QApplication::setWindowIcon(picture(widgets::Picture::Tray));
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    // Set afresh at every tick for the next full minute: a free-running minute comes up to 59 s
    // late for a 9:00 reminder, and a coarse timer may fire up to 3 s early, at 8:59:57.
    m_timer1.setSingleShot(true);
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer3.setObjectName(QStringLiteral("Timer3"));
    m_timer3.setInterval(600);
    m_timerTray.setObjectName(QStringLiteral("TimerTray"));
    m_timerTray.setInterval(1000);
    connect(&m_timer1, &QTimer::timeout, this, &Application::onTimer1);
    connect(&m_timer3, &QTimer::timeout, this, &Application::onTimer3);
    connect(&m_timerTray, &QTimer::timeout, this, &Application::onTimerTray);

    m_loop.modalBusy = [this] { return m_window->ModalBusy != 0; };
    m_loop.autoBirthdaySms = [this](const QDateTime &now) { m_autoSms.start(now); };
    m_loop.resetSmsSentFlags = [this](const QDateTime &now) { resetSmsSentFlags(now); };
    if (m_music)
        m_music->unplayable = [this](const QString &file) {
            m_window->setStatus(1, desktop::unplayableMusicText(file));
        };
    m_sync = std::make_unique<sync::SyncService>(
        m_context.DbPath, [this] { return m_clock.now(); },
        std::make_shared<sync::KeychainPasswordStore>());
    m_sync->showStatus = [this](const QString &text) { m_window->setStatus(1, text); };
    m_window->stopSync = [this] { m_sync->stop(); };
    m_window->resolveDeletions = [this](sync::DeletionChoice choice) {
        m_sync->resolveDeletions(choice);
    };
    connectBirthdays();
    m_away = std::make_unique<away::AwaySender>(
        m_context.DbPath, m_context.ComputerName, std::make_shared<sync::KeychainPasswordStore>());
    m_away->showStatus = [this](const QString &text) { m_window->setStatus(1, text); };
    m_loop.awayReminders = [this](const QDateTime &now, bool startUp) { remindAway(now, startUp); };
    connectTray();
    connectWindow();
    connectSms();
    if (m_context.instance)
        m_context.instance->showRequested = [this](const QString &dbPath) {
            anotherStartAsked(dbPath);
        };
    begin();
    m_sync->begin();
}

Application::~Application()
{
    if (m_backupCheck) {
        m_todaysBackup->stop();
        m_backupCheck->wait();
    }
    if (m_context.instance)
        m_context.instance->showRequested = nullptr;
    if (m_context.SmsGateway)
        m_context.SmsGateway->busyChanged = nullptr;
    if (m_calendar) {
        m_calendar->disconnect(this);
        delete m_calendar;
    }
}

void Application::checkTodaysBackup()
{
    if (!m_context.todaysBackup || m_backupCheck)
        return;
    m_todaysBackup = std::move(m_context.todaysBackup);
    m_backupCheck.reset(QThread::create([this] { m_todaysBackupKept = m_todaysBackup->check(); }));
    // A check stopped by the program's end has no cause and nobody to tell.
    connect(m_backupCheck.get(), &QThread::finished, this, [this] {
        if (!m_todaysBackupKept && !m_todaysBackup->failureCause().isEmpty())
            m_window->setStatus(1, u"今天的备份没有做成: "_s + m_todaysBackup->failureCause());
        // The check read the whole file through a page cache of its own.
        platform::returnFreedMemory();
    });
    m_backupCheck->start();
}

void Application::connectTray()
{
    connect(
        m_tray.get(), &desktop::TrayLayer::leftClicked, m_window.get(), &frmGet::mnuNotify_Click);
    connect(m_tray.get(), &desktop::TrayLayer::userActed, this, [this] { m_loop.acknowledge(); });
    connect(m_tray.get(), &desktop::TrayLayer::snoozeRequested, this,
        [this](reminder::Snooze choice) { m_loop.snooze(choice, m_clock.now()); });
    connect(m_tray.get(), &desktop::TrayLayer::availabilityChanged, this,
        &Application::trayAvailabilityChanged);
    connect(m_tray.get(), &desktop::TrayLayer::openRequested, m_window.get(), &frmGet::showInFront);
}

void Application::connectWindow()
{
    frmGet *window = m_window.get();
    m_ackGate = new desktop::AcknowledgementGate(window, [this] { m_loop.acknowledge(); });
    connect(window, &frmGet::calendarRequested, this, &Application::openCalendar);
    connect(window, &frmGet::putAwayRequested, this, &Application::putWindowAway);
    connect(window, &frmGet::quitRequested, this, &Application::quit);
    connect(window, &frmGet::remindersOutdated, this, [this] {
        m_loop.refresh(m_clock.now());
        // The sync settings may have changed.
        m_sync->birthdaysChanged();
    });
    connect(window, &frmGet::shown, this, &Application::windowShown);
}

void Application::connectBirthdays()
{
    // Writes of other programs made before a run are taken in before it.
    m_sync->starting = [this] { m_birthdays->syncStarting(); };
    connect(m_sync.get(), &sync::SyncService::databaseWritten, m_birthdays.get(),
        &birthdays::BirthdayService::syncFinished);
    connect(m_birthdays.get(), &birthdays::BirthdayService::changed, this,
        &Application::birthdaysChanged);
}

void Application::birthdaysChanged(const birthdays::BirthdayChanges &changes)
{
    m_loop.refresh(m_clock.now());
    // What a run wrote came from the servers, and the calendar has had the rows it pulled:
    // another run for it would start the next one, every few minutes for ever.
    if (changes.origin != birthdays::ChangeOrigin::Sync)
        m_sync->birthdaysChanged();
}

void Application::connectSms()
{
    connect(&m_window->smsPanel(), &SmsPanel::smsSent, this, &Application::showSmsActivity);
    // The recipients are the lists' ticked rows: the panel counts them again once the window's
    // lists, connected before it, have taken a change in.
    connect(m_birthdays.get(), &birthdays::BirthdayService::changed, &m_window->smsPanel(),
        &SmsPanel::ProcTelSelect);
    processSmsGateway(m_context).busyChanged = [this](
                                                   bool) { m_window->smsPanel().ProcTelSelect(); };
    m_autoSms.activity = [this] { showSmsActivity(); };
    m_autoSms.showPanelText = [this](const QString &text) { m_window->setStatus(3, text); };
    // As a reminder reaches the user: the tray's balloon, or the desktop's notification.
    m_autoSms.tellKeptBack = [this](const QString &notice) { m_tray->TrayIconBalloon(notice); };
}

void Application::begin()
{
    resetSmsSentFlags(m_clock.now());
    m_window->load();
    m_tray->TrayIconAdd(m_window->toolMenu());
    if (const QString way = reminderWayText(m_tray->available()); !way.isEmpty())
        m_window->setStatus(4, way);
    connectReminderMemory(m_loop, m_context);
    m_loop.startupReminder(m_clock.now());
    scheduleTimer1();
}

// Showing and hiding the main window

void Application::showWindow(bool minimized)
{
    m_ackGate->programShows();
    if (minimized)
        m_window->showMinimized();
    else
        m_window->showInFront();
}

void Application::putWindowAway()
{
    // Without a tray a hidden window could never be found again.
    if (m_tray->available())
        m_window->hide();
    else
        m_window->showMinimized();
}

void Application::anotherStartAsked(const QString &dbPath)
{
    showWindow();
    m_window->anotherStartAsked(dbPath);
}

void Application::startInTray(int graceMilliseconds)
{
    if (m_tray->available())
        return;
    QTimer::singleShot(graceMilliseconds, this, [this] {
        if (!m_tray->available() && !m_window->isVisible() && !m_quitting)
            showWindow();
    });
}

void Application::trayAvailabilityChanged(bool available)
{
    m_window->setStatus(4, reminderWayText(available));
    // The tray went away while everything hid in it: the window is the way back.
    if (!available && !m_window->isVisible() && !(m_calendar && m_calendar->isVisible())
        && !m_quitting)
        showWindow(true);
}

QString Application::reminderWayText(bool trayAvailable) const
{
    const bool notifications = m_tray->notificationsAvailable();
    if (!desktop::isNativeWayland()) {
        if (trayAvailable)
            return QString();
        return notifications ? QStringLiteral("系统托盘不可用,提醒以桌面通知、浮动窗口和音乐显示")
                             : QStringLiteral("系统托盘不可用,提醒以浮动窗口和音乐显示");
    }
    // The compositor places the strip: the notification says what the corner cannot promise.
    if (trayAvailable)
        return notifications
            ? QStringLiteral("Wayland:浮动窗口由桌面摆放,在本程序窗口之上;提醒同时以桌面通知显示")
            : QStringLiteral("Wayland:浮动窗口由桌面摆放,在本程序窗口之上");
    return notifications
        ? QStringLiteral(
            "系统托盘不可用,提醒以桌面通知、浮动窗口和音乐显示;Wayland:浮动窗口由桌面摆放")
        : QStringLiteral(
            "系统托盘不可用,提醒以浮动窗口和音乐显示;Wayland:浮动窗口由桌面摆放,在本程序窗口之上");
}

void Application::openCalendar(bool plainMode)
{
    m_window->hide();
    // A calendar open in the other use is replaced.
    if (m_calendar && m_calendar->plainMode() != plainMode)
        m_calendar->close();
    if (!m_calendar) {
        m_calendar = new calendar_ui::frmWNL(*this, plainMode);
        m_calendar->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_calendar, &QObject::destroyed, this, &Application::calendarGone);
        connect(m_birthdays.get(), &birthdays::BirthdayService::changed, m_calendar,
            &calendar_ui::frmWNL::birthdaysChanged);
    }
    m_calendar->show();
    m_calendar->raise();
    m_calendar->activateWindow();
}

calendar_ui::frmWNL *Application::calendarWindow() const
{
    return m_calendar;
}

void Application::calendarGone()
{
    // The calendar hid the main window; without a tray it must come back.
    if (!m_quitting && !m_tray->available() && !m_window->isVisible())
        showWindow();
}

void Application::quit()
{
    m_quitting = true;
    m_timer1.stop();
    m_timer3.stop();
    m_timerTray.stop();
    m_loop.stopMusic();
    if (m_notify)
        m_notify->close();
    m_tray->TrayIconDelete();
    m_window->keepWindowState();
    shutdown(m_context);
    m_window->closeForGood();
    QApplication::quit();
}

// The timers

void Application::scheduleTimer1()
{
    m_timer1.start(platform::millisecondsToNextMinute(m_clock.now()));
}

void Application::onTimer1()
{
    scheduleTimer1();
    m_birthdays->lookForOtherWrites();
    const QDateTime now = m_clock.now();
    // "下次生日" and "年龄" move on at midnight.
    m_window->setToday(now.date());
    m_loop.tick(now);
}

void Application::remindAway(const QDateTime &now, bool startUp)
{
    if (!m_away->wanted(now) || !m_context.DbConnection)
        return;
    const std::optional<store::AwaySettings> settings =
        store::readAwaySettings(*m_context.DbConnection);
    if (settings && (settings->mailOn || settings->smsOn))
        m_away->look(now, settings->hour, startUp);
}

void Application::showSmsActivity()
{
    m_loop.SmsActivity = true;
    m_timer3.start();
}

void Application::onTimer3()
{
    m_loop.activityTick();
    // Idle in the tray for days: the indicator's timer runs only while there is a row to show.
    if (!m_loop.SmsActivity)
        m_timer3.stop();
}

void Application::onTimerTray()
{
    m_loop.trayTick();
}

void Application::resetSmsSentFlags(const QDateTime &now)
{
    if (m_context.DbConnection)
        sms::ResetSmsSentFlags(
            m_context.Birthdays, m_context.HasBirthdays, *m_context.DbConnection, now.date());
}

// CalendarHost

const store::BirthdayList &Application::birthdays() const
{
    return m_context.loadedBirthdays();
}

int Application::currentSkin() const
{
    return m_context.CurrentSkin;
}

QDateTime Application::now() const
{
    return m_clock.now();
}

QString Application::todayNotifyText() const
{
    return m_loop.TodayNotifyText();
}

void Application::stopMusic()
{
    m_loop.stopMusic();
}

void Application::DisableOther()
{
    m_window->DisableOther();
}

void Application::EnableOther()
{
    m_window->EnableOther();
}

void Application::showMainWindow()
{
    m_window->showInFront();
}

void Application::showDayList(const QString &dateText, const QString &listText)
{
    dialogs::frmContent list(dateText, listText, m_context.CurrentSkin, m_calendar);
    list.exec();
}

void Application::showTodayList(const QString &todayLabelText)
{
    dialogs::frmHappen list(
        todayLabelText, m_loop.TodayNotifyText(), m_context.CurrentSkin, m_calendar);
    list.exec();
}

// ReminderOutputs

void Application::TrayIconSetTip(const QString &text)
{
    m_tray->TrayIconSetTip(text);
}

void Application::TrayIconBalloon(const QString &text)
{
    m_tray->TrayIconBalloon(text);
}

void Application::withdrawBalloon()
{
    m_tray->withdrawBalloon();
}

void Application::MyTrayIcon(int picture)
{
    m_tray->MyTrayIcon(picture);
}

void Application::setTrayBlinking(bool on)
{
    if (on)
        m_timerTray.start();
    else
        m_timerTray.stop();
}

bool Application::isFloatingWindowVisible() const
{
    return m_notify && m_notify->isVisible();
}

void Application::showFloatingWindow(const QString &text)
{
    if (!m_notify) {
        m_notify = std::make_unique<desktop::frmNotify>();
        m_notify->setAvoidedWindow(m_window.get());
        connect(m_notify.get(), &desktop::frmNotify::clickedByUser, this,
            [this] { m_loop.acknowledge(); });
        connect(m_notify.get(), &desktop::frmNotify::closedByUser, this,
            [this] { m_loop.acknowledge(); });
        connect(m_notify.get(), &desktop::frmNotify::snoozeRequested, this,
            [this](reminder::Snooze choice) { m_loop.snooze(choice, m_clock.now()); });
        m_notify->installEventFilter(this);
    }
    m_notify->setNotifyText(text);
    if (!desktop::isNativeWayland()) {
        m_notify->show();
        return;
    }
    m_tray->notifyBesideFloating(text);
    showFloatingAboveWindow();
}

bool Application::eventFilter(QObject *watched, QEvent *event)
{
    // The strip shows, moves (the user drags it, a panel appears) or goes: the balloon, which
    // names the same birthdays, must not cover its text.
    if (m_notify && watched == m_notify.get()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)
            m_tray->keepBalloonClearOf(m_notify->frameGeometry());
        else if (type == QEvent::Hide)
            m_tray->keepBalloonClearOf(QRect());
    }
    return QObject::eventFilter(watched, event);
}

void Application::showFloatingAboveWindow()
{
    m_notify->hide();
    m_notify->winId();
    // Only a window on screen can be a parent to the compositor.
    m_notify->windowHandle()->setTransientParent(
        m_window->isVisible() ? m_window->windowHandle() : nullptr);
    m_notify->show();
}

void Application::windowShown()
{
    if (!desktop::isNativeWayland())
        return;
    // After the window's own show has reached the compositor.
    QTimer::singleShot(0, this, [this] {
        if (m_notify && m_notify->isVisible() && m_window->isVisible())
            showFloatingAboveWindow();
    });
}

void Application::closeFloatingWindow()
{
    if (m_notify)
        m_notify->close();
}

void Application::setFloatingText(const QString &text)
{
    if (m_notify)
        m_notify->setNotifyText(text);
}

void Application::playMusic(const QString &file)
{
    if (m_music)
        m_music->play(file);
}

void Application::stopMusic(const QString &file)
{
    if (m_music)
        m_music->stop(file);
}

void Application::setActivityText(const QString &text)
{
    m_window->setStatus(2, text);
}

} // namespace natalis::app
