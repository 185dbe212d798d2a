// The simulator as a user starts it by hand: a program on a port it prints.

#include "sms/httpsmsgateway.h"
#include "sms/smsdispatch.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

TEST(SimulatorProgramTest, ServesTheAccountsOfItsCommandLineAndRecordsSends)
{
    QTemporaryDir folder;
    const QString record = folder.filePath(u"sends.jsonl"_s);
    QProcess simulator;
    simulator.start(QStringLiteral(NATALIS_SMS_SIM_PATH),
        { u"--port"_s, u"0"_s, u"--record"_s, record, u"--account"_s,
            u"alice:0123456789:5:registered:abcdef"_s, u"--force"_s, u"UnRegister=22x1"_s });
    ASSERT_TRUE(simulator.waitForStarted());
    ASSERT_TRUE(simulator.waitForReadyRead(10000));
    const QString line = QString::fromUtf8(simulator.readLine()).trimmed();
    ASSERT_TRUE(line.startsWith(u"sms-gateway-sim listening on http://127.0.0.1:"_s))
        << line.toStdString();

    HttpSmsGateway gateway(line.section(u' ', -1));
    gateway.setRegistrationKey(u"abcdef"_s);
    QString buffer;
    EXPECT_EQ(gateway.GetBalance(u"alice"_s, buffer), 1);
    EXPECT_EQ(TrimTrailingBlanks(buffer), u"5.00"_s);
    EXPECT_EQ(gateway.SendSMS(u"alice"_s, u"13800000001"_s, u"hi"_s, u"5"_s, {}), 1);
    EXPECT_EQ(gateway.UnRegister(u"alice"_s), 22);
    EXPECT_EQ(gateway.UnRegister(u"alice"_s), 1);

    simulator.terminate();
    EXPECT_TRUE(simulator.waitForFinished(10000));
    EXPECT_EQ(simulator.exitCode(), 0);
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 1);
}

TEST(SimulatorProgramTest, RefusesAMalformedSwitch)
{
    QProcess simulator;
    simulator.start(QStringLiteral(NATALIS_SMS_SIM_PATH), { u"--force"_s, u"SendSMS"_s });
    ASSERT_TRUE(simulator.waitForFinished(10000));
    EXPECT_EQ(simulator.exitCode(), 2);
}

} // namespace
} // namespace natalis::sms
