#include "simulatorfixture.h"
#include "sms/smsdispatch.h"
#include "support/casename.h"

#include <QJsonArray>
#include <QTcpServer>
#include <httplib.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

using test::SimulatorFixture;

class HttpSmsGatewayTest : public SimulatorFixture
{
};

TEST_F(HttpSmsGatewayTest, BalanceAndPriceFillTheBuffer)
{
    addAccount(u"alice"_s, 12.5);
    QString buffer(GatewayBufferWidth, u' ');
    EXPECT_EQ(gateway->GetBalance(u"alice"_s, buffer), GatewayResults::Ok);
    EXPECT_EQ(TrimTrailingBlanks(buffer), u"12.50"_s);
    EXPECT_EQ(buffer.size(), GatewayBufferWidth);
    EXPECT_EQ(gateway->GetPrice(u"alice"_s, buffer), GatewayResults::Ok);
    EXPECT_EQ(TrimTrailingBlanks(buffer), u"0.1"_s);
    EXPECT_EQ(gateway->GetBalance(u"nobody"_s, buffer), GatewayResults::BalanceQueryFailed);
}

TEST_F(HttpSmsGatewayTest, SendsAreRecordedAndCharged)
{
    addAccount(u"alice"_s, 1);
    EXPECT_EQ(gateway->SendSMS(u"alice"_s, u"13800000001,13800000002"_s, u"生日快乐"_s, u"5"_s, {}),
        GatewayResults::Ok);
    EXPECT_EQ(gateway->SendScheSMS(
                  u"alice"_s, u"13800000001"_s, u"生日快乐"_s, u"20240506083000"_s, u"5"_s, {}),
        GatewayResults::Ok);
    const QList<QJsonObject> records = simulator.records();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].value(u"operation"_s).toString(), u"SendSMS"_s);
    EXPECT_EQ(records[0].value(u"numbers"_s).toArray().size(), 2);
    EXPECT_EQ(records[0].value(u"text"_s).toString(), u"生日快乐"_s);
    EXPECT_EQ(records[1].value(u"sendTime"_s).toString(), u"20240506083000"_s);
    EXPECT_EQ(records[1].value(u"priority"_s).toString(), u"5"_s);
    EXPECT_NEAR(simulator.account(u"alice"_s)->balance, 0.7, 1e-9);

    QFile file(this->records.filePath(u"sends.jsonl"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 2);
}

TEST_F(HttpSmsGatewayTest, TheGatewaysOwnRefusals)
{
    addAccount(u"poor"_s, 0.05);
    addAccount(u"unregistered"_s, 10, false);
    EXPECT_EQ(gateway->SendSMS(u"poor"_s, u"13800000001"_s, u"x"_s, u"5"_s, {}),
        GatewayResults::NotRegisteredOrNoBalance);
    EXPECT_EQ(gateway->SendSMS(u"unregistered"_s, u"13800000001"_s, u"x"_s, u"5"_s, {}),
        GatewayResults::NotRegisteredOrNoBalance);
    EXPECT_EQ(
        gateway->SendScheSMS(u"poor"_s, u"13800000001"_s, u"x"_s, u"2024050608"_s, u"5"_s, {}),
        GatewayResults::SendTimeRefused);
    EXPECT_EQ(gateway->UnRegister(u"unregistered"_s), GatewayResults::UnregisterRefused);
    EXPECT_EQ(gateway->Register(u"unregistered"_s, u"abcdef"_s, u"wrong-password"_s),
        GatewayResults::WrongAccountOrPassword);
    EXPECT_EQ(
        gateway->Register(u"unregistered"_s, u"abcdef"_s, u"0123456789"_s), GatewayResults::Ok);
    EXPECT_EQ(gateway->Register(u"unregistered"_s, u"abcdef"_s, u"0123456789"_s),
        GatewayResults::WrongAccountOrPassword);
    EXPECT_EQ(gateway->UnRegister(u"unregistered"_s), GatewayResults::Ok);
    EXPECT_TRUE(simulator.records().isEmpty());
}

