#include "simulatorfixture.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "store/settings.h"
#include "store/statement.h"
#include "support/casename.h"
#include "support/qtprinters.h"

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

// Both entries unregistered.
class SmsAccountsTest : public test::DispatchFixture
{
protected:
    SmsAccountsTest() { accounts = {}; }

    SmsSetupOutcome registerAccount(int entry, const QString &name, const QString &password)
    {
        return registerSmsAccount(
            entry, name, password, u"PC-1"_s, *gateway, connection, settings, accounts);
    }
};

TEST_F(SmsAccountsTest, ANineCharacterPasswordOrNoAccountIsRefusedBeforeAnyCall)
{
    addAccount(u"alice"_s, 10, false, u"012345678"_s);
    const SmsSetupOutcome refused = registerAccount(1, u"alice"_s, u" 012345678 "_s);
    EXPECT_FALSE(refused.gatewayCalled);
    EXPECT_EQ(refused.message, u"密码长度不对,应该是10位"_s);
    EXPECT_EQ(registerAccount(1, u"  "_s, u"0123456789"_s).message, u"短信账号不能为空"_s);
    EXPECT_TRUE(simulator.requests().isEmpty());
}

TEST_F(SmsAccountsTest, RegisteringStoresTheAccount)
{
    addAccount(u"alice"_s, 10, false);
    const SmsSetupOutcome outcome = registerAccount(2, u" alice "_s, u"0123456789"_s);
    EXPECT_TRUE(outcome.gatewayCalled);
    EXPECT_TRUE(outcome.accountsChanged);
    EXPECT_EQ(outcome.message, u"应用短信账号注册成功!"_s);
    EXPECT_EQ(accounts[1], (SmsAccount { u"alice"_s, u"1"_s }));
    EXPECT_EQ(LoadSmsAccounts(connection)[1], (SmsAccount { u"alice"_s, u"1"_s }));
    EXPECT_EQ(simulator.account(u"alice"_s)->key, RegistrationKey(u"PC-1"_s));
    EXPECT_EQ(smsAccountItems(accounts), (QStringList { u" "_s, u"alice[应用]"_s }));

    EXPECT_EQ(unregisterQuestion(2), u"您确认注销应用短信账号?"_s);
    const SmsSetupOutcome gone = unregisterSmsAccount(2, *gateway, connection, settings, accounts);
    EXPECT_EQ(gone.message, u"应用短信账号注销成功!"_s);
    EXPECT_EQ(accounts[1], (SmsAccount { QString(), u"0"_s }));
    EXPECT_EQ(LoadSmsAccounts(connection)[1], (SmsAccount { QString(), u"0"_s }));
    EXPECT_EQ(smsAccountItems(accounts), QStringList { u" "_s });
}

struct MessageCase
{
    const char *situation;
    int entry;
    int result;
    const char16_t *registerMessage;
    const char16_t *unregisterMessage;
};

const MessageCase MessageCases[] = {
    { "network failure", 1, 101, u"客户短信账号注册失败：[故障代码:101]网络故障!",
        u"客户短信账号注销失败：[故障代码:101]网络故障!" },
    { "wrong account or password", 2, 10,
        u"应用短信账号注册失败：[故障代码:10]短信账号或密码不对,或账号已被注册!",
        u"应用短信账号注销失败：[故障代码:10]其他原因!" },
    { "unregister refused", 2, 22, u"应用短信账号注册失败：[故障代码:22]其它错误!",
        u"应用短信账号注销失败：[故障代码:22]注销失败!" },
};

class AccountMessageTest : public SmsAccountsTest, public testing::WithParamInterface<MessageCase>
{
};

TEST_P(AccountMessageTest, NamesTheAccountAndTheCode)
{
    const MessageCase &c = GetParam();
    simulator.force(u"*"_s, c.result);
    const SmsSetupOutcome registered = registerAccount(c.entry, u"alice"_s, u"0123456789"_s);
    EXPECT_EQ(registered.message, QString::fromUtf16(c.registerMessage));
    EXPECT_EQ(registered.accountsChanged, c.result == 1);
    accounts[std::size_t(c.entry - 1)] = { u"alice"_s, u"1"_s };
    const SmsSetupOutcome unregistered =
        unregisterSmsAccount(c.entry, *gateway, connection, settings, accounts);
    EXPECT_EQ(unregistered.message, QString::fromUtf16(c.unregisterMessage));
    EXPECT_EQ(accounts[std::size_t(c.entry - 1)].flag, c.result == 1 ? u"0"_s : u"1"_s);
}

INSTANTIATE_TEST_SUITE_P(
    Results, AccountMessageTest, testing::ValuesIn(MessageCases), natalis::test::BySituation());

