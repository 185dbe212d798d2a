#include "dialogs/frmdxsetup.h"

#include "platform/messagesink.h"
#include "sms/gatewayaddress.h"
#include "sms/httpsmsgateway.h"
#include "store/categories.h"
#include "store/settings.h"
#include "widgets/dialogparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace natalis::dialogs {

namespace {

constexpr int LongestTqDays = 9;

// An address of another scheme is not saved: the client could not use it.
constexpr QStringView GatewayAddressRefusedText =
    u"短信网关地址只能以http://或https://开头(https会校验网关的证书),请重新输入!";

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(index);
}

QLineEdit *lineEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QComboBox *comboBox(const QString &name, const QStringList &items, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    return box;
}

QLabel *counter(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    return label;
}

// An example beside its field. It is drawn in the window's own text colour: the greyed colour of
// a disabled label does not read on a dark window.
QLabel *hint(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

bool registered(const sms::SmsAccount &account)
{
    return account.flag.trimmed() == QStringLiteral("1");
}

} // namespace

frmDxSetup::frmDxSetup(Services services, QWidget *parent)
    : QDialog(parent), m_services(std::move(services))
{
    setObjectName(QStringLiteral("frmDxSetup"));
    setWindowTitle(sms::SmsSetupTitle.toString());
    buildControls();
    loadControls();
    widgets::applyListSkin(this, m_services.skin);
}

frmDxSetup::~frmDxSetup() = default;

void frmDxSetup::buildControls()
{
    auto *buttons = new QDialogButtonBox(this);
    auto *ok = actButton(buttons, QStringLiteral("cmdOK"), widgets::WindowAct::Accept);
    auto *no = actButton(buttons, QStringLiteral("cmdNo"), widgets::WindowAct::Reject);

    auto *upper = new QHBoxLayout;
    upper->addWidget(buildAccounts(), 1);
    upper->addWidget(buildProxy());

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(upper);
    layout->addWidget(buildCategories());
    layout->addWidget(buildCommon());
    layout->addWidget(buttons);
    m_status = widgets::addStatusPanel(layout, this);

    connect(ok, &QPushButton::clicked, this, &frmDxSetup::cmdOK_Click);
    connect(no, &QPushButton::clicked, this, &frmDxSetup::cmdNo_Click);
}

