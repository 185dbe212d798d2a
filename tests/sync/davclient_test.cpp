#include "support/casename.h"
#include "sync/davclient.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
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
};

class Faults : public testing::TestWithParam<FaultRow>
{
};

// A broken or hostile server (fault_server.py on two loopback origins) ends each request with
// the reason, in bounded time and memory, and never sees a request on an origin not chosen.
TEST_P(Faults, EndEachRequestWithItsReason)
{
    const FaultRow &row = GetParam();
    QTemporaryDir dir;
    const QString log = dir.filePath(u"requests"_s);
    QProcess server;
    server.start(u"/usr/bin/python3"_s,
        { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/fault_server.py"), log });
    ASSERT_TRUE(server.waitForReadyRead(10'000));
    const QList<QByteArray> ports = server.readLine().trimmed().split(' ');
    const auto at = [&](const char *url) {
        return QString::fromLatin1(url).replace(u"%1"_s, QString::fromLatin1(ports[0]));
    };
    DavClient client({ u"alice"_s, u"secret"_s }, nullptr, { 3'000, 500, 1024, 5 });
    client.trustOrigin(QUrl(at("http://127.0.0.1:%1/")));
    client.trustOrigin(QUrl(at("http://localhost:%1/")));
    client.trustOrigin(QUrl(u"http://203.0.113.7/"_s)); // even when chosen, http stays home
    // In a batch beside a plain request, as the push sends its uploads.
    const QList<DavReply> replies = client.sendAll({ { row.verb, QUrl(at(row.url)), "BEGIN:", {} },
        { "GET", QUrl(at("http://127.0.0.1:%1/landing")), {}, {} } });
    server.closeWriteChannel();
    server.waitForFinished();
    const DavReply &reply = replies.first();
    EXPECT_EQ(reply.status, row.status) << reply.error.toStdString();
    EXPECT_EQ(reply.failure, row.failure);
    EXPECT_EQ(reply.status == 201 ? reply.etag.toUtf8() : reply.body, at(row.body).toUtf8());
    EXPECT_EQ(replies.last().status, 201);
    EXPECT_LE(client.peakBufferedBytes(), ItemCap + 1);
    QFile requests(log);
    ASSERT_TRUE(requests.open(QIODevice::ReadOnly));
    for (const QByteArray &line : requests.readAll().split('\n'))
        EXPECT_TRUE(line.isEmpty() || line.startsWith(ports[0])) << line.toStdString();
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
            DavFailure::None, "localhost:%1" },
        FaultRow { "plain http to a public address", "GET", "http://203.0.113.7/", 0,
            DavFailure::Insecure, "" }),
    test::BySituation {});

} // namespace
} // namespace natalis::sync

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
