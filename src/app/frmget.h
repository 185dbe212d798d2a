#pragma once

#include "app/birthdaylistmodel.h"
#include "widgets/modalrunner.h"
#include "reminder/reminderloop.h"
#include "reminder/reminderoutputs.h"
#include "calendar_ui/calendarhost.h"
#include "calendar_ui/frmwnl.h"
#include "sms/groupsend.h"
#include "store/birthdayedit.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStackedWidget;
class QTabBar;
class QTableView;
class QTimer;

namespace natalis::desktop {
class TrayLayer;
}

namespace natalis::app {

using desktop::TrayLayer;
enum class ImportMenu;

struct AppContext;
class Clock;
class MessageSink;
enum class MessageButton;
enum class MessageButtons;
enum class MessageIcon;
class AutoSmsRunner;
class AcknowledgementGate;
class MusicPlayer;
class WindowMemory;
class frmNotify;

// The main window: one birthday list per category, the buttons around them, the menus, the
// status bar, the tray icon and the reminder timers. Closing it only hides it; the program ends
// through "退出(&E)".
class frmGet : public QMainWindow, private ReminderOutputs, private calendar_ui::CalendarHost
{
    Q_OBJECT

public:
    static constexpr int CategoryCount = 8;

    frmGet(AppContext &context, MessageSink &messages, const Clock &clock,
        std::unique_ptr<MusicPlayer> music, QWidget *parent = nullptr);
    ~frmGet() override;

    // The load handler's work after construction: lists, start-up tab, tray, start-up reminder.
    void load();

    // The program itself shows the window (start-up, a second start, no tray to go back to):
    // that alone never counts as the user having seen the reminder.
    void showByProgram(bool minimized = false);
    // A later start of the program handed over to this one: the window shows, and when that
    // start named another database the user is told that this program keeps its own file.
    void anotherStartAsked(const QString &dbPath);
    // Start in the tray: stay hidden when a tray is there, or comes within graceMilliseconds;
    // otherwise show the window, the only way in.
    void startInTray(int graceMilliseconds);
    // The close box and "关闭(&E)": into the tray, or minimised where there is no tray.
    void closeToTray();

    // Refills all eight lists from the birthday array.
    void MyDisplayBirth();
    // Count labels and the enabled state of edit, delete and find for category index 0..7.
    void ProcCmd(int index);
    int myAllNums() const;
    void ApplySkin();
    // The menu entries a modal dialog must keep from acting (also the calendar windows' bracket).
    void EnableOther() override;
    void DisableOther() override;
    // 1 while a modal dialog or message of this window is up, 2 while a date picker opened from
    // the editor is up, 0 otherwise.
    int ModalBusy = 0;

    // The timers' work, callable by tests.
    void onTimer1();
    void onTimer3();
    // After an SMS went out: the row of ">" in panel 2, its timer running until it is gone.
    void showSmsActivity();
    void onTimerTray();

    ReminderLoop &loop() { return m_loop; }
    AutoSmsRunner &autoSms() { return *m_autoSms; }
    TrayLayer &tray() { return *m_tray; }
    frmNotify *floatingWindow() const { return m_notify.get(); }
    BirthdayListModel *listModel(int index) const { return m_models[index]; }
    QTableView *listView(int index) const { return m_views[index]; }
    int currentCategory() const;
    QString statusText(int panel) const; // panels 1..5

    // "退出(&E)": closes the connection, removes the tray icon and ends the program.
    void mnuExit_Click();

    // The birthday actions; the editor is opened through openEditor, which tests replace.
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdDel_Click();
    std::function<bool(store::BirthdayEdit &buffer, bool batch)> openEditor;

    // The file menu and the settings button.
    void exportBirthdays(bool csv);
    void importBirthdays(ImportMenu menu);
    void addPhoneMenu(QMenu *file); // frmget_phone.cpp
    void cmdSetup_Click();
    void cmdDxSet_Click();

