#pragma once

#include "birthdays/changeorigin.h"
#include "dialogs/birthdaylistmodel.h"
#include "store/backups.h"
#include "store/birthdayedit.h"
#include "store/birthdays.h"
#include "sync/deletionguard.h"
#include "widgets/desktopopen.h"
#include "widgets/modalrunner.h"

#include <QMainWindow>
#include <QMenu>
#include <QSet>
#include <array>
#include <functional>

class QAction;
class QActionGroup;
class QCheckBox;
class QLabel;
class QLayout;
class QLineEdit;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QStackedWidget;
class QTabBar;
class QTableView;
class QUndoStack;

namespace natalis::desktop {
class MusicPlayer;
} // namespace natalis::desktop

namespace natalis::dialogs {
class ListColumns;
class SearchPage;
class UpcomingPage;
} // namespace natalis::dialogs

namespace natalis::platform {
class Clock;
class MessageSink;
enum class MessageButton;
enum class MessageButtons;
enum class MessageIcon;
} // namespace natalis::platform

namespace natalis::session {
struct AppContext;
} // namespace natalis::session

namespace natalis::widgets {
class WindowMemory;
} // namespace natalis::widgets

namespace natalis::birthdays {
class BirthdayService;
}

namespace natalis::app {

enum class ImportMenu;

class SmsPanel;

// The main window: one birthday list per category, the buttons around them, the menus, the
// status bar and the SMS panel. It draws and forwards: the tray, the reminders, the timers and
// the calendar belong to the Application, which hears through the signals below what the user
// asked for. Every birthday change goes through the birthday service, whose changes the lists
// follow. Its close box never ends the program; that is "退出(&E)".
class frmGet : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int CategoryCount = 8;
    // The tab after the categories: the birthdays of the next 30 days from every list.
    static constexpr int UpcomingTab = CategoryCount;

    // music: the player the settings dialog tries a file with; null for none. service outlives
    // the window.
    frmGet(session::AppContext &context, birthdays::BirthdayService &service,
        platform::MessageSink &messages, const platform::Clock &clock,
        desktop::MusicPlayer *music = nullptr, QWidget *parent = nullptr);
    ~frmGet() override;

    // The load handler's work after construction: remembered geometry, skin, lists, the start-up
    // tab, the status texts and the SMS accounts.
    void load();

    // Refills all eight lists from the birthday array.
    void MyDisplayBirth();
    // Count labels and the enabled state of edit, delete and find for category index 0..7.
    void ProcCmd(int index);
    int myAllNums() const;
    void ApplySkin();
    // The menu entries a modal dialog must keep from acting (the tray shows the same menu).
    void EnableOther();
    void DisableOther();
    // 1 while a modal dialog or message of this window is up, 2 while a date picker opened from
    // the editor is up, 0 otherwise.
    int ModalBusy = 0;

    // "下次生日" and "年龄" as they stand on today.
    void setToday(const QDate &today);

    dialogs::BirthdayListModel *listModel(int index) const { return m_models[index]; }
    QTableView *listView(int index) const { return m_views[index]; }
    int currentCategory() const;
    SmsPanel &smsPanel() const { return *m_smsPanel; }
    // "操作", which the tray icon offers too.
    QMenu *toolMenu() const { return m_toolMenu; }
    QString statusText(int panel) const; // panels 1..5
    void setStatus(int panel, const QString &text);

    // "生日设置(&S)": the window shown normally, raised and active.
    void showInFront();
    // "生日提醒(&T)": asks for the birthday calendar unless a modal dialog is up.
    void mnuNotify_Click();
    // A later start of the program named dbPath: when that is another database than this one,
    // the user is told that this program keeps its own file.
    void anotherStartAsked(const QString &dbPath);
    // Stores the geometry and the column widths for the next start.
    void keepWindowState();
    // The program ends: the close is accepted this time.
    void closeForGood();