TEST_F(SmsAccountsTest, TheProxyNeedsAllFourTextsAndCarriesEveryLaterCall)
{
    EXPECT_EQ(setSmsProxy({}, u"80"_s, u"u"_s, u"p"_s, *gateway).statusText,
        u"必须指定代理服务器的IP地址"_s);
    EXPECT_EQ(setSmsProxy(u"10.0.0.1"_s, {}, u"u"_s, u"p"_s, *gateway).statusText,
        u"必须指定代理服务器的端口号"_s);
    EXPECT_EQ(setSmsProxy(u"10.0.0.1"_s, u"80"_s, {}, u"p"_s, *gateway).statusText,
        u"必须指定代理服务器的用户名"_s);
    EXPECT_EQ(setSmsProxy(u"10.0.0.1"_s, u"80"_s, u"u"_s, {}, *gateway).statusText,
        u"必须指定代理服务器的密码"_s);
    for (const QString &unusable : { u"eighty"_s, u"70000"_s })
        EXPECT_EQ(setSmsProxy(u"127.0.0.1"_s, unusable, u"u"_s, u"p"_s, *gateway).message,
            u"设代理失败"_s);
    EXPECT_TRUE(simulator.requests().isEmpty());

    // The simulator accepts the absolute request form a proxy receives, so it is its own proxy.
    addAccount(u"alice"_s, 10);
    const QString port = simulator.baseAddress().section(u':', -1);
    EXPECT_EQ(setSmsProxy(u"127.0.0.1"_s, port, u"user"_s, u"secret"_s, *gateway).message,
        u"设代理成功"_s);
    QString buffer;
    EXPECT_EQ(gateway->GetBalance(u"alice"_s, buffer), GatewayResults::Ok);
    const QList<QJsonObject> requests = simulator.requests();
    ASSERT_EQ(requests.size(), 2);
    for (const QJsonObject &request : requests) {
        EXPECT_TRUE(request.value(u"proxied"_s).toBool());
        EXPECT_EQ(request.value(u"proxyAuthorization"_s).toString(),
            u"Basic "_s + QString::fromLatin1(QByteArray("user:secret").toBase64()));
    }
    simulator.force(u"SetProxy"_s, 101);
    EXPECT_EQ(setSmsProxy(u"127.0.0.1"_s, port, u"u"_s, u"p"_s, *gateway).message, u"网络故障"_s);
    simulator.force(u"SetProxy"_s, 9);
    EXPECT_EQ(
        setSmsProxy(u"127.0.0.1"_s, port, u"u"_s, u"p"_s, *gateway).message, u"其他错误值：9"_s);
}

TEST(RegistrationKeyTest, SixHexDigitsOfTheComputersNamesHash)
{
    // SHA-1 of "abc" is a9993e36...
    EXPECT_EQ(RegistrationKey(u"abc"_s), u"a9993e"_s);
    EXPECT_NE(RegistrationKey(u"OFFICE-PC"_s), RegistrationKey(u"HOME-PC"_s));
}

TEST(SmsAccountRowsTest, EntriesFollowTheIdsNotTheRowOrder)
{
    natalis::test::TempDatabase files;
    store::Connection db = files.create();
    EXPECT_FALSE(SaveSmsAccount(db, 3, u"1"_s, u"x"_s));
    db.exec("delete from dxuser");
    db.exec("insert into dxuser(Id,[user],flag) values(2,'app','0')");
    EXPECT_TRUE(SaveSmsAccount(db, 2, u"1"_s, u"app's"_s));
    EXPECT_EQ(LoadSmsAccounts(db), (SmsAccountTable { SmsAccount {}, { u"app's"_s, u"1"_s } }))
        << "a missing row leaves its entry unregistered";
    db.exec("drop table dxuser");
    EXPECT_FALSE(SaveSmsAccount(db, 1, u"1"_s, u"x"_s));
    EXPECT_EQ(LoadSmsAccounts(db), SmsAccountTable {});
}

TEST(GatewayAddressTest, AnOlderFileGetsTheTableOnFirstUse)
{
    natalis::test::TempDatabase files;
    store::Connection db = files.create();
    EXPECT_EQ(loadGatewayAddress(db), QString());
    EXPECT_TRUE(saveGatewayAddress(db, u" http://127.0.0.1:8787 "_s));
    EXPECT_EQ(loadGatewayAddress(db), u"http://127.0.0.1:8787"_s);
    db.exec("drop table dxgateway");
    EXPECT_TRUE(saveGatewayAddress(db, u"http://10.0.0.2:80"_s));
    EXPECT_EQ(loadGatewayAddress(db), u"http://10.0.0.2:80"_s);
}

TEST(AccountOfItemTest, DropsOnlyAnAccountTag)
{
    EXPECT_EQ(accountOfItem(u"王小明[应用] "_s), u"王小明"_s);
    EXPECT_EQ(accountOfItem(u"bob"_s), u"bob"_s) << "no tag, nothing cut off the name";
    EXPECT_EQ(accountOfItem(u" "_s), QString());
}

} // namespace
} // namespace natalis::sms
