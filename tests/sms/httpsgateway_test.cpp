// https gateways: the certificate is checked, against the system's CA store or a CA file given.

#include "gatewaysimulator.h"
#include "sms/httpsmsgateway.h"
#include "sms/smsdispatch.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

// A self-signed certificate for 127.0.0.1, made for this test run.
class HttpsGatewayTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QProcess openssl;
        openssl.start(u"openssl"_s,
            { u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-days"_s, u"2"_s,
                u"-subj"_s, u"/CN=127.0.0.1"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s,
                u"-keyout"_s, key(), u"-out"_s, certificate() });
        ASSERT_TRUE(openssl.waitForFinished(60000));
        ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
        simulator = std::make_unique<smssim::GatewaySimulator>(
            QString(), smssim::GatewaySimulator::Tls { certificate(), key() });
        ASSERT_GT(simulator->start(), 0);
        simulator->setAccount(u"alice"_s, { u"0123456789"_s, 12.5, true, u"abcdef"_s });
    }

    QString certificate() const { return folder.filePath(u"gateway.pem"_s); }
    QString key() const { return folder.filePath(u"gateway.key"_s); }

    QTemporaryDir folder;
    std::unique_ptr<smssim::GatewaySimulator> simulator;
};

TEST_F(HttpsGatewayTest, OnlyATrustedCertificateIsAnswered)
{
    ASSERT_TRUE(simulator->baseAddress().startsWith(u"https://"_s));
    HttpSmsGateway trusting(simulator->baseAddress(), std::chrono::seconds(5), certificate());
    trusting.setRegistrationKey(u"abcdef"_s);
    QString buffer;
    EXPECT_EQ(trusting.GetBalance(u"alice"_s, buffer), GatewayResults::Ok);
    EXPECT_EQ(TrimTrailingBlanks(buffer), u"12.50"_s);

    // The system's CA store has never heard of this certificate.
    HttpSmsGateway systemStore(simulator->baseAddress(), std::chrono::seconds(5));
    EXPECT_EQ(systemStore.GetBalance(u"alice"_s, buffer), GatewayResults::NetworkFailure);
    EXPECT_EQ(simulator->requests().size(), 1);
}

} // namespace
} // namespace natalis::sms