    // The birthday actions; the editor is opened through openEditor, which tests replace.
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdDel_Click();
    std::function<bool(store::BirthdayEdit &buffer, bool batch)> openEditor =
        [this](store::BirthdayEdit &buffer, bool batch) { return runEditor(buffer, batch); };

    // The file menu and the settings button.
    void exportBirthdays(bool csv);
    void importBirthdays(ImportMenu menu);
    void addPhoneMenu(QMenu *file); // frmget_phone.cpp
    void cmdSetup_Click();
    // "从备份恢复…" in the file menu: reads the backups on a worker and returns; the choice
    // follows once they are read, with the entry off meanwhile.
    void mnuRestore_Click();

    // The SMS panel folds out under the lists; while it is open the lists take ticks.
    void cmdDuanxin_Click(); // opens or closes the panel
    void Image2_Click(); // closes it
    void chkTypeSel_Click(bool checked);

    // What tests replace: the shell's "open" action and the runner of the window's dialogs.
    // failed runs, maybe later, when the desktop has nothing that shows the file.
    std::function<void(const QString &path, std::function<void()> failed)> openDocument =
        [this](const QString &path, std::function<void()> failed) {
            widgets::openWithDesktop(path, this, std::move(failed));
        };
    widgets::ModalRunner runDialog = [](QDialog &dialog) { dialog.exec(); };
    // The listing of the backups "从备份恢复…" offers; it runs on a worker.
    std::function<QList<store::BackupEntry>(
        const QString &dbPath, const store::BackupListingProgress &progress)>
        readBackups = [](const QString &dbPath, const store::BackupListingProgress &progress) {
            return store::listBackups(dbPath, progress);
        };
    // Stops a sync under way; the settings dialog's sync pages offer it when set.
    std::function<void()> stopSync;
    // Syncs the address book with the user's answer to deletions a sync held back; the settings
    // dialog's address-book page asks when set.
    std::function<void(sync::DeletionChoice)> resolveDeletions;
    // The runner of the window's pop-up menus (column choice, the lists' context menus).
    std::function<void(QMenu &menu, const QPoint &at)> runMenu = [](QMenu &menu, const QPoint &at) {
        menu.exec(at);
    };

Q_SIGNALS:
    // The calendar window: the birthday calendar, or the perpetual calendar when plainMode.
    void calendarRequested(bool plainMode);
    // The close box or "关闭(&E)": out of the way, into the tray where there is one.
    void putAwayRequested();
    // "退出(&E)".
    void quitRequested();
    // The settings have changed: the reminders are out of date.
    void remindersOutdated();
    // The window has been shown.
    void shown();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Brackets every modal dialog and message of this window: ModalBusy is 1 and the tray
    // menu's calendar and exit entries are off for as long as the guard lives.
    class ModalBracket
    {
    public:
        explicit ModalBracket(frmGet &window) : m_window(window) { m_window.setModal(true); }
        ~ModalBracket() { m_window.setModal(false); }
        ModalBracket(const ModalBracket &) = delete;
        ModalBracket &operator=(const ModalBracket &) = delete;

    private:
        frmGet &m_window;
    };

    // frmget_store.cpp: the backups read, the user chooses one and confirms the restore.
    void offerBackups(const QList<store::BackupEntry> &backups);

    void buildMenus(); // frmget_menus.cpp, with the pop-up menus and what the entries do
    void buildFileMenu();
    void buildEditMenu();
    void buildToolMenu();
    void buildSkinMenu();
    // The keys of the window that no button or menu entry carries: moving between the tabs.
    void buildKeys();
    void buildLists();
    // The band under the lists: the counts, the buttons and the folded SMS panel.
    void buildControls(); // frmget_band.cpp, with the counts and the find box
    QLayout *buildCounts(QWidget *shape);
    QLayout *buildButtons(QWidget *shape);
    void buildSmsPanel(); // frmget_sms.cpp, with the panel's folding
    // The caption of the button that folds the panel out or in.
    static QString smsPanelCaption(bool open);
    void buildStatusBar();
    void setModal(bool busy);
    void showSmsPanel(bool open);
    void resizeForSmsPanel(bool open);

