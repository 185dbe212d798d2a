#pragma once

#include "store/settingsrecord.h"
#include "sync/deletionguard.h"
#include "widgets/modalrunner.h"

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace natalis::desktop {
class AutoStart;
class DesktopShortcut;
class MusicPlayer;
} // namespace natalis::desktop

namespace natalis::platform {
class MessageSink;
} // namespace natalis::platform

namespace natalis::store {
class Connection;
}

namespace natalis::sync {
class ServerAccounts;
}

namespace natalis::dialogs {

class CardSyncPage;
class SyncPage;
class AwayPage;

// The reminder settings: methods and times, music, festivals, start-up tab, autostart, desktop
// shortcut and the class lists of the four business categories. The settings are written only
// by cmdOK; class-list changes are written at once.
class frmSetup : public QDialog
{
    Q_OBJECT

public:
    struct Services
    {
        store::Connection &connection;
        platform::MessageSink &messages;
        desktop::MusicPlayer *music = nullptr; // none: 试听 and 停止 stay silent
        desktop::AutoStart &autoStart;
        desktop::DesktopShortcut &shortcut;
        QString program; // the executable, for autostart and the shortcut
        QString dbPath; // handed to the autostarted program
        int skin = 1;
        widgets::ModalRunner runModal; // runs the music file chooser
        // Keeps the servers' passwords and tests the connections; none: the server pages offer
        // neither.
        sync::ServerAccounts *accounts = nullptr;
        std::function<void()> stopSync = {}; // none: the sync pages have no stop button
        // None: the address-book page does not ask about deletions a sync held back.
        std::function<void(sync::DeletionChoice)> resolveDeletions = {};
    };

    frmSetup(const store::SettingsRecord &settings, Services services, QWidget *parent = nullptr);

    // Valid after cmdOK has written the settings: the record as stored.
    bool isSaved() const { return m_saved; }
    const store::SettingsRecord &savedSettings() const { return m_settings; }
    QString statusText() const;

    void cmdOK_Click();
    void cmdNo_Click();
    void cmdMc_Click();
    void cmdPlay_Click();
    void cmdStop_Click();
    void cmdRun_Click();
    void cmdLnk_Click();
    void TabStrip1_Click(int tab); // 1..4
    void cmdTsBmAdd_Click();
    void cmdTsBmDel_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Method
    {
        QCheckBox *main;
        QCheckBox *atStart;
        QCheckBox *atTime;
        QComboBox *hour;
    };

    void buildControls();
    QWidget *buildMethods();
    QWidget *buildMusicFile();
    QWidget *buildFestivals();
    QWidget *buildRunMode();
    QWidget *buildClassLists();
    Method buildMethod(const QString &caption, const char *main, const char *init, const char *time,
        const char *hour);
    void loadSettings();
    void loadClassLists();
    void showAutoStart(bool on);
    void updateDependents();
    void updateClassButtons();
    QListWidget *currentClassList() const;
    store::SettingsRecord settingsFromControls();

    store::SettingsRecord m_settings;
    Services m_services;
    bool m_saved = false;
    std::array<Method, 3> m_methods {};
    QLabel *m_musicLabel = nullptr;
    QLineEdit *m_musicFile = nullptr;
    std::array<QPushButton *, 3> m_musicButtons {};
    QListWidget *m_festivals = nullptr;
    QComboBox *m_nums = nullptr;
    QComboBox *m_initType = nullptr;
    QCheckBox *m_run = nullptr;
    QPushButton *m_runButton = nullptr;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_classStack = nullptr;
    std::array<QListWidget *, 4> m_classLists {};
    QLineEdit *m_classText = nullptr;
    QPushButton *m_classAdd = nullptr;
    QPushButton *m_classDel = nullptr;
    QLabel *m_status = nullptr;
    SyncPage *m_syncPage = nullptr;
    CardSyncPage *m_cardSyncPage = nullptr;
    AwayPage *m_awayPage = nullptr;
};

} // namespace natalis::dialogs