struct ForcedCase
{
    const char *situation;
    const char *operation;
    int result;
};

const ForcedCase ForcedCases[] = {
    { "balance network failure", "GetBalance", 101 },
    { "balance query failed", "GetBalance", 12 },
    { "send not registered", "SendSMS", 17 },
    { "send network failure", "SendSMS", 101 },
    { "scheduled time refused", "SendScheSMS", 18 },
    { "register wrong password", "Register", 10 },
    { "unregister refused", "UnRegister", 22 },
    { "proxy failed", "SetProxy", 0 },
    { "proxy network failure", "SetProxy", 101 },
    { "any other code", "SendSMS", 33 },
};

class ForcedResultTest : public SimulatorFixture, public testing::WithParamInterface<ForcedCase>
{
};

TEST_P(ForcedResultTest, ReachesTheCaller)
{
    addAccount(u"alice"_s, 10);
    const ForcedCase &c = GetParam();
    simulator.force(QString::fromLatin1(c.operation), c.result);
    const QString op = QString::fromLatin1(c.operation);
    QString buffer(GatewayBufferWidth, u' ');
    GatewayResult result = -1;
    if (op == u"GetBalance"_s)
        result = gateway->GetBalance(u"alice"_s, buffer);
    else if (op == u"SendSMS"_s)
        result = gateway->SendSMS(u"alice"_s, u"13800000001"_s, u"x"_s, u"5"_s, {});
    else if (op == u"SendScheSMS"_s)
        result = gateway->SendScheSMS(
            u"alice"_s, u"13800000001"_s, u"x"_s, u"20240506083000"_s, u"5"_s, {});
    else if (op == u"Register"_s)
        result = gateway->Register(u"alice"_s, u"abcdef"_s, u"0123456789"_s);
    else if (op == u"UnRegister"_s)
        result = gateway->UnRegister(u"alice"_s);
    else if (op == u"SetProxy"_s)
        result = gateway->SetProxy(u"127.0.0.1"_s,
            QString::number(simulator.baseAddress().section(u':', -1).toInt()), u"user"_s,
            u"secret"_s);
    EXPECT_EQ(result, c.result);
    EXPECT_TRUE(simulator.records().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ForcedResultTest, testing::ValuesIn(ForcedCases), natalis::test::BySituation());

TEST_F(HttpSmsGatewayTest, AForcedResultCanApplyOnce)
{
    addAccount(u"alice"_s, 10);
    simulator.force(u"SendSMS"_s, 17, 1);
    EXPECT_EQ(gateway->SendSMS(u"alice"_s, u"13800000001"_s, u"x"_s, u"5"_s, {}), 17);
    EXPECT_EQ(gateway->SendSMS(u"alice"_s, u"13800000001"_s, u"x"_s, u"5"_s, {}), 1);
}

TEST(HttpSmsGatewayTransportTest, NoAddressIsANetworkFailure)
{
    for (const QString &address : { QString(), u"   "_s, u"ftp://127.0.0.1:21"_s }) {
        HttpSmsGateway gateway(address);
        QString buffer(GatewayBufferWidth, u' ');
        EXPECT_EQ(gateway.GetBalance(u"alice"_s, buffer), GatewayResults::NetworkFailure);
        EXPECT_EQ(gateway.UnRegister(u"alice"_s), GatewayResults::NetworkFailure);
    }
}

TEST(HttpSmsGatewayTransportTest, ARefusedConnectionIsANetworkFailure)
{
    // A port that was free a moment ago: nothing listens there any more.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    HttpSmsGateway gateway(u"127.0.0.1:%1"_s.arg(port));
    EXPECT_EQ(gateway.SendSMS(u"a"_s, u"13800000001"_s, u"x"_s, u"5"_s, {}),
        GatewayResults::NetworkFailure);
}

TEST_F(HttpSmsGatewayTest, ASlowGatewayTimesOut)
{
    addAccount(u"alice"_s, 10);
    simulator.setLatencyMs(1500);
    HttpSmsGateway impatient(simulator.baseAddress(), std::chrono::milliseconds(200));
    QString buffer(GatewayBufferWidth, u' ');
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(impatient.GetBalance(u"alice"_s, buffer), GatewayResults::NetworkFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1200));
    // The default patience waits the latency out.
    EXPECT_EQ(gateway->GetBalance(u"alice"_s, buffer), GatewayResults::Ok);
}