    void TabStrip1_Click(int index);
    // The search field with its hits, and the upcoming birthdays' tab; a row chosen in either
    // shows in its own list, selected.
    void buildPages(QLayout *tabRow);
    // The list index with the rows ids selected, the first one current and scrolled to.
    void showRows(int index, const QList<qint32> &ids);
    // The rows that undo or redo brought back or changed, selected so that the next key acts
    // on them; nothing is selected when they were all taken away.
    void showUids(const QList<QUuid> &uids);
    // The page the current tab stands for, unless the search shows its hits.
    void showCurrentPage();
    void refreshUpcoming();
    // A list's own menu: edit, delete, an SMS to the chosen rows, their numbers copied.
    void showListMenu(int index, const QPoint &at);
    void smsToSelected();
    void copySelectedPhones();
    // False while the search's hits or the upcoming birthdays stand in for the lists.
    bool listShown() const;
    void cmdFind_Click();
    void listDoubleClicked(int index);
    void chooseSkin(int skin);
    void openHelp();
    // A failed write's message: what it ran into (a full disk, a read-only file, another
    // program), then rest.
    QString writeFailure(const QString &rest) const;
    bool runEditor(store::BirthdayEdit &buffer, bool batch);
    platform::MessageButton ask(const QString &text, const QString &title,
        platform::MessageIcon icon, platform::MessageButtons buttons);
    void tell(const QString &text, const QString &title);
    QList<qint32> selectedIds(int index) const;
    store::BirthdayEdit bufferFromRow(const dialogs::BirthdayListModel &model, int row) const;
    // The loaded birthday with this Id; a blank record when there is none.
    store::BirthdayRecord loadedRecord(qint32 id) const;
    // The service's changes: the window's own actions show their rows in place themselves; any
    // other change refills the lists, and an undo or a redo selects the rows it brought back.
    void birthdaysChanged(const birthdays::BirthdayChanges &changes);
    // A change of the window's own failed or was refused: the status bar and a box say so.
    void tellFailure(const QString &message, const QString &title);
    // The lists read the birthdays just loaded, letting go of the ones before.
    void rebindLists();
    void refreshAllLists();
    // Runs an import through the service, as one undo step.
    void importWith(const std::function<bool()> &import);
    void editOne(int index, qint32 id);
    void editSeveral(int index, const QList<qint32> &ids);

    session::AppContext &m_context;
    birthdays::BirthdayService &m_service;
    // True while an action of this window writes: it shows its rows itself.
    bool m_writing = false;
    platform::MessageSink &m_messages;
    const platform::Clock &m_clock;
    desktop::MusicPlayer *m_music;
    bool m_closing = false;

    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_stack = nullptr;
    std::array<dialogs::BirthdayListModel *, CategoryCount> m_models {};
    std::array<QSortFilterProxyModel *, CategoryCount> m_proxies {}; // BirthdaySortModel
    std::array<QTableView *, CategoryCount> m_views {};
    std::array<QLabel *, 5> m_panels {};
    QLabel *m_tabName = nullptr;
    QLabel *m_tabCount = nullptr;
    QLabel *m_allCount = nullptr;
    QLineEdit *m_found = nullptr;
    dialogs::SearchPage *m_search = nullptr;
    dialogs::UpcomingPage *m_upcoming = nullptr;
    int m_category = 0;
    dialogs::ListColumns *m_columns = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_find = nullptr;
    QCheckBox *m_typeSel = nullptr;
    QPushButton *m_duanxin = nullptr;
    SmsPanel *m_smsPanel = nullptr;
    int m_heightWithoutSmsPanel = 0;
    QMenu *m_toolMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QUndoStack *m_undo = nullptr;
    QAction *m_notifyAction = nullptr;
    QAction *m_wnlAction = nullptr;
    QAction *m_exitAction = nullptr;
    QAction *m_helpAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QActionGroup *m_skins = nullptr;
    widgets::WindowMemory *m_memory = nullptr;
};

} // namespace natalis::app
