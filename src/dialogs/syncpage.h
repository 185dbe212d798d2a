#pragma once

#include "sync/deletionguard.h"

#include <QStringView>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace natalis::store {
class Connection;
}

namespace natalis::sync {
class ServerAccounts;
struct SyncConfig;
struct ConnectionTest;
} // namespace natalis::sync

namespace natalis::dialogs {

// What a server page is called and where it keeps its choices among the sync settings.
struct ServerPageKind
{
    const char *prefix; // before the control names: "" gives txtServer, "Card" txtCardServer
    QStringView serverKey, userKey, collectionKey, lastTimeKey, lastResultKey;
    QStringView foundKey; // the collection's address discovery found; forgotten on a change
    const char *collectionControl; // "txtCalendar"
    QString collectionCaption; // "日历:"
    QString collectionPlaceholder; // the name a collection made by the program gets
    // The connection test, run by ServerAccounts on a worker: discovery and the collections found,
    // as one line; waiting is called while the server keeps a request waiting.
    sync::ConnectionTest (*test)(const sync::SyncConfig &config, const QString &password,
        const std::function<void()> &waiting);
};

// The parts the sync pages share: the server, the account, the collection, "测试连接", the last
// sync's outcome and "停止同步". The password goes to the desktop's secret store, never to the
// database; ServerAccounts keeps it and runs the test, and the page shows what it answers.
class ServerPage : public QWidget
{
    Q_OBJECT

public:
    // Writes the page's choices; false on a write error. A password typed in goes to the
    // secret store through ServerAccounts.
    virtual bool save();

    void cmdTest_Click();

protected:
    // accounts may be null: the password field and the test are then not offered.
    ServerPage(store::Connection &connection, sync::ServerAccounts *accounts, ServerPageKind kind,
        QWidget *parent);
    // The rows after the page's own choices; stopSync none: no "停止同步" button.
    void addClosingRows(std::function<void()> stopSync);
    QString read(QStringView key) const;
    bool write(QStringView key, const QString &value);

    store::Connection &m_connection;
    QFormLayout *m_form = nullptr;

private:
    QString name(const char *control) const;
    // Shows the test's outcome; an address on another origin is offered to the user, who may
    // move the page to it and test again with the same password.
    void showTest(const sync::ConnectionTest &test, const QString &password);

    sync::ServerAccounts *m_accounts;
    ServerPageKind m_kind;
    QLineEdit *m_server = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_collection = nullptr;
    QPushButton *m_test = nullptr;
    QLabel *m_testResult = nullptr;
    int m_runningTest = 0; // the number of the test under way; 0: none
};

// The settings dialog's "日历同步" page: the calendar the birthdays go to, the years ahead and
// the festivals.
class SyncPage : public ServerPage
{
public:
    // stopSync stops the program's sync under way; none: no "停止同步" button.
    SyncPage(store::Connection &connection, sync::ServerAccounts *accounts,
        std::function<void()> stopSync, QWidget *parent = nullptr);

    bool save() override;

private:
    QSpinBox *m_years = nullptr;
    QCheckBox *m_festivals = nullptr;
};

// The settings dialog's "通讯录同步" page: the address book that keeps one list for several
// computers and phones, and the category of the cards new to this list. When the last sync held
// deletions back, it asks what to do: put the list back on the server, or delete here too.
class CardSyncPage : public ServerPage
{
public:
    // resolveDeletions runs the sync with the answer; none: the page does not ask.
    CardSyncPage(store::Connection &connection, sync::ServerAccounts *accounts,
        std::function<void()> stopSync,
        std::function<void(sync::DeletionChoice)> resolveDeletions = {}, QWidget *parent = nullptr);

    bool save() override;

private:
    void addDeletionQuestion(std::function<void(sync::DeletionChoice)> resolveDeletions);

    QComboBox *m_category = nullptr;
};

} // namespace natalis::dialogs
