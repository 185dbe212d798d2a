#include "dialogs/frmdxsetup.h"
#include "app/smssetupaction.h"
#include "gatewaysimulator.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "store/settings.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;

namespace {

constexpr int Friends = 6;

class DxSetup : public testing::Test
{
protected:
    DxSetup() : connection(database.create())
    {
        settings = std::get<store::SettingsRecord>(store::ReadSettings(connection));
    }

    frmDxSetup &open()
    {
        dialog = std::make_unique<frmDxSetup>(frmDxSetup::Services {
            connection, messages, settings, accounts, QStringLiteral("PC-1"), 1, {} });
        return *dialog;
    }

    template<typename T>
    T *control(const QString &name)
    {
        T *widget = dialog->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    template<typename T>
    T *control(const char *name, int index)
    {
        return control<T>(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(index));
    }

    store::SettingsRecord stored()
    {
        return std::get<store::SettingsRecord>(store::ReadSettings(connection));
    }

    test::TempDatabase database;
    store::Connection connection;
    store::SettingsRecord settings;
    sms::SmsAccountTable accounts;
    test::RecordingMessageSink messages;
    std::unique_ptr<frmDxSetup> dialog;
};

struct AccountChoiceRow
{
    const char *situation;
    sms::SmsAccountTable accounts;
    QString stored; // DxTxUser of the friends' category
    QStringList items;
    int selected;

