#include "dialogs/syncpage.h"

#include "store/syncstate.h"
#include "sync/credentials.h"
#include "sync/syncservice.h"
#include "widgets/dialogparts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace natalis::app {

namespace {

QLineEdit *lineEdit(const char *name, const QString &text, QWidget *parent)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

SyncPage::SyncPage(store::Connection &connection, std::shared_ptr<sync::PasswordStore> passwords,
    std::function<void()> stopSync, QWidget *parent)
    : QWidget(parent), m_connection(connection), m_passwords(std::move(passwords))
{
    setObjectName(u"SyncPage"_s);
    auto read = [&](QStringView key) { return store::readSyncSetting(connection, key); };
    auto *form = new QFormLayout(this);
    m_server = lineEdit("txtServer", read(store::SyncServerKey), this);
    m_server->setPlaceholderText(u"https://example.com/ (留空则不同步)"_s);
    m_user = lineEdit("txtUser", read(store::SyncUserKey), this);
    m_password = lineEdit("txtPassword", QString(), this);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(u"不修改则留空"_s);
    m_password->setEnabled(m_passwords != nullptr);
    m_calendar = lineEdit("txtCalendar", read(store::SyncCalendarKey), this);
    m_calendar->setPlaceholderText(u"生日提醒"_s);
    m_years = new QSpinBox(this);
    m_years->setObjectName(u"spnYears"_s);
    m_years->setRange(1, 50);
    bool ok = false;
    const int years = read(store::SyncYearsKey).toInt(&ok);
    m_years->setValue(ok && years > 0 ? years : sync::DefaultSyncYears);
    m_festivals = new QCheckBox(u"同步节日和节气(单独的日历)"_s, this);
    m_festivals->setObjectName(u"chkSyncFestivals"_s);
    m_festivals->setChecked(read(store::SyncFestivalsKey) == u"1");
    m_test = namedButton(this, u"cmdTest"_s, u"测试连接"_s);
    m_testResult = namedLabel(this, u"lblTest"_s);
    m_testResult->setWordWrap(true);
    const QString lastTime = read(store::SyncLastTimeKey);
    m_last = namedLabel(this, u"lblLastSync"_s,
        lastTime.isEmpty()
            ? u"尚未同步"_s
            : QDateTime::fromString(lastTime, Qt::ISODate).toString(u"yyyy-MM-dd HH:mm"_s) + u"  "_s
                + read(store::SyncLastResultKey));
    m_last->setWordWrap(true);

    form->addRow(u"服务器地址:"_s, m_server);
    form->addRow(u"用户名:"_s, m_user);
    form->addRow(u"密码:"_s, m_password);
    form->addRow(u"日历:"_s, m_calendar);
    form->addRow(u"提前生成年数:"_s, m_years);
    form->addRow(QString(), m_festivals);
    form->addRow(m_test, m_testResult);
    form->addRow(u"上次同步:"_s, m_last);
    if (stopSync) {
        auto *stop = namedButton(this, u"cmdStopSync"_s, u"停止同步"_s);
        form->addRow(QString(), stop);
        connect(stop, &QPushButton::clicked, this, std::move(stopSync));
    }
    connect(m_test, &QPushButton::clicked, this, &SyncPage::cmdTest_Click);
}

SyncPage::~SyncPage()
{
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
}

bool SyncPage::save()
{
    const QString server = m_server->text().trimmed();
    const QString calendar = m_calendar->text().trimmed();
    bool ok = true;
    // Another server or calendar is found again by discovery at the next sync.
    if (server != store::readSyncSetting(m_connection, store::SyncServerKey)
        || calendar != store::readSyncSetting(m_connection, store::SyncCalendarKey))
        ok = store::writeSyncSetting(m_connection, u"calendarUrl", QString());
    for (const auto &[key, value] : { std::pair { store::SyncServerKey, server },
             { store::SyncUserKey, m_user->text().trimmed() }, { store::SyncCalendarKey, calendar },
             { store::SyncYearsKey, QString::number(m_years->value()) },
             { store::SyncFestivalsKey, m_festivals->isChecked() ? u"1"_s : u"0"_s } })
        ok = store::writeSyncSetting(m_connection, key, value) && ok;
    if (m_passwords && !m_password->text().isEmpty()) {
        const QString account =
            sync::passwordAccount(m_user->text().trimmed(), QUrl(server).host());
        // The worker owns what it needs: the page may close before the store answers.
        QThread *writer =
            QThread::create([passwords = m_passwords, account, password = m_password->text()] {
                passwords->write(account, password, nullptr);
            });
        connect(writer, &QThread::finished, writer, &QObject::deleteLater);
        writer->start();
    }
    return ok;
}

void SyncPage::cmdTest_Click()
{
    if (m_worker)
        return;
    sync::SyncConfig config;
    config.server = m_server->text().trimmed();
    config.user = m_user->text().trimmed();
    m_test->setEnabled(false);
    m_testResult->setText(u"正在连接…"_s);
    m_worker = QThread::create([this, config, typed = m_password->text(), passwords = m_passwords] {
        QString password = typed;
        if (password.isEmpty() && passwords)
            password =
                passwords
                    ->read(sync::passwordAccount(config.user, QUrl(config.server).host()), nullptr)
                    .value_or(QString());
        const QString text = sync::testConnection(config, password);
        QMetaObject::invokeMethod(this, [this, text] {
            m_testResult->setText(text);
            m_test->setEnabled(true);
            m_worker->wait();
            delete m_worker;
            m_worker = nullptr;
        });
    });
    m_worker->start();
}

} // namespace natalis::app
