#pragma once

// A gateway simulator on a free loopback port and a client of it, for one test.

#include "gatewaysimulator.h"
#include "sms/httpsmsgateway.h"
#include "sms/smsdispatch.h"
#include "store/settingsrecord.h"
#include "support/tempdatabase.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace natalis::sms::test {

class SimulatorFixture : public testing::Test
{
protected:
    SimulatorFixture() : simulator(records.filePath(QStringLiteral("sends.jsonl")))
    {
        const int port = simulator.start();
        EXPECT_GT(port, 0) << "the simulator cannot bind a loopback port";
        gateway = std::make_unique<HttpSmsGateway>(simulator.baseAddress());
        gateway->setRegistrationKey(Key);
    }

    // The key the fixture's registered accounts were registered with.
    static inline const QString Key = QStringLiteral("abcdef");

    // An account with this password and balance, registered with a key when registered.
    void addAccount(const QString &name, double balance, bool registered = true,
        const QString &password = QStringLiteral("0123456789"))
    {
        simulator.setAccount(name, { password, balance, registered, registered ? Key : QString() });
    }

    QTemporaryDir records;
    smssim::GatewaySimulator simulator;
    std::unique_ptr<HttpSmsGateway> gateway;
};

// A simulator, a fresh database and the send context over both, at a fixed moment.
class DispatchFixture : public SimulatorFixture
{
protected:
    DispatchFixture() : connection(files.create())
    {
        settings.DxYyTail = QStringLiteral("青萍");
        accounts[0] = { QStringLiteral("customer"), QStringLiteral("1") };
        accounts[1] = { QStringLiteral("app"), QStringLiteral("1") };
        addAccount(QStringLiteral("customer"), 100);
        addAccount(QStringLiteral("app"), 100);
    }

    SmsSendContext context()
    {
        return { connection, *gateway, settings, accounts, QStringLiteral("PC-1"), now };
    }

    natalis::test::TempDatabase files;
    store::Connection connection;
    store::SettingsRecord settings;
    SmsAccountTable accounts;
    QDateTime now { QDate(2024, 5, 4), QTime(10, 0) };
};

} // namespace natalis::sms::test
