#pragma once

#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QThread;

namespace natalis::store {
class Connection;
}

namespace natalis::sync {
class PasswordStore;
}

namespace natalis::app {

// The settings dialog's "日历同步" page: the server, the account and the calendar the
// birthdays go to, the years ahead and the festivals, "测试连接", and the last sync's outcome.
// The password goes to the desktop's secret store, never to the database.
class SyncPage : public QWidget
{
    Q_OBJECT

public:
    // passwords may be null: the password field is then not offered.
    // stopSync stops the program's sync under way; none: no "停止同步" button.
    SyncPage(store::Connection &connection, std::shared_ptr<sync::PasswordStore> passwords,
        std::function<void()> stopSync, QWidget *parent = nullptr);
    ~SyncPage() override; // waits for a connection test under way

    // Writes the page's choices; false on a write error. A password typed in goes to the
    // secret store on a worker.
    bool save();

    void cmdTest_Click();

private:
    store::Connection &m_connection;
    std::shared_ptr<sync::PasswordStore> m_passwords;
    QLineEdit *m_server = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_calendar = nullptr;
    QSpinBox *m_years = nullptr;
    QCheckBox *m_festivals = nullptr;
    QPushButton *m_test = nullptr;
    QLabel *m_testResult = nullptr;
    QLabel *m_last = nullptr;
    QThread *m_worker = nullptr;
};

} // namespace natalis::app
