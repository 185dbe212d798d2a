#include "sms/nogateway.h"

#include <gtest/gtest.h>

namespace natalis::sms {
namespace {

struct RefusedCall
{
    const char *name;
    GatewayCall call;
};

class NoGatewayTest : public testing::TestWithParam<RefusedCall>
{
};

TEST_P(NoGatewayTest, AnswersANetworkFailure)
{
    NoGateway gateway;
    EXPECT_EQ(GetParam().call(gateway), GatewayResults::NetworkFailure);
}

QString buffer;
const QString a = QStringLiteral("a");

INSTANTIATE_TEST_SUITE_P(EveryCallKind, NoGatewayTest,
    testing::Values(
        RefusedCall { "balance", [](SmsGateway &g) { return g.GetBalance(a, buffer); } },
        RefusedCall { "price", [](SmsGateway &g) { return g.GetPrice(a, buffer); } },
        RefusedCall { "send", [](SmsGateway &g) { return g.SendSMS(a, a, a, a, {}); } },
        RefusedCall {
            "scheduledSend", [](SmsGateway &g) { return g.SendScheSMS(a, a, a, a, a, {}); } },
        RefusedCall { "register", [](SmsGateway &g) { return g.Register(a, a, a); } },
        RefusedCall { "unregister", [](SmsGateway &g) { return g.UnRegister(a); } },
        RefusedCall { "proxy", [](SmsGateway &g) { return g.SetProxy(a, a, a, a); } },
        RefusedCall { "deliveryQuery", [](SmsGateway &g) { return g.QueryUnit(a, a); } }),
    [](const testing::TestParamInfo<RefusedCall> &info) { return std::string(info.param.name); });

} // namespace
} // namespace natalis::sms