    // The SMS group-sending panel that folds out under the lists.
    bool SmsPanelOpen = false;
    void cmdDuanxin_Click(); // opens or closes the panel
    void Image2_Click(); // closes it
    void AlterGetCboUser();
    void ProcTelSelect();
    int CountNumbersByKind(QChar digit) const;
    bool CheckScheduleTime() const;
    void cmdBalance_Click();
    void cmdPrice_Click();
    void cmdTmpAdd_Click();
    void cmdTmpDel_Click();
    void cmdTmpCls_Click();
    void cmdTmpFAdd_Click();
    // The number import of cmdTmpFAdd once a file is chosen.
    void importTemporaryNumbers(const QString &path);
    void chkTypeSel_Click(bool checked);
    void cmdMdbCls_Click();
    void cmdSend_Click(int index); // 0 at once, 1 scheduled
    void Command7_Click();
    void Label7_Click();
    void openScheduleGregorianPicker();
    void openScheduleLunarPicker();

    // What tests replace: the date pickers of the schedule, the chooser of cmdTmpFAdd (returns
    // the chosen path, empty when cancelled), the shell's "open" action and the runner of the
    // SMS dialogs.
    using DatePicker = std::function<bool(QWidget *anchor, QString &gl, QString &nl)>;
    DatePicker pickGregorianDate;
    DatePicker pickLunarDate;
    std::function<QString(const QString &title)> chooseTextFile;
    std::function<void(const QString &path)> openDocument;
    ModalRunner runDialog;

    // Reloads the lists when another program has written to the database since the last load;
    // run on activation and on every Timer1 tick.
    void reloadIfChangedElsewhere();
    // "从备份恢复…" in the file menu.
    void mnuRestore_Click();

