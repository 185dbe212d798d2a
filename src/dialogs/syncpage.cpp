#include "dialogs/syncpage.h"

#include "store/cardsync.h"
#include "store/categories.h"
#include "store/syncstate.h"
#include "sync/cardservice.h"
#include "sync/credentials.h"
#include "sync/serveraccounts.h"
#include "sync/syncservice.h"
#include "widgets/dialogparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace natalis::dialogs {

namespace {

QString lastSyncText(const QString &time, const QString &result)
{
    return time.isEmpty() ? u"尚未同步"_s
                          : QDateTime::fromString(time, Qt::ISODate).toString(u"yyyy-MM-dd HH:mm"_s)
            + u"  "_s + result;
}

} // namespace

ServerPage::ServerPage(store::Connection &connection, sync::ServerAccounts *accounts,
    ServerPageKind kind, QWidget *parent)
    : QWidget(parent), m_connection(connection), m_form(new QFormLayout(this)),
      m_accounts(accounts), m_kind(std::move(kind))
{
    const auto lineEdit = [this](const char *control, const QString &text) {
        auto *edit = new QLineEdit(text, this);
        edit->setObjectName(name(control));
        return edit;
    };
    m_server = lineEdit("txtServer", read(m_kind.serverKey));
    m_server->setPlaceholderText(u"https://example.com/ (留空则不同步)"_s);
    m_user = lineEdit("txtUser", read(m_kind.userKey));
    m_password = lineEdit("txtPassword", QString());
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(u"不修改则留空"_s);
    m_password->setEnabled(m_accounts != nullptr);
    m_collection = new QLineEdit(read(m_kind.collectionKey), this);
    m_collection->setObjectName(QString::fromLatin1(m_kind.collectionControl));
    m_collection->setPlaceholderText(m_kind.collectionPlaceholder);
    m_form->addRow(u"服务器地址:"_s, m_server);
    m_form->addRow(u"用户名:"_s, m_user);
    m_form->addRow(u"密码:"_s, m_password);
    m_form->addRow(m_kind.collectionCaption, m_collection);
    // Both pages have these rows: a reader names each by its page too.
    const QString subject = m_kind.prefix[0] ? u"通讯录"_s : u"日历"_s;
    widgets::nameForReader(m_server, subject + u"服务器地址"_s);
    widgets::nameForReader(m_user, subject + u"服务器用户名"_s);
    widgets::nameForReader(m_password, subject + u"服务器密码"_s, m_password->placeholderText());
}

QString ServerPage::name(const char *control) const
{
    // "txtServer" with the prefix "Card": "txtCardServer".
    const QString plain = QString::fromLatin1(control);
    return plain.left(3) + QString::fromLatin1(m_kind.prefix) + plain.mid(3);
}

QString ServerPage::read(QStringView key) const
{
    return store::readSyncSetting(m_connection, key);
}

bool ServerPage::write(QStringView key, const QString &value)
{
    return store::writeSyncSetting(m_connection, key, value);
}

void ServerPage::addClosingRows(std::function<void()> stopSync)
{
    m_test = widgets::namedButton(this, name("cmdTest"), u"测试连接"_s);
    widgets::nameForReader(m_test, (m_kind.prefix[0] ? u"测试通讯录连接"_s : u"测试日历连接"_s),
        u"用上面的地址、用户名和密码连接服务器"_s);
    m_testResult = widgets::namedLabel(this, name("lblTest"));
    m_testResult->setWordWrap(true);
    QLabel *last = widgets::namedLabel(this, name("lblLastSync"),
        lastSyncText(read(m_kind.lastTimeKey), read(m_kind.lastResultKey)));
    last->setWordWrap(true);
    m_form->addRow(m_test, m_testResult);
    m_form->addRow(u"上次同步:"_s, last);
    if (stopSync) {
        auto *stop = widgets::namedButton(this, name("cmdStopSync"), u"停止同步"_s);
        m_form->addRow(QString(), stop);
        connect(stop, &QPushButton::clicked, this, std::move(stopSync));
    }
    m_test->setEnabled(m_accounts != nullptr);
    connect(m_test, &QPushButton::clicked, this, &ServerPage::cmdTest_Click);
    if (!m_accounts)
        return;
    connect(m_accounts, &sync::ServerAccounts::waitingForServer, this, [this](int test) {
        if (test == m_runningTest)
            m_testResult->setText(sync::waitingForServerText());
    });
    connect(m_accounts, &sync::ServerAccounts::connectionTested, this,
        [this](int test, const sync::ConnectionTest &result, const QString &password) {
            if (test != m_runningTest)
                return;
            m_runningTest = 0;
            showTest(result, password);
        });
}

bool ServerPage::save()
{
    const QString server = m_server->text().trimmed();
    const QString collection = m_collection->text().trimmed();
    bool ok = true;
    // Another server or collection is found again by discovery at the next sync.
    if (server != read(m_kind.serverKey) || collection != read(m_kind.collectionKey))
        ok = write(m_kind.foundKey, QString());
    ok = write(m_kind.serverKey, server) && ok;
    ok = write(m_kind.userKey, m_user->text().trimmed()) && ok;
    ok = write(m_kind.collectionKey, collection) && ok;
    if (m_accounts && !m_password->text().isEmpty())
        m_accounts->keepPassword(
            sync::passwordAccount(m_user->text().trimmed(), QUrl(server).host()),
            m_password->text());
    return ok;
}

