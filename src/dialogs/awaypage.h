#pragma once

#include <QWidget>
#include <memory>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace natalis::store {
class Connection;
}
namespace natalis::sync {
class ServerAccounts;
}

namespace natalis::dialogs {

// The settings page 外出提醒: the day's reminder to the user's own mailbox and phone. The
// mailbox password (an app password or authorisation code) goes to the keyring, never the
// database; an empty password field keeps the stored one.
class AwayPage : public QWidget
{
    Q_OBJECT
public:
    AwayPage(
        store::Connection &connection, sync::ServerAccounts *accounts, QWidget *parent = nullptr);

    // Writes the settings, and the password off the window thread. False on a database error.
    bool save();

private:
    store::Connection &m_connection;
    sync::ServerAccounts *m_accounts;
    QCheckBox *m_mailOn = nullptr;
    QLineEdit *m_smtpUrl = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_mailTo = nullptr;
    QCheckBox *m_smsOn = nullptr;
    QLineEdit *m_smsTo = nullptr;
    QSpinBox *m_hour = nullptr;
    QCheckBox *m_weekly = nullptr;
};

} // namespace natalis::dialogs