    friend void PrintTo(const AccountChoiceRow &row, std::ostream *os) { *os << row.situation; }
};

class AccountChoice : public DxSetup, public testing::WithParamInterface<AccountChoiceRow>
{
};

TEST_P(AccountChoice, ListsTheRegisteredAccountsAndSelectsTheStoredOne)
{
    const AccountChoiceRow &row = GetParam();
    accounts = row.accounts;
    settings.DxTxUser[Friends] = row.stored;
    open();
    auto *box = control<QComboBox>("cboDxTxUser", Friends);
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    EXPECT_EQ(items, row.items);
    EXPECT_EQ(box->currentIndex(), row.selected);
}

const sms::SmsAccountTable Both = { sms::SmsAccount {
                                        QStringLiteral("alice   "), QStringLiteral("1") },
    sms::SmsAccount { QStringLiteral("bob"), QStringLiteral("1") } };
const sms::SmsAccountTable OnlyCustomer = {
    sms::SmsAccount { QStringLiteral("alice"), QStringLiteral("1") }, sms::SmsAccount {}
};

INSTANTIATE_TEST_SUITE_P(Rows, AccountChoice,
    testing::Values(
        AccountChoiceRow { "no account stored", Both, QStringLiteral(" "),
            { QStringLiteral(" "), QStringLiteral("alice[客户]"), QStringLiteral("bob[应用]") },
            0 },
        AccountChoiceRow { "application account with trailing blanks", Both,
            QStringLiteral("bob[应用]   "),
            { QStringLiteral(" "), QStringLiteral("alice[客户]"), QStringLiteral("bob[应用]") },
            2 },
        AccountChoiceRow { "stored account since unregistered", OnlyCustomer,
            QStringLiteral("bob[应用]"), { QStringLiteral(" "), QStringLiteral("alice[客户]") },
            -1 },
        AccountChoiceRow {
            "nothing registered", sms::SmsAccountTable {}, QString(), { QStringLiteral(" ") }, 0 }),
    test::BySituation());

TEST_F(DxSetup, ShowsTheStoredSettings)
{
    accounts = OnlyCustomer;
    settings.DxTxFlags[Friends] = QStringLiteral("1");
    settings.DxTxTqDays[Friends] = 3;
    settings.DxTxContent[Friends] = QStringLiteral("生日快乐，万事如意！  ");
    settings.DxSendTime = QStringLiteral("07:00");
    settings.DxYyTail = QStringLiteral("青萍  ");
    settings.DxTxRetryNums = 2;
    open();
    EXPECT_TRUE(control<QCheckBox>("chkDxTxFlags", Friends)->isChecked());
    EXPECT_FALSE(control<QCheckBox>("chkDxTxFlags", 0)->isChecked());
    EXPECT_EQ(control<QCheckBox>("chkDxTxFlags", 0)->text(), QStringLiteral("同事生日短信"));
    EXPECT_EQ(control<QCheckBox>("chkDxTxFlags", 7)->text(), QStringLiteral("其他生日短信"));
    EXPECT_EQ(control<QComboBox>("cboDxTxTqDays", Friends)->currentText(), QStringLiteral("3"));
    EXPECT_EQ(control<QLineEdit>("txtDxTxContent", Friends)->text(),
        QStringLiteral("生日快乐，万事如意！"));
    EXPECT_EQ(control<QLabel>("lblZfNums", Friends)->text(), QStringLiteral("10"));
    EXPECT_EQ(control<QLabel>("lblFgNums", Friends)->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLabel>("lblFgNums1", Friends)->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QComboBox>(QStringLiteral("cboDxSendTime"))->currentText(),
        QStringLiteral("07:00"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtDxYyTail"))->text(), QStringLiteral("青萍"));
    EXPECT_EQ(control<QComboBox>(QStringLiteral("cboDxTxRetryNums"))->currentText(),
        QStringLiteral("保留半年"));
    EXPECT_EQ(control<QLineEdit>("txtUser", 1)->text(), QStringLiteral("alice"));
    EXPECT_FALSE(control<QPushButton>("cmdZhuCe", 1)->isEnabled());
    EXPECT_TRUE(control<QPushButton>("cmdZhuXiao", 1)->isEnabled());
    EXPECT_TRUE(control<QPushButton>("cmdZhuCe", 2)->isEnabled());
    EXPECT_FALSE(control<QPushButton>("cmdZhuXiao", 2)->isEnabled());
}

TEST_F(DxSetup, CountersFollowTheGreeting)
{
    open();
    // 71 characters: two mobile messages of 70, two PHS messages of 58.
    control<QLineEdit>("txtDxTxContent", 2)->setText(QString(71, QChar(0x798F)));
    EXPECT_EQ(control<QLabel>("lblZfNums", 2)->text(), QStringLiteral("71"));
    EXPECT_EQ(control<QLabel>("lblFgNums", 2)->text(), QStringLiteral("2"));
    EXPECT_EQ(control<QLabel>("lblFgNums1", 2)->text(), QStringLiteral("2"));
}

TEST_F(DxSetup, OkStoresEveryControl)
{
    accounts = OnlyCustomer;
    open();
    control<QCheckBox>("chkDxTxFlags", Friends)->setChecked(true);
    control<QComboBox>("cboDxTxUser", Friends)->setCurrentIndex(1);
    control<QComboBox>("cboDxTxTqDays", Friends)->setCurrentIndex(2);
    control<QLineEdit>("txtDxTxContent", Friends)->setText(QStringLiteral("祝'你'生日快乐"));
    control<QComboBox>(QStringLiteral("cboDxSendTime"))->setCurrentIndex(16);
    control<QLineEdit>(QStringLiteral("txtDxYyTail"))->setText(QStringLiteral("青萍"));
    control<QComboBox>(QStringLiteral("cboDxTxRetryNums"))->setCurrentIndex(4);
    dialog->cmdOK_Click();

    ASSERT_TRUE(dialog->isSaved());
    const store::SettingsRecord s = stored();
    EXPECT_EQ(s.DxTxFlags[Friends].trimmed(), QStringLiteral("1"));
    EXPECT_EQ(s.DxTxUser[Friends].trimmed(), QStringLiteral("alice[客户]"));
    EXPECT_EQ(s.DxTxTqDays[Friends], 2);
    EXPECT_EQ(s.DxTxContent[Friends].trimmed(), QStringLiteral("祝'你'生日快乐"));
    EXPECT_EQ(s.DxTxFlags[0].trimmed(), QStringLiteral("0"));
    EXPECT_EQ(s.DxSendTime, QStringLiteral("22:00"));
    EXPECT_EQ(s.DxYyTail.trimmed(), QStringLiteral("青萍"));
    EXPECT_EQ(s.DxTxRetryNums, 4);
    EXPECT_EQ(settings.DxTxUser[Friends], s.DxTxUser[Friends]);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

struct RefusalRow
{
    const char *situation;
    int account; // cboDxTxUser's index
    bool ticked;
    QString content;
    QString status; // empty: saved

    friend void PrintTo(const RefusalRow &row, std::ostream *os) { *os << row.situation; }
};

class OkRefusal : public DxSetup, public testing::WithParamInterface<RefusalRow>
{
};

TEST_P(OkRefusal, ShowsWhyAndStaysOpen)
{
    const RefusalRow &row = GetParam();
    accounts = OnlyCustomer;
    open();
    dialog->show();
    control<QCheckBox>("chkDxTxFlags", 3)->setChecked(row.ticked);
    control<QComboBox>("cboDxTxUser", 3)->setCurrentIndex(row.account);
    auto *content = control<QLineEdit>("txtDxTxContent", 3);
    content->setText(row.content);
    dialog->cmdOK_Click();

    EXPECT_EQ(dialog->statusText(), row.status);
    EXPECT_EQ(dialog->isSaved(), row.status.isEmpty());
    EXPECT_EQ(stored().DxTxFlags[3].trimmed(),
        row.status.isEmpty() && row.ticked ? QStringLiteral("1") : QStringLiteral("0"));
    if (!row.status.isEmpty()) {
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->focusWidget(), content);
        EXPECT_EQ(content->selectedText(), row.content);
    }
}

const QString TooLong = QStringLiteral(
    "短信提醒内容最多不能超过500个汉字,移动/联动短信推荐不超过70汉字,小灵通不超过56汉字,"
    "否则短信平台会自动分割为多条短信!");
const QString Empty = QStringLiteral("需要提醒生日短信的提醒内容不能为空!");

INSTANTIATE_TEST_SUITE_P(Rows, OkRefusal,
    testing::Values(
        RefusalRow { "501 Chinese characters", 0, false, QString(501, QChar(0x798F)), TooLong },
        RefusalRow { "500 Chinese characters", 0, false, QString(500, QChar(0x798F)), QString() },
        RefusalRow {
            "ticked with an account and only blanks", 1, true, QStringLiteral("   "), Empty },
        RefusalRow { "ticked without an account and empty", 0, true, QString(), QString() },
        RefusalRow { "account without the tick and empty", 1, false, QString(), QString() }),
    test::BySituation());

TEST_F(DxSetup, GatewayAddressRoundTrips)
{
    open();
    control<QLineEdit>(QStringLiteral("txtDxGateway"))
        ->setText(QStringLiteral("  http://127.0.0.1:8787/gateway "));
    dialog->cmdOK_Click();
    ASSERT_TRUE(dialog->isSaved());
    EXPECT_EQ(sms::LoadGatewayAddress(connection), QStringLiteral("http://127.0.0.1:8787/gateway"));

    open();
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtDxGateway"))->text(),
        QStringLiteral("http://127.0.0.1:8787/gateway"));
}

TEST_F(DxSetup, CancelKeepsTheGatewayAddress)
{
    sms::SaveGatewayAddress(connection, QStringLiteral("http://127.0.0.1:1"));
    open();
    control<QLineEdit>(QStringLiteral("txtDxGateway"))->setText(QStringLiteral("http://x:2"));
    dialog->cmdNo_Click();
    EXPECT_FALSE(dialog->isSaved());
    EXPECT_EQ(sms::LoadGatewayAddress(connection), QStringLiteral("http://127.0.0.1:1"));
}

TEST_F(DxSetup, ProxyFieldsAreCheckedBeforeAnyCall)
{
    open();
    control<QLineEdit>(QStringLiteral("txtDL1"))->setText(QStringLiteral("192.168.0.1"));
    dialog->cmdDL_Click();
    EXPECT_EQ(dialog->statusText(), QStringLiteral("必须指定代理服务器的端口号"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(DxSetup, RegistersThroughTheWindow)
{
    smssim::GatewaySimulator simulator;
    ASSERT_GT(simulator.start(), 0);
    simulator.setAccount(QStringLiteral("alice"), { QStringLiteral("0123456789"), 10, false, {} });
    open();
    control<QLineEdit>(QStringLiteral("txtDxGateway"))->setText(simulator.baseAddress());
    control<QLineEdit>("txtUser", 1)->setText(QStringLiteral(" alice "));
    control<QLineEdit>("txtPwd", 1)->setText(QStringLiteral("0123456789"));
    control<QPushButton>("cmdZhuCe", 1)->click();

    EXPECT_EQ(messages.texts(), QStringList { QStringLiteral("客户短信账号注册成功!") });
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_EQ(messages.shown.front().title, QStringLiteral("短信设置"));
    EXPECT_EQ(accounts[0], (sms::SmsAccount { QStringLiteral("alice"), QStringLiteral("1") }));
    EXPECT_EQ(sms::LoadSmsAccounts(connection)[0].name.trimmed(), QStringLiteral("alice"));
    EXPECT_TRUE(dialog->accountsChanged());
    EXPECT_EQ(control<QComboBox>("cboDxTxUser", 0)->itemText(1), QStringLiteral("alice[客户]"));
    EXPECT_FALSE(control<QPushButton>("cmdZhuCe", 1)->isEnabled());
    EXPECT_TRUE(control<QPushButton>("cmdZhuXiao", 1)->isEnabled());
    ASSERT_TRUE(simulator.account(QStringLiteral("alice")));
    EXPECT_TRUE(simulator.account(QStringLiteral("alice"))->registered);
}

TEST_F(DxSetup, UnregisterAnsweredNoCallsNothing)
{
    accounts = OnlyCustomer;
    messages.answer = MessageButton::No;
    open();
    control<QPushButton>("cmdZhuXiao", 1)->click();
    EXPECT_EQ(messages.texts(), QStringList { QStringLiteral("您确认注销客户短信账号?") });
    EXPECT_EQ(accounts[0].flag, QStringLiteral("1"));
}

TEST(RunSmsSetup, WithoutADatabaseOpensNothing)
{
    AppContext context;
    test::RecordingMessageSink messages;
    bool ran = false;
    EXPECT_FALSE(RunSmsSetup(nullptr, context, messages, [&](QDialog &) { ran = true; }));
    EXPECT_FALSE(ran);
}

TEST_F(DxSetup, RunSmsSetupReplacesTheProgramSettingsWhenSaved)
{
    AppContext context;
    context.DbConnection.emplace(std::move(connection));
    context.Settings = settings;
    test::RecordingMessageSink sink;
    const bool saved = RunSmsSetup(nullptr, context, sink, [](QDialog &d) {
        d.findChild<QLineEdit *>(QStringLiteral("txtDxYyTail"))->setText(QStringLiteral("青萍"));
        static_cast<frmDxSetup &>(d).cmdOK_Click();
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(context.Settings.DxYyTail, QStringLiteral("青萍"));
}

} // namespace
