#include "support/casename.h"
#include "support/faultserver.h"
#include "support/tempdatabase.h"
#include "support/testcertificate.h"
#include "sync/cardsync.h"
#include "sync/davclient.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::sync {
namespace {

struct FaultRow
{
    const char *situation;
    const char *verb;
    const char *url; // %1 the server's first port
    int status;
    DavFailure failure;
    const char *body; // the answer's body or ETag expected, %1 the port
    bool thinks = false; // the server keeps the first byte back long enough to be reported
};

class Faults : public testing::TestWithParam<FaultRow>
{
};

// A broken or hostile server (fault_server.py on two loopback origins) ends each request with
// the reason, in bounded time and memory, and never sees a request on an origin not chosen.
TEST_P(Faults, EndEachRequestWithItsReason)
{
    const FaultRow &row = GetParam();
    test::FaultServer server;
    ASSERT_FALSE(server.port.isEmpty());
    const auto at = [&](const char *url) {
        return QString::fromLatin1(url).replace(u"%1"_s, QString::fromLatin1(server.port));
    };
    DavClient client({ u"alice"_s, u"secret"_s }, nullptr, { 3'000, 500, 1024, 5, 500 });
    int waits = 0;
    client.waitingForServer = [&] { ++waits; };
    client.trustOrigin(QUrl(at("http://127.0.0.1:%1/")));
    client.trustOrigin(QUrl(at("http://localhost:%1/")));
    client.trustOrigin(QUrl(u"http://203.0.113.7/"_s)); // even when chosen, http stays home
    // In a batch beside a plain request, as the push sends its uploads.
    const QList<DavReply> replies = client.sendAll({ { row.verb, QUrl(at(row.url)), "BEGIN:", {} },
        { "GET", QUrl(at("http://127.0.0.1:%1/landing")), {}, {} } });
    const DavReply &reply = replies.first();
    EXPECT_EQ(reply.status, row.status) << reply.error.toStdString();
    EXPECT_EQ(reply.failure, row.failure);
    EXPECT_EQ(reply.status == 201 ? reply.etag.toUtf8() : reply.body, at(row.body).toUtf8());
    EXPECT_EQ(replies.last().status, 201);
    EXPECT_LE(client.peakBufferedBytes(), ItemCap + 1);
    EXPECT_EQ(waits, row.thinks ? 1 : 0);
    for (const QByteArray &line : server.requests().split('\n'))
        EXPECT_TRUE(line.isEmpty() || line.startsWith(server.port)) << line.toStdString();
}

// A certificate the system does not trust ends the sync before any request, and with it the
// password, reaches the server.
TEST(Certificate, ARefusedOneEndsTheSyncBeforeThePasswordIsSent)
{
    QTemporaryDir keys;
    ASSERT_TRUE(test::makeTestCertificate(keys.path()));
    test::FaultServer server({ u"--tls"_s, keys.path() });
    test::TempDatabase files;
    store::Connection connection = files.create();
    DavClient client({ u"alice"_s, u"secret"_s });
    CardSyncOptions options;
    options.addressBook =
        QUrl(u"https://127.0.0.1:%1/book/"_s.arg(QString::fromLatin1(server.port)));
    const CardSyncResult result = syncAddressBook(connection, client, options);
    EXPECT_TRUE(result.error.startsWith(u"证书无效: "_s) && result.error.size() > 6)
        << result.error.toStdString();
    EXPECT_EQ(server.requests(), QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Rows, Faults,
    testing::Values(FaultRow { "redirect to another origin", "GET", "http://127.0.0.1:%1/away", 0,
                        DavFailure::OtherOrigin, "" },
        FaultRow { "PUT redirected with its body", "PUT", "http://127.0.0.1:%1/hop", 201,
            DavFailure::None, "\"PUT 6\"" },
        FaultRow {
            "endless answer", "GET", "http://127.0.0.1:%1/endless", 0, DavFailure::TooLarge, "" },
        FaultRow { "huge answer announced", "PROPFIND", "http://127.0.0.1:%1/huge", 0,
            DavFailure::TooLarge, "" },
        FaultRow { "trickling answer", "REPORT", "http://127.0.0.1:%1/trickle", 0,
            DavFailure::TimedOut, "" },
        FaultRow { "server thinking a while, by name", "PROPFIND", "http://localhost:%1/think", 207,
            DavFailure::None, "localhost:%1", true },
        FaultRow { "plain http to a public address", "GET", "http://203.0.113.7/", 0,
            DavFailure::Insecure, "" }),
    test::BySituation {});

} // namespace
} // namespace natalis::sync