QWidget *frmDxSetup::buildAccounts()
{
    auto *frame = new QGroupBox(QStringLiteral("短信账号"), this);
    auto *grid = new QGridLayout(frame);
    const QString kinds[] = { QStringLiteral("客户短信账号"), QStringLiteral("应用短信账号") };
    for (int entry = 1; entry <= 2; ++entry) {
        Account &account = m_accounts[std::size_t(entry - 1)];
        account = { lineEdit(indexed("txtUser", entry), frame),
            lineEdit(indexed("txtPwd", entry), frame),
            widgets::namedButton(frame, indexed("cmdZhuCe", entry), QStringLiteral("注册")),
            widgets::namedButton(frame, indexed("cmdZhuXiao", entry), QStringLiteral("注销")) };
        account.password->setEchoMode(QLineEdit::Password);
        const int row = entry - 1;
        nameAccount(account, kinds[row]);
        grid->addWidget(buddyLabel(kinds[row], account.user, frame), row, 0);
        grid->addWidget(account.user, row, 1);
        grid->addWidget(buddyLabel(QStringLiteral("密码"), account.password, frame), row, 2);
        grid->addWidget(account.password, row, 3);
        grid->addWidget(account.zhuCe, row, 4);
        grid->addWidget(account.zhuXiao, row, 5);
        connect(
            account.zhuCe, &QPushButton::clicked, this, [this, entry] { cmdZhuCe_Click(entry); });
        connect(account.zhuXiao, &QPushButton::clicked, this,
            [this, entry] { cmdZhuXiao_Click(entry); });
    }
    m_address = lineEdit(QStringLiteral("txtDxGateway"), frame);
    widgets::nameForReader(m_address, QStringLiteral("短信网关地址"),
        QStringLiteral("以http://或https://开头的短信网关地址"));
    grid->addWidget(buddyLabel(QStringLiteral("短信网关地址"), m_address, frame), 2, 0);
    grid->addWidget(m_address, 2, 1, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return frame;
}

// Both accounts have 注册 and 注销 and a 密码: a reader names each by its account.
void frmDxSetup::nameAccount(const Account &account, const QString &kind)
{
    widgets::nameForReader(account.user, kind);
    widgets::nameForReader(account.password, kind + QStringLiteral("密码"));
    widgets::nameForReader(account.zhuCe, QStringLiteral("注册") + kind);
    widgets::nameForReader(account.zhuXiao, QStringLiteral("注销") + kind);
}

// The rows share their column headers: a reader names each box by its category too.
void frmDxSetup::nameCategory(const Category &category, const QString &kind)
{
    widgets::nameForReader(category.user, kind + QStringLiteral("发送账号"));
    widgets::nameForReader(category.tqDays, kind + QStringLiteral("提前天数"),
        QStringLiteral("生日前几天发送") + kind);
    widgets::nameForReader(category.content, kind + QStringLiteral("内容"));
}

QWidget *frmDxSetup::buildProxy()
{
    auto *frame = new QGroupBox(QStringLiteral("代理服务器"), this);
    auto *grid = new QGridLayout(frame);
    const QString captions[] = { QStringLiteral("IP地址"), QStringLiteral("端口"),
        QStringLiteral("用户名："), QStringLiteral("密码") };
    const QString hints[] = { QStringLiteral("比如:192.168.0.1"), QStringLiteral("比如:80"),
        QStringLiteral("比如:proxyuser"), QStringLiteral("比如:abc123") };
    for (int i = 0; i < int(m_proxy.size()); ++i) {
        m_proxy[std::size_t(i)] = lineEdit(QStringLiteral("txtDL%1").arg(i + 1), frame);
        // The proxy's 密码 is not the accounts': a reader hears whose it is.
        widgets::nameForReader(
            m_proxy[std::size_t(i)], QStringLiteral("代理服务器") + captions[i], hints[i]);
        grid->addWidget(buddyLabel(captions[i], m_proxy[std::size_t(i)], frame), i, 0);
        grid->addWidget(m_proxy[std::size_t(i)], i, 1);
        grid->addWidget(hint(hints[i], frame), i, 2);
    }
    m_proxy[3]->setEchoMode(QLineEdit::Password);
    auto *set = widgets::namedButton(frame, QStringLiteral("cmdDL"), QStringLiteral("设代理"));
    grid->addWidget(set, 4, 1);
    connect(set, &QPushButton::clicked, this, &frmDxSetup::cmdDL_Click);
    return frame;
}

QWidget *frmDxSetup::buildCategories()
{
    auto *frame = new QGroupBox(QStringLiteral("生日短信自动发送"), this);
    auto *grid = new QGridLayout(frame);
    const QString headers[] = { QStringLiteral("短信账号"), QString(),
        QStringLiteral("生日短信内容"), QStringLiteral("字数"), QStringLiteral("移动条数"),
        QStringLiteral("小灵通条数") };
    const int headerColumns[] = { 1, 2, 4, 5, 6, 7 };
    for (int i = 0; i < 6; ++i) {
        if (!headers[i].isEmpty())
            grid->addWidget(new QLabel(headers[i], frame), 0, headerColumns[i], Qt::AlignCenter);
    }
    QStringList days;
    for (int d = 0; d <= LongestTqDays; ++d)
        days.append(QString::number(d));
    for (int k = 0; k < int(m_categories.size()); ++k) {
        Category &c = m_categories[std::size_t(k)];
        c.flag = new QCheckBox(
            store::CategoryNames[std::size_t(k)].toString() + QStringLiteral("生日短信"), frame);
        c.flag->setObjectName(indexed("chkDxTxFlags", k));
        c.user = comboBox(indexed("cboDxTxUser", k), {}, frame);
        c.user->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        c.user->setMinimumContentsLength(12);
        c.tqDays = comboBox(indexed("cboDxTxTqDays", k), days, frame);
        c.content = lineEdit(indexed("txtDxTxContent", k), frame);
        c.content->setMinimumWidth(320);
        c.characters = counter(indexed("lblZfNums", k), frame);
        c.mobileMessages = counter(indexed("lblFgNums", k), frame);
        c.phsMessages = counter(indexed("lblFgNums1", k), frame);
        nameCategory(c, c.flag->text());
        const int row = k + 1;
        grid->addWidget(c.flag, row, 0);
        grid->addWidget(c.user, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("提前"), frame), row, 2);
        grid->addWidget(c.tqDays, row, 3);
        grid->addWidget(c.content, row, 4);
        grid->addWidget(c.characters, row, 5);
        grid->addWidget(c.mobileMessages, row, 6);
        grid->addWidget(c.phsMessages, row, 7);
        connect(c.content, &QLineEdit::textChanged, this, [this, k] { showCounters(k); });
    }
    grid->setColumnStretch(4, 1);
    return frame;
}

