#pragma once

#include "sms/gatewayworker.h"
#include "sms/smsaccounts.h"
#include "sms/smsgateway.h"
#include "sms/smssetup.h"
#include "store/settingsrecord.h"

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace natalis::platform {
class MessageSink;
} // namespace natalis::platform

namespace natalis::store {
class Connection;
}

namespace natalis::dialogs {

// The SMS settings: the two gateway accounts and their registration, the gateway address and
// proxy, the automatic greeting of each category, the sending time, the signature and the log
// retention. Account changes are stored at once (the accounts table and the settings as they
// stand in `settings`); everything else, the gateway address included, only by cmdOK.
class frmDxSetup : public QDialog
{
    Q_OBJECT

public:
    struct Services
    {
        store::Connection &connection;
        platform::MessageSink &messages;
        store::SettingsRecord &settings; // the program's settings, replaced by a saved cmdOK
        sms::SmsAccountTable &accounts; // the program's accounts, changed by (un)registering
        QString computerName; // source of the registration key
        // The process's gateway (processSmsGateway); the dialog's calls go there, to the
        // address as typed, so that a proxy set here holds for every later call.
        sms::GatewayWorker &gateway;
        int skin = 1;
    };

    explicit frmDxSetup(Services services, QWidget *parent = nullptr);
    ~frmDxSetup() override;

    bool isSaved() const { return m_saved; }
    // True once an account was registered or unregistered: the main window refills its lists.
    bool accountsChanged() const { return m_accountsChanged; }
    QString statusText() const;

    void cmdZhuCe_Click(int entry); // 1..2
    void cmdZhuXiao_Click(int entry); // 1..2
    void cmdDL_Click();
    void cmdOK_Click();
    void cmdNo_Click();

    // Refused while a gateway call is under way.
    void reject() override;

private:
    struct Account
    {
        QLineEdit *user;
        QLineEdit *password;
        QPushButton *zhuCe;
        QPushButton *zhuXiao;
    };
    struct Category
    {
        QCheckBox *flag;
        QComboBox *user;
        QComboBox *tqDays;
        QLineEdit *content;
        QLabel *characters;
        QLabel *mobileMessages;
        QLabel *phsMessages;
    };

    void buildControls();
    QWidget *buildAccounts();
    QWidget *buildProxy();
    void nameAccount(const Account &account, const QString &kind);
    void nameCategory(const Category &category, const QString &kind);
    QWidget *buildCategories();
    QWidget *buildCommon();
    void loadControls();
    void fillAccountLists(const sms::SmsSetupInput &selection);
    void showAccountStates();
    void showCounters(int category);
    void report(const sms::SmsSetupOutcome &outcome);
    void callGateway(
        sms::GatewayCall call, std::function<sms::SmsSetupOutcome(sms::GatewayResult)> outcome);
    void setCalling(bool calling);
    // Refuses an address the client cannot use; true when it may be saved.
    bool checkAddress();
    sms::SmsSetupInput inputFromControls() const;

    Services m_services;
    bool m_saved = false;
    bool m_accountsChanged = false;
    bool m_calling = false; // a gateway call is under way
    QString m_storedAddress; // the address as stored when the dialog opened
    std::array<Account, 2> m_accounts {};
    QLineEdit *m_address = nullptr;
    std::array<QLineEdit *, 4> m_proxy {};
    std::array<Category, 8> m_categories {};
    QComboBox *m_sendTime = nullptr;
    QLineEdit *m_signature = nullptr;
    QComboBox *m_retention = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace natalis::dialogs