void ServerPage::cmdTest_Click()
{
    if (m_runningTest || !m_accounts)
        return;
    sync::SyncConfig config;
    config.server = m_server->text().trimmed();
    config.user = m_user->text().trimmed();
    m_test->setEnabled(false);
    m_testResult->setText(u"正在连接…"_s);
    m_runningTest = m_accounts->testConnection(m_kind.test, config, m_password->text());
}

void ServerPage::showTest(const sync::ConnectionTest &test, const QString &password)
{
    m_testResult->setText(test.text);
    m_test->setEnabled(true);
    if (!test.elsewhere.isValid())
        return;
    const QString address = test.elsewhere.toString();
    const auto answer = QMessageBox::question(this, u"服务器转到另一地址"_s,
        u"服务器把连接转到了另一地址:\n%1\n\n是否信任该地址, 把密码发往那里并改用它?"_s.arg(
            address));
    if (answer != QMessageBox::Yes)
        return;
    m_server->setText(address);
    // Kept for the new address when the page is saved: the user has just chosen to send it there.
    if (m_password->text().isEmpty())
        m_password->setText(password);
    cmdTest_Click();
}

SyncPage::SyncPage(store::Connection &connection, sync::ServerAccounts *accounts,
    std::function<void()> stopSync, QWidget *parent)
    : ServerPage(connection, accounts,
        { "", store::SyncServerKey, store::SyncUserKey, store::SyncCalendarKey,
            store::SyncLastTimeKey, store::SyncLastResultKey, u"calendarUrl", "txtCalendar",
            u"日历:"_s, u"生日提醒"_s, &sync::testConnection },
        parent)
{
    setObjectName(u"SyncPage"_s);
    m_years = new QSpinBox(this);
    m_years->setObjectName(u"spnYears"_s);
    m_years->setRange(1, 50);
    bool ok = false;
    const int years = read(store::SyncYearsKey).toInt(&ok);
    m_years->setValue(ok && years > 0 ? years : sync::DefaultSyncYears);
    m_festivals = new QCheckBox(u"同步节日和节气(单独的日历)"_s, this);
    m_festivals->setObjectName(u"chkSyncFestivals"_s);
    m_festivals->setChecked(read(store::SyncFestivalsKey) == u"1");
    m_form->addRow(u"提前生成年数:"_s, m_years);
    m_form->addRow(QString(), m_festivals);
    addClosingRows(std::move(stopSync));
}

bool SyncPage::save()
{
    bool ok = ServerPage::save();
    ok = write(store::SyncYearsKey, QString::number(m_years->value())) && ok;
    return write(store::SyncFestivalsKey, m_festivals->isChecked() ? u"1"_s : u"0"_s) && ok;
}

CardSyncPage::CardSyncPage(store::Connection &connection, sync::ServerAccounts *accounts,
    std::function<void()> stopSync, std::function<void(sync::DeletionChoice)> resolveDeletions,
    QWidget *parent)
    : ServerPage(connection, accounts,
        { "Card", store::SyncCardServerKey, store::SyncCardUserKey, store::SyncAddressBookKey,
            store::SyncCardLastTimeKey, store::SyncCardLastResultKey, store::SyncAddressBookUrlKey,
            "txtAddressBook", u"通讯录:"_s, u"生日"_s, &sync::testAddressBookConnection },
        parent)
{
    setObjectName(u"CardSyncPage"_s);
    m_category = new QComboBox(this);
    m_category->setObjectName(u"cboCardCategory"_s);
    for (QStringView name : store::CategoryNames)
        m_category->addItem(name.toString());
    const int chosen = store::categoryIndex(read(store::SyncCardCategoryKey));
    m_category->setCurrentIndex(chosen >= 0 ? chosen : store::categoryIndex(u"朋友"));
    m_form->addRow(u"新名片的类别:"_s, m_category);
    widgets::nameForReader(m_category, u"新名片的类别"_s, u"从通讯录新来的生日归入的类别"_s);
    addClosingRows(std::move(stopSync));
    if (resolveDeletions && !read(sync::CardDeletionsHeldKey).isEmpty())
        addDeletionQuestion(std::move(resolveDeletions));
}

void CardSyncPage::addDeletionQuestion(std::function<void(sync::DeletionChoice)> resolveDeletions)
{
    // The held sync's own text, which ends in the question.
    QLabel *question =
        widgets::namedLabel(this, u"lblDeletionsHeld"_s, read(sync::CardDeletionsHeldKey));
    question->setWordWrap(true);
    auto *restore = widgets::namedButton(this, u"cmdRestoreServer"_s, u"把本机的生日放回服务器"_s);
    auto *accept = widgets::namedButton(this, u"cmdAcceptDeletions"_s, u"在本机也删除"_s);
    m_form->addRow(question);
    // The two answers side by side, as alike as the question makes them.
    auto *answers = new QHBoxLayout;
    answers->addWidget(restore);
    answers->addWidget(accept);
    answers->addStretch();
    m_form->addRow(answers);
    const auto choose = [=, this](sync::DeletionChoice choice) {
        restore->setEnabled(false);
        accept->setEnabled(false);
        question->setText(u"已开始同步, 结果见状态栏"_s);
        resolveDeletions(choice);
    };
    connect(
        restore, &QPushButton::clicked, this, [=] { choose(sync::DeletionChoice::RestoreServer); });
    connect(accept, &QPushButton::clicked, this,
        [=] { choose(sync::DeletionChoice::AcceptDeletions); });
}

bool CardSyncPage::save()
{
    const bool ok = ServerPage::save();
    return write(store::SyncCardCategoryKey, m_category->currentText()) && ok;
}

} // namespace natalis::dialogs