QWidget *frmDxSetup::buildCommon()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_sendTime = comboBox(QStringLiteral("cboDxSendTime"), sms::smsSendTimeItems(), row);
    m_signature = lineEdit(QStringLiteral("txtDxYyTail"), row);
    m_retention = comboBox(QStringLiteral("cboDxTxRetryNums"), sms::smsRetentionItems(), row);
    const std::pair<QString, QWidget *> fields[] = {
        { QStringLiteral("所有类别生日短信发送时刻"), m_sendTime },
        { QStringLiteral("应用短信自动添加的签名"), m_signature },
        { QStringLiteral("短信历史记录保留时间"), m_retention },
    };
    for (const auto &[caption, field] : fields) {
        if (field != m_sendTime)
            layout->addSpacing(12);
        widgets::nameForReader(field, caption);
        layout->addWidget(buddyLabel(caption, field, row));
        layout->addWidget(field, field == m_signature ? 1 : 0);
    }
    return row;
}

void frmDxSetup::loadControls()
{
    const sms::SmsSetupInput input = sms::smsSetupFromSettings(m_services.settings);
    for (std::size_t i = 0; i < m_accounts.size(); ++i)
        m_accounts[i].user->setText(m_services.accounts[i].name.trimmed());
    showAccountStates();
    fillAccountLists(input);
    for (std::size_t k = 0; k < m_categories.size(); ++k) {
        const sms::SmsCategoryInput &category = input.categories[k];
        Category &c = m_categories[k];
        c.flag->setChecked(category.flag);
        c.tqDays->setCurrentIndex(c.tqDays->findText(QString::number(category.tqDays)));
        c.content->setText(category.content);
        showCounters(int(k));
    }
    m_sendTime->setCurrentIndex(m_sendTime->findText(input.sendTime.trimmed()));
    m_signature->setText(input.signature);
    m_retention->setCurrentIndex(
        input.retention >= 0 && input.retention < m_retention->count() ? input.retention : -1);
    m_storedAddress = sms::loadGatewayAddress(m_services.connection);
    m_address->setText(m_storedAddress);
}

// Each list offers the registered accounts and selects the category's account; one no longer
// offered leaves the list without a selection.
void frmDxSetup::fillAccountLists(const sms::SmsSetupInput &selection)
{
    const QStringList items = sms::smsAccountItems(m_services.accounts);
    for (std::size_t k = 0; k < m_categories.size(); ++k) {
        QComboBox *box = m_categories[k].user;
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(items.indexOf(selection.categories[k].account));
    }
}

// A registered account is fixed until it is unregistered; an empty entry can only register.
void frmDxSetup::showAccountStates()
{
    for (std::size_t i = 0; i < m_accounts.size(); ++i) {
        const bool on = registered(m_services.accounts[i]);
        m_accounts[i].user->setEnabled(!on);
        m_accounts[i].password->setEnabled(!on);
        m_accounts[i].zhuCe->setEnabled(!on);
        m_accounts[i].zhuXiao->setEnabled(on);
    }
}

void frmDxSetup::showCounters(int category)
{
    Category &c = m_categories[std::size_t(category)];
    const sms::SmsContentCounters counters = sms::contentCounters(c.content->text());
    c.characters->setText(QString::number(counters.characters));
    c.mobileMessages->setText(QString::number(counters.mobileMessages));
    c.phsMessages->setText(QString::number(counters.phsMessages));
}

QString frmDxSetup::statusText() const
{
    return m_status->text();
}

sms::SmsSetupInput frmDxSetup::inputFromControls() const
{
    sms::SmsSetupInput input;
    for (std::size_t k = 0; k < m_categories.size(); ++k) {
        const Category &c = m_categories[k];
        sms::SmsCategoryInput &category = input.categories[k];
        category.flag = c.flag->isChecked();
        category.account = c.user->currentIndex() >= 0 ? c.user->currentText() : QString();
        category.tqDays = qint16(qMax(0, c.tqDays->currentIndex()));
        category.content = c.content->text();
    }
    input.sendTime = m_sendTime->currentText();
    input.signature = m_signature->text();
    input.retention = qMax(0, m_retention->currentIndex());
    return input;
}

// The call goes to the process's gateway on the address as typed, so an address can be tried
// before it is saved; the client keeps its proxy and goes back to the stored address afterwards.
// The dialog waits, without a loop of its own, until the answer comes back to `outcome`.
void frmDxSetup::callGateway(
    sms::GatewayCall call, std::function<sms::SmsSetupOutcome(sms::GatewayResult)> outcome)
{
    setCalling(true);
    const bool queued = m_services.gateway.ask<sms::GatewayResult>(this,
        sms::atAddress(m_address->text().trimmed(), m_storedAddress, std::move(call)),
        [this, outcome](sms::GatewayResult result) {
            setCalling(false);
            report(outcome(result));
        });
    // The program is ending: the call is answered as one that never reached the gateway.
    if (!queued) {
        setCalling(false);
        report(outcome(sms::GatewayResults::NetworkFailure));
    }
}