TEST_F(HttpSmsGatewayTest, APathPrefixIsKept)
{
    addAccount(u"alice"_s, 10);
    HttpSmsGateway prefixed(simulator.baseAddress() + u"/bridge/v1/"_s);
    prefixed.setRegistrationKey(Key);
    QString buffer;
    EXPECT_EQ(prefixed.GetBalance(u"alice"_s, buffer), GatewayResults::Ok);
}

// A server that answers every POST with the given status and body.
class OddServer
{
public:
    OddServer(int status, std::string body)
    {
        m_server.Post(R"(.*)", [status, body](const httplib::Request &, httplib::Response &res) {
            res.status = status;
            res.set_content(body, "application/json");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~OddServer()
    {
        m_server.stop();
        m_thread.join();
    }
    QString address() const { return u"http://127.0.0.1:%1"_s.arg(m_port); }

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

struct OddAnswerCase
{
    const char *situation;
    int status;
    const char *body;
    GatewayResult expected;
};

const OddAnswerCase OddAnswerCases[] = {
    { "server error", 500, R"({"result":1})", 101 },
    { "not found", 404, R"({"result":1})", 101 },
    { "not json", 200, "OK", 101 },
    { "json array", 200, "[1]", 101 },
    { "result missing", 200, R"({"text":"5.00"})", 101 },
    { "result a text", 200, R"({"result":"1"})", 101 },
    { "result a fraction", 200, R"({"result":1.5})", 101 },
    { "text missing is fine", 200, R"({"result":1})", 1 },
    { "result far too large", 200, R"({"result":1e300})", 101 },
    { "result far too small", 200, R"({"result":-1e300})", 101 },
    { "result beyond 64 bits", 200, R"({"result":9.3e18})", 101 },
    { "result just beyond 32 bits", 200, R"({"result":2147483648})", 101 },
    { "largest result", 200, R"({"result":2147483647})", 2147483647 },
    { "created counts as success", 201, R"({"result":17})", 17 },
};

class OddAnswerTest : public testing::TestWithParam<OddAnswerCase>
{
};

TEST_P(OddAnswerTest, IsReadOrTakenForANetworkFailure)
{
    OddServer server(GetParam().status, GetParam().body);
    HttpSmsGateway gateway(server.address());
    EXPECT_EQ(gateway.UnRegister(u"alice"_s), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OddAnswerTest, testing::ValuesIn(OddAnswerCases), natalis::test::BySituation());

TEST(HttpSmsGatewayTransportTest, ABalanceWithoutAnAmountIsANetworkFailure)
{
    OddServer server(200, R"({"result":1})");
    HttpSmsGateway gateway(server.address());
    QString buffer;
    EXPECT_EQ(gateway.GetBalance(u"alice"_s, buffer), GatewayResults::NetworkFailure);
}

// A server that answers with a body that never ends: one byte every 50 ms.
class DribblingServer
{
public:
    DribblingServer()
    {
        m_server.Post(R"(.*)", [this](const httplib::Request &, httplib::Response &response) {
            response.set_chunked_content_provider(
                "application/json", [this](std::size_t, httplib::DataSink &sink) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    return !m_stopping && sink.write(" ", 1);
                });
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~DribblingServer()
    {
        m_stopping = true;
        m_server.stop();
        m_thread.join();
    }
    QString address() const { return u"http://127.0.0.1:%1"_s.arg(m_port); }

private:
    httplib::Server m_server;
    std::atomic<bool> m_stopping = false;
    int m_port = 0;
    std::thread m_thread;
};

TEST(HttpSmsGatewayDeadlineTest, ADribblingServerEndsAtTheDeadline)
{
    DribblingServer server;
    HttpSmsGateway gateway(server.address(), std::chrono::milliseconds(400));
    const auto started = std::chrono::steady_clock::now();
    QString buffer;
    EXPECT_EQ(gateway.GetBalance(u"alice"_s, buffer), GatewayResults::NetworkFailure);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(390));
    EXPECT_LT(took, std::chrono::milliseconds(900));
}

TEST_F(HttpSmsGatewayTest, AGatewayThatNeverAnswersEndsAtTheDeadline)
{
    addAccount(u"alice"_s, 10);
    simulator.setLatencyMs(600000);
    HttpSmsGateway impatient(simulator.baseAddress(), std::chrono::milliseconds(300));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(impatient.SendSMS(u"alice"_s, u"13800000001"_s, u"x"_s, u"5"_s, {}),
        GatewayResults::NetworkFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(800));
}

TEST_F(HttpSmsGatewayTest, SendsWithoutTheAccountsKeyAreRefused)
{
    addAccount(u"alice"_s, 10);
    HttpSmsGateway stranger(simulator.baseAddress());
    stranger.setRegistrationKey(u"zzzzzz"_s);
    QString buffer;
    EXPECT_EQ(stranger.GetBalance(u"alice"_s, buffer), GatewayResults::BalanceQueryFailed);
    EXPECT_EQ(stranger.SendSMS(u"alice"_s, u"13800000001"_s, u"x"_s, u"5"_s, {}),
        GatewayResults::NotRegisteredOrNoBalance);
    EXPECT_TRUE(simulator.records().isEmpty());
    const QJsonObject sent = simulator.requests().last().value(u"arguments"_s).toObject();
    EXPECT_EQ(sent.value(u"key"_s).toString(), u"zzzzzz"_s);
}

TEST_F(HttpSmsGatewayTest, SetProxySendsEveryLaterCallThroughTheProxy)
{
    addAccount(u"alice"_s, 10);
    // The simulator accepts the absolute request form a proxy receives, so it is its own proxy.
    const QString port = simulator.baseAddress().section(u':', -1);
    EXPECT_EQ(gateway->SetProxy(u"127.0.0.1"_s, port, u"user"_s, u"secret"_s), 1);
    QString buffer;
    EXPECT_EQ(gateway->GetBalance(u"alice"_s, buffer), 1);
    const QList<QJsonObject> requests = simulator.requests();
    ASSERT_EQ(requests.size(), 2);
    for (const QJsonObject &request : requests) {
        EXPECT_TRUE(request.value(u"proxied"_s).toBool());
        EXPECT_EQ(request.value(u"proxyAuthorization"_s).toString(),
            u"Basic "_s + QString::fromLatin1(QByteArray("user:secret").toBase64()));
    }
}

TEST_F(HttpSmsGatewayTest, AnUnusableProxyFailsWithoutACall)
{
    EXPECT_EQ(gateway->SetProxy(u"127.0.0.1"_s, u"eighty"_s, u"u"_s, u"p"_s), 0);
    EXPECT_EQ(gateway->SetProxy(u"127.0.0.1"_s, u"70000"_s, u"u"_s, u"p"_s), 0);
    EXPECT_TRUE(simulator.requests().isEmpty());
    // ... and the calls after it go straight to the gateway.
    QString buffer;
    gateway->GetPrice(u"alice"_s, buffer);
    ASSERT_EQ(simulator.requests().size(), 1);
    EXPECT_FALSE(simulator.requests()[0].value(u"proxied"_s).toBool());
}

TEST_F(HttpSmsGatewayTest, ADeadProxyIsANetworkFailure)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const QString port = QString::number(probe.serverPort());
    probe.close();
    EXPECT_EQ(gateway->SetProxy(u"127.0.0.1"_s, port, u"u"_s, u"p"_s), 101);
}

} // namespace
} // namespace natalis::sms
