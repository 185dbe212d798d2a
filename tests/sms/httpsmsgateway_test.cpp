#include "simulatorfixture.h"
#include "sms/nogateway.h"
#include "sms/smsdispatch.h"
#include "support/casename.h"
#include "support/golden.h"
#include "support/qtprinters.h"

#include <QJsonDocument>
#include <QTcpServer>
#include <httplib.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

using HttpSmsGatewayTest = test::SimulatorFixture;

TEST_F(HttpSmsGatewayTest, EveryOperationSendsItsArgumentsAndReadsItsAnswer)
{
    addAccount(u"alice"_s, 12.5);
    addAccount(u"bob"_s, 0, false);
    QString buffer(GatewayBufferWidth, u' ');
    EXPECT_EQ(gateway->GetBalance(u"alice"_s, buffer), GatewayResults::Ok);
    EXPECT_EQ(buffer, u"12.50     "_s);
    EXPECT_EQ(gateway->GetPrice(u"alice"_s, buffer), GatewayResults::Ok);
    EXPECT_EQ(TrimTrailingBlanks(buffer), u"0.1"_s);
    EXPECT_EQ(gateway->SendSMS(u"alice"_s, u"13800000001,13800000002"_s, u"生日快乐"_s, u"5"_s, {}),
        GatewayResults::Ok);
    EXPECT_EQ(gateway->SendScheSMS(u"alice"_s, u"13800000001"_s, u"hi"_s, u"20240506083000"_s,
                  u"5"_s, { u"r1"_s, 1, 1 }),
        GatewayResults::Ok);
    EXPECT_EQ(gateway->Register(u"bob"_s, u"abcdef"_s, u"0123456789"_s), GatewayResults::Ok);
    EXPECT_EQ(gateway->UnRegister(u"bob"_s), GatewayResults::Ok);

    // Every request the gateway received, a line each: its operation and its arguments as JSON.
    QByteArray received;
    for (const QJsonObject &request : simulator.requests())
        received += request.value(u"operation"_s).toString().toUtf8() + ' '
            + QJsonDocument(request.value(u"arguments"_s).toObject()).toJson(QJsonDocument::Compact)
            + '\n';
    natalis::test::expectGolden(received, QStringLiteral(NATALIS_TEST_DATA_DIR "/requests.txt"));
    EXPECT_NEAR(balanceOf(u"alice"_s), 12.2, 1e-9);
}

struct AddressCase
{
    const char *situation;
    QString address;
    bool usable;
};

const AddressCase AddressCases[] = {
    { "https with a path", u"https://gateway.example/natalis"_s, true },
    { "host and port without a scheme", u"127.0.0.1:8787"_s, true },
    { "another scheme", u"ftp://127.0.0.1:21"_s, false },
    { "scheme without a host", u"http://"_s, false },
    { "nothing", QString(), false },
};

using AddressTest = testing::TestWithParam<AddressCase>;

// Without a usable address every operation is a network failure, and no connection is tried.
TEST_P(AddressTest, IsUsableOrEveryOperationFails)
{
    EXPECT_EQ(HttpSmsGateway::isUsableAddress(GetParam().address), GetParam().usable);
    if (!GetParam().usable) {
        HttpSmsGateway gateway(GetParam().address);
        QString buffer;
        EXPECT_EQ(gateway.GetBalance(u"alice"_s, buffer), GatewayResults::NetworkFailure);
        EXPECT_EQ(gateway.UnRegister(u"alice"_s), GatewayResults::NetworkFailure);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gateway, AddressTest, testing::ValuesIn(AddressCases), natalis::test::BySituation());

TEST(HttpSmsGatewayTransportTest, ARefusedConnectionIsANetworkFailure)
{
    quint16 deadPort = 0;
    {
        QTcpServer probe; // a port free a moment ago: nothing listens there any more
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        deadPort = probe.serverPort();
    }
    HttpSmsGateway gateway(u"127.0.0.1:%1"_s.arg(deadPort));
    EXPECT_EQ(gateway.SendSMS(u"a"_s, u"13800000001"_s, u"x"_s, u"5"_s, {}),
        GatewayResults::NetworkFailure);
}

TEST_F(HttpSmsGatewayTest, APathPrefixIsKept)
{
    addAccount(u"alice"_s, 10);
    HttpSmsGateway prefixed(simulator.baseAddress() + u"/bridge/v1/"_s);
    prefixed.setRegistrationKey(Key);
    QString buffer;
    EXPECT_EQ(prefixed.GetBalance(u"alice"_s, buffer), GatewayResults::Ok);
}

TEST_F(HttpSmsGatewayTest, AGatewayThatDoesNotAnswerInTimeFailsAtTheDeadline)
{
    addAccount(u"alice"_s, 10);
    QString buffer;
    simulator.setLatencyMs(1500);
    HttpSmsGateway impatient(simulator.baseAddress(), std::chrono::milliseconds(300));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(impatient.GetBalance(u"alice"_s, buffer), GatewayResults::NetworkFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1200));
    // The default patience waits a slow gateway out.
    EXPECT_EQ(gateway->GetBalance(u"alice"_s, buffer), GatewayResults::Ok);
}