// While a call is under way nothing in here may start another or close the dialog, so that
// what the gateway answers is stored.
void frmDxSetup::setCalling(bool calling)
{
    m_calling = calling;
    setEnabled(!calling);
}

void frmDxSetup::reject()
{
    if (!m_calling)
        QDialog::reject();
}

bool frmDxSetup::checkAddress()
{
    const QString address = m_address->text().trimmed();
    if (address.isEmpty() || sms::HttpSmsGateway::isUsableAddress(address))
        return true;
    m_status->setText(GatewayAddressRefusedText.toString());
    m_address->selectAll();
    m_address->setFocus();
    return false;
}

void frmDxSetup::report(const sms::SmsSetupOutcome &outcome)
{
    if (!outcome.statusText.isEmpty())
        m_status->setText(outcome.statusText);
    if (!outcome.message.isEmpty())
        m_services.messages.show(outcome.message, sms::SmsSetupTitle.toString());
    if (!outcome.accountsChanged)
        return;
    m_accountsChanged = true;
    for (std::size_t i = 0; i < m_accounts.size(); ++i)
        m_accounts[i].user->setText(m_services.accounts[i].name.trimmed());
    showAccountStates();
    // The choices made so far stay where the refilled lists still offer them.
    fillAccountLists(inputFromControls());
}

void frmDxSetup::cmdZhuCe_Click(int entry)
{
    const Account &account = m_accounts[std::size_t(entry - 1)];
    const QString name = account.user->text();
    const QString password = account.password->text();
    if (std::optional<sms::SmsSetupOutcome> refusal =
            sms::registrationRefusal(entry, name, password)) {
        report(*refusal);
        return;
    }
    callGateway(sms::registration(name, password, m_services.computerName),
        [this, entry, name](sms::GatewayResult result) {
            return sms::registrationOutcome(entry, name, result, m_services.connection,
                m_services.settings, m_services.accounts);
        });
}

void frmDxSetup::cmdZhuXiao_Click(int entry)
{
    if (m_services.messages.show(sms::unregisterQuestion(entry), sms::SmsSetupTitle.toString(),
            platform::MessageIcon::Question, platform::MessageButtons::YesNo)
        != platform::MessageButton::Yes)
        return;
    callGateway(
        sms::unregistration(entry, m_services.accounts), [this, entry](sms::GatewayResult result) {
            return sms::unregistrationOutcome(
                entry, result, m_services.connection, m_services.settings, m_services.accounts);
        });
}

void frmDxSetup::cmdDL_Click()
{
    const QString address = m_proxy[0]->text();
    const QString port = m_proxy[1]->text();
    const QString user = m_proxy[2]->text();
    const QString password = m_proxy[3]->text();
    if (std::optional<sms::SmsSetupOutcome> refusal =
            sms::proxyRefusal(address, port, user, password)) {
        report(*refusal);
        return;
    }
    callGateway(
        [=](sms::SmsGateway &gateway) { return gateway.SetProxy(address, port, user, password); },
        &sms::proxyOutcome);
}

void frmDxSetup::cmdOK_Click()
{
    const sms::SmsSetupInput input = inputFromControls();
    if (const std::optional<sms::SmsSetupRefusal> refusal = sms::checkSmsSetup(input)) {
        m_status->setText(refusal->statusText);
        QLineEdit *content = m_categories[std::size_t(refusal->category)].content;
        content->selectAll();
        content->setFocus();
        return;
    }
    if (!checkAddress())
        return;
    // The program keeps running on its settings until the new ones are stored.
    store::SettingsRecord settings = m_services.settings;
    sms::applySmsSetup(input, settings);
    if (!sms::saveGatewayAddress(m_services.connection, m_address->text())
        || !store::WriteSettings(m_services.connection, settings)) {
        m_status->setText(sms::SmsSetupSaveFailedText.toString());
        return;
    }
    m_services.settings = settings;
    m_saved = true;
    // Queued behind the calls given before, so none of them lands on the new address.
    m_services.gateway.run(
        nullptr,
        [address = m_address->text().trimmed()](
            sms::HttpSmsGateway &client) { client.setBaseAddress(address); },
        [] {});
    accept();
}

void frmDxSetup::cmdNo_Click()
{
    reject();
}

} // namespace natalis::dialogs
