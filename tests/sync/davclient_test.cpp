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

// A server of the test's own on two loopback ports, each one origin, that logs every request.
class FaultServer
{
public:
    FaultServer()
    {
        m_process.start(u"/usr/bin/python3"_s,
            { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/fault_server.py"), logPath() });
        m_process.waitForReadyRead(10'000);
        const QList<QByteArray> ports = m_process.readLine().trimmed().split(' ');
        for (const QByteArray &port : ports)
            m_ports << port.toInt();
    }
    ~FaultServer()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished(5'000);
    }
    QUrl url(int which, const QString &path) const
    {
        return QUrl(u"http://127.0.0.1:%1%2"_s.arg(m_ports.value(which)).arg(path));
    }
    QString log() const
    {
        QFile file(logPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    QString logPath() const { return m_dir.filePath(u"requests.log"_s); }

    QTemporaryDir m_dir;
    QProcess m_process;
    QList<int> m_ports;
};

struct FaultRow
{
    const char *situation;
    const char *verb;
    const char *path; // on the first origin; "@" asks a public address
    int status;
    DavFailure failure;
    const char *etag; // expected, or null
};

class Faults : public testing::TestWithParam<FaultRow>
{
protected:
    static DavRequest requestFor(const FaultServer &server, const FaultRow &row)
    {
        const QUrl url = *row.path == '@' ? QUrl(u"http://203.0.113.7/"_s)
                                          : server.url(0, QString::fromLatin1(row.path));
        return { row.verb, url, "BEGIN:VCARD", {} };
    }
};

// A broken or hostile server ends each request with the reason, within the time and memory
// given, and never hands the password to an origin the user did not choose.
TEST_P(Faults, EndsEachRequestWithItsReason)
{
    const FaultRow &row = GetParam();
    FaultServer server;
    DavLimits limits { 3'000, 500, 1024, 5 };
    DavClient client({ u"alice"_s, u"secret"_s }, nullptr, limits);
    client.trustOrigin(server.url(0, u"/"_s));
    client.trustOrigin(QUrl(u"http://203.0.113.7/"_s)); // even when chosen, http stays home
    // In a batch, beside a plain request, as the push sends its uploads.
    const QList<DavReply> replies =
        client.sendAll({ requestFor(server, row), { "GET", server.url(0, u"/plain"_s), {}, {} } });
    const DavReply &reply = replies.first();
    EXPECT_EQ(reply.status, row.status) << reply.error.toStdString();
    EXPECT_EQ(reply.failure, row.failure);
    if (row.etag) {
        EXPECT_EQ(reply.etag, QString::fromLatin1(row.etag));
    }
    EXPECT_TRUE(replies.last().ok());
    EXPECT_LE(client.peakBufferedBytes(), ItemCap + 1);
    EXPECT_FALSE((u"\n"_s + server.log()).contains(u"\n%1 "_s.arg(server.url(1, {}).port())))
        << "the other origin was asked:\n"
        << server.log().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, Faults,
    testing::Values(FaultRow { "redirect to another origin", "GET", "/away", 0,
                        DavFailure::OtherOrigin, nullptr },
        FaultRow {
            "PUT redirected with its body", "PUT", "/hop", 201, DavFailure::None, "\"PUT 11\"" },
        FaultRow { "endless answer", "GET", "/endless", 0, DavFailure::TooLarge, nullptr },
        FaultRow { "huge answer announced", "PROPFIND", "/huge", 0, DavFailure::TooLarge, nullptr },
        FaultRow { "trickling answer", "REPORT", "/trickle", 0, DavFailure::TimedOut, nullptr },
        FaultRow {
            "server thinking a while", "PROPFIND", "/think", 207, DavFailure::None, nullptr },
        FaultRow {
            "plain http to a public address", "GET", "@", 0, DavFailure::Insecure, nullptr }),
    test::BySituation {});

// The name is resolved by the client, which connects to the address it checked and still names
// the host to the server.
TEST(PlainHttp, ConnectsToTheCheckedAddressOfAName)
{
    FaultServer server;
    QUrl url = server.url(0, u"/host"_s);
    url.setHost(u"localhost"_s);
    DavClient client({ u"alice"_s, u"secret"_s });
    const DavReply reply = client.send({ "GET", url, {}, {} });
    EXPECT_EQ(reply.status, 200) << reply.error.toStdString();
    EXPECT_EQ(reply.body, u"localhost:%1"_s.arg(url.port()).toUtf8());
}

struct AddressRow
{
    const char *situation;
    const char *address;
    bool local;
};

class Addresses : public testing::TestWithParam<AddressRow>
{
};

TEST_P(Addresses, KeepsPlainHttpInTheHouse)
{
    EXPECT_EQ(
        isLocalAddress(QHostAddress(QString::fromLatin1(GetParam().address))), GetParam().local);
}

INSTANTIATE_TEST_SUITE_P(Rows, Addresses,
    testing::Values(AddressRow { "loopback", "127.0.0.1", true },
        AddressRow { "IPv6 loopback", "::1", true },
        AddressRow { "home router range", "192.168.1.20", true },
        AddressRow { "top of 172.16/12", "172.31.255.255", true },
        AddressRow { "just outside 172.16/12", "172.32.0.5", false },
        AddressRow { "10/8", "10.200.0.1", true }, AddressRow { "link-local", "169.254.7.7", true },
        AddressRow { "IPv6 link-local", "fe80::1", true },
        AddressRow { "unique local", "fd12:3456::1", true },
        AddressRow { "private address mapped into IPv6", "::ffff:192.168.0.9", true },
        AddressRow { "public address mapped into IPv6", "::ffff:8.8.8.8", false },
        AddressRow { "carrier-grade NAT is not the house", "100.64.0.1", false },
        AddressRow { "public IPv4", "8.8.8.8", false },
        AddressRow { "public IPv6", "2001:4860::8888", false },
        AddressRow { "no address", "", false }),
    test::BySituation {});

} // namespace
} // namespace natalis::sync

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