    // The calendar window in either use; the perpetual calendar when plainMode.
    void openCalendar(bool plainMode);
    calendar_ui::frmWNL *calendarWindow() const { return m_calendar; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Brackets every modal dialog and message of this window: ModalBusy is 1 and the tray
    // menu's calendar and exit entries are off for as long as the guard lives.
    class ModalBracket
    {
    public:
        explicit ModalBracket(frmGet &window) : m_window(window)
        {
            m_window.ModalBusy = 1;
            m_window.DisableOther();
        }
        ~ModalBracket()
        {
            m_window.ModalBusy = 0;
            m_window.EnableOther();
        }
        ModalBracket(const ModalBracket &) = delete;
        ModalBracket &operator=(const ModalBracket &) = delete;

    private:
        frmGet &m_window;
    };

    void buildMenus();
    void buildLists();
    void buildControls();
    void buildStatusBar();
    void buildTimers();
    QWidget *buildSmsPanel();
    QWidget *buildSmsAccountRow(QWidget *panel);
    QWidget *buildTemporaryNumbers(QWidget *panel);
    QWidget *buildSmsText(QWidget *panel);
    QWidget *buildSchedule(QWidget *panel);
    void connectSmsPanel();
    void showSmsPanel(bool open);
    void resizeForSmsPanel(bool open);
    void txtContent_Change();
    void cboDxTxUser_Click(int index);
    sms::GroupRecipients groupRecipients() const;
    QString smsText() const;
    void openSchedulePicker(const DatePicker &picker, QLineEdit *anchor);
    void tell(const QString &text, const QString &title);
    void clearAfterGroupSend(int index);

    void TabStrip1_Click(int index);
    void cmdFind_Click();
    void listDoubleClicked(int index);
    void chooseSkin(int skin);
    void openHelp();
    void mnuSetup_Click();
    void mnuNotify_Click();
    void setStatus(int panel, const QString &text);
    // A failed write's message: what it ran into (a full disk, a read-only file, another
    // program), then rest.
    QString writeFailure(const QString &rest) const;
    bool runEditor(store::BirthdayEdit &buffer, bool batch);
    MessageButton ask(
        const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons);
    QList<qint32> selectedIds(int index) const;
    store::BirthdayEdit bufferFromRow(const BirthdayListModel::Row &row) const;
    void reloadAndRefresh();
    void refreshAllLists();
    void runAutoBirthdaySms(const QDateTime &now);
    void resetSmsSentFlags(const QDateTime &now);
    void connectSmsGateway();
    bool smsBusy() const;
    void editOne(int index, qint32 id);
    void editSeveral(int index, const QList<qint32> &ids);

    // CalendarHost
    const QList<store::BirthdayRecord> &birthdays() const override;
    int currentSkin() const override;
    QDateTime now() const override;
    QString todayNotifyText() const override;
    void stopMusic() override;
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

    void trayAvailabilityChanged(bool available);
    // Panel 4: how the reminder reaches the user where the tray or the strip's corner is missing;
    // empty when both are there.
    QString reminderWayText(bool trayAvailable) const;
    // As a native Wayland client the compositor stacks every newly shown window on top: the
    // strip is opened again as this window's child, after it, so that it stays above it.
    void showFloatingAboveWindow();
    // Timer1 is due shortly after the next full minute of the program's clock.
    void scheduleTimer1();
    void calendarGone();

    AppContext &m_context;
    MessageSink &m_messages;
    const Clock &m_clock;
    std::unique_ptr<MusicPlayer> m_music;
    std::unique_ptr<TrayLayer> m_tray;
    std::unique_ptr<frmNotify> m_notify;
    QPointer<calendar_ui::frmWNL> m_calendar;
    ReminderLoop m_loop;
    std::unique_ptr<AutoSmsRunner> m_autoSms;
    AcknowledgementGate *m_ackGate = nullptr;
    bool m_quitting = false;

    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_stack = nullptr;
    std::array<BirthdayListModel *, CategoryCount> m_models {};
    std::array<QSortFilterProxyModel *, CategoryCount> m_proxies {}; // BirthdaySortModel
    std::array<QTableView *, CategoryCount> m_views {};
    std::array<QLabel *, 5> m_panels {};
    QLabel *m_tabName = nullptr;
    QLabel *m_tabCount = nullptr;
    QLabel *m_allCount = nullptr;
    QLineEdit *m_found = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_find = nullptr;
    QCheckBox *m_typeSel = nullptr;
    QPushButton *m_duanxin = nullptr;
    int m_heightWithoutSmsPanel = 0;
    // The last group send while some of its batches have not gone out: sending it again
    // continues it rather than sending the batches that went out a second time.
    std::optional<sms::GroupSend> m_unfinishedGroupSend;

    struct SmsPanelControls
    {
        QWidget *panel = nullptr;
        QComboBox *user = nullptr;
        QPushButton *balance = nullptr;
        QPushButton *price = nullptr;
        QListWidget *tmpList = nullptr;
        QLineEdit *tmpText = nullptr;
        QPushButton *tmpAdd = nullptr;
        QPushButton *tmpDel = nullptr;
        QPushButton *tmpCls = nullptr;
        QPushButton *tmpFAdd = nullptr;
        QLabel *selNums = nullptr;
        QLabel *tmpNums = nullptr;
        QLabel *telNums = nullptr;
        QPlainTextEdit *content = nullptr;
        QLabel *zfNums = nullptr;
        QLabel *fgNums = nullptr;
        QLabel *fgNums1 = nullptr;
        QLineEdit *yyGL = nullptr;
        QLineEdit *yyNl = nullptr;
        QComboBox *hour = nullptr;
        QComboBox *minute = nullptr;
        std::array<QPushButton *, 2> send {};
        QLabel *keywords = nullptr;
        QWidget *image2 = nullptr;
    } m_sms;
    QMenu *m_toolMenu = nullptr;
    QAction *m_notifyAction = nullptr;
    QAction *m_wnlAction = nullptr;
    QAction *m_exitAction = nullptr;
    QActionGroup *m_skins = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer3 = nullptr;
    QTimer *m_timerTray = nullptr;
    WindowMemory *m_memory = nullptr;
};

} // namespace natalis::app
