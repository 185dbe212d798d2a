#include "support/casename.h"
#include "sync/davclient.h"
#include "sync/syncservice.h"

#include <gtest/gtest.h>

namespace natalis::sync {
namespace {

struct TransportRow
{
    const char *situation;
    const char *url;
    bool allowed;
    bool warned;
};

class Transport : public testing::TestWithParam<TransportRow>
{
};

// The password travels only where nobody on the way can read it, or stays in the house: a
// name counts by the address it resolves to.
TEST_P(Transport, CarriesThePasswordOnlyWhereItIsSafe)
{
    const TransportCheck check = checkTransport(QUrl(QString::fromUtf8(GetParam().url)));
    EXPECT_EQ(check.allowed, GetParam().allowed);
    EXPECT_EQ(!check.warning.isEmpty(), GetParam().warned);
    EXPECT_EQ(check.refusal.isEmpty(), GetParam().allowed);
}

INSTANTIATE_TEST_SUITE_P(Rows, Transport,
    testing::Values(TransportRow { "https anywhere", "https://dav.example.com/cal/", true, false },
        TransportRow { "http to loopback", "http://127.0.0.1:5232/a/", true, true },
        TransportRow { "http to a name of this computer", "http://localhost:5232/", true, true },
        TransportRow {
            "http to a NAS by a name nobody resolves", "http://nas.invalid/", false, false },
        TransportRow { "http to a public address", "http://8.8.8.8/", false, false },
        TransportRow { "http just outside 172.16/12", "http://172.32.0.5/", false, false },
        TransportRow { "http to carrier-grade NAT", "http://100.64.0.1/", false, false },
        TransportRow { "http to unique local", "http://[fd12:3456::1]/", true, true },
        TransportRow { "http to link-local", "http://169.254.7.7/", true, true },
        TransportRow { "http to private IPv4 in IPv6", "http://[::ffff:192.168.0.9]/", true, true },
        TransportRow { "http to public IPv4 in IPv6", "http://[::ffff:8.8.8.8]/", false, false },
        TransportRow { "another scheme", "ftp://127.0.0.1/", false, false },
        TransportRow { "no address at all", "", false, false }),
    test::BySituation {});

struct RetryRow
{
    const char *situation;
    int failures;
    int minutes;
};

class Retry : public testing::TestWithParam<RetryRow>
{
};

TEST_P(Retry, BacksOffDoublingUpToFourHours)
{
    EXPECT_EQ(SyncService::retryMinutes(GetParam().failures), GetParam().minutes);
}

INSTANTIATE_TEST_SUITE_P(Rows, Retry,
    testing::Values(RetryRow { "first failure", 1, 10 }, RetryRow { "second failure", 2, 20 },
        RetryRow { "fifth failure", 5, 160 }, RetryRow { "sixth failure reaches the cap", 6, 240 },
        RetryRow { "a day of failures stays at the cap", 40, 240 }),
    test::BySituation {});

} // namespace
} // namespace natalis::sync