// A server on a loopback port of its own with one answer to every POST.
class OwnServer
{
public:
    explicit OwnServer(const httplib::Server::Handler &handler)
    {
        m_server.Post(R"(.*)", handler);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~OwnServer()
    {
        stopping = true;
        m_server.stop();
        m_thread.join();
    }
    QString address() const { return u"http://127.0.0.1:%1"_s.arg(m_port); }

    std::atomic<bool> stopping = false;

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

// A server that answers every POST with the given status and body.
httplib::Server::Handler answering(int status, std::string body)
{
    return [status, body](const httplib::Request &, httplib::Response &response) {
        response.status = status;
        response.set_content(body, "application/json");
    };
}

struct OddAnswerCase
{
    const char *situation;
    int status;
    const char *body;
    GatewayResult expected;
};

const OddAnswerCase OddAnswerCases[] = {
    { "server error", 500, R"({"result":1})", 101 },
    { "not json", 200, "OK", 101 },
    { "json array", 200, "[1]", 101 },
    { "result a text", 200, R"({"result":"1"})", 101 },
    { "result a fraction", 200, R"({"result":1.5})", 101 },
    { "text missing is fine", 200, R"({"result":1})", 1 },
    { "result just beyond 32 bits", 200, R"({"result":2147483648})", 101 },
    { "largest result", 200, R"({"result":2147483647})", 2147483647 },
    { "created counts as success", 201, R"({"result":17})", 17 },
};

using OddAnswerTest = testing::TestWithParam<OddAnswerCase>;

TEST_P(OddAnswerTest, IsReadOrTakenForANetworkFailure)
{
    OwnServer server(answering(GetParam().status, GetParam().body));
    HttpSmsGateway gateway(server.address());
    EXPECT_EQ(gateway.UnRegister(u"alice"_s), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OddAnswerTest, testing::ValuesIn(OddAnswerCases), natalis::test::BySituation());

TEST(HttpSmsGatewayTransportTest, ABalanceWithoutAnAmountIsANetworkFailure)
{
    OwnServer server(answering(200, R"({"result":1})"));
    QString buffer;
    EXPECT_EQ(HttpSmsGateway(server.address()).GetBalance(u"alice"_s, buffer),
        GatewayResults::NetworkFailure);
}

// A server that answers with a body that never ends, one byte every 50 ms: the deadline bounds
// the whole call, not the wait for each byte.
TEST(HttpSmsGatewayDeadlineTest, ADribblingServerEndsAtTheDeadline)
{
    std::atomic<bool> *stopping = nullptr;
    OwnServer server([&](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider(
            "application/json", [&](std::size_t, httplib::DataSink &sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return !*stopping && sink.write(" ", 1);
            });
    });
    stopping = &server.stopping;
    HttpSmsGateway gateway(server.address(), std::chrono::milliseconds(400));
    const auto started = std::chrono::steady_clock::now();
    QString buffer;
    EXPECT_EQ(gateway.GetBalance(u"alice"_s, buffer), GatewayResults::NetworkFailure);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(390));
    EXPECT_LT(took, std::chrono::milliseconds(900));
}

TEST(NoGateway, EveryCallKindAnswersANetworkFailure)
{
    QString buffer;
    const QString a = u"a"_s;
    const std::pair<const char *, GatewayCall> calls[] = {
        { "balance", [&](SmsGateway &g) { return g.GetBalance(a, buffer); } },
        { "price", [&](SmsGateway &g) { return g.GetPrice(a, buffer); } },
        { "send", [&](SmsGateway &g) { return g.SendSMS(a, a, a, a, {}); } },
        { "scheduled send", [&](SmsGateway &g) { return g.SendScheSMS(a, a, a, a, a, {}); } },
        { "register", [&](SmsGateway &g) { return g.Register(a, a, a); } },
        { "unregister", [&](SmsGateway &g) { return g.UnRegister(a); } },
        { "proxy", [&](SmsGateway &g) { return g.SetProxy(a, a, a, a); } },
        { "delivery query", [&](SmsGateway &g) { return g.QueryUnit(a, a); } },
    };
    NoGateway gateway;
    for (const auto &[kind, call] : calls)
        EXPECT_EQ(call(gateway), GatewayResults::NetworkFailure) << kind;
}

} // namespace
} // namespace natalis::sms
