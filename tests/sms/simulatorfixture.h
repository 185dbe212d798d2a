#pragma once

// A gateway simulator on a free loopback port and a client of it, for one test.

#include "gatewaysimulator.h"
#include "sms/httpsmsgateway.h"
#include "sms/smsdispatch.h"
#include "store/settingsrecord.h"
#include "support/queryrows.h"
#include "support/tempdatabase.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace natalis::sms::test {

// The send log, oldest row first: the columns named ("strStatus,intDxNum") joined by '|'.
inline QStringList logged(store::Connection &db, const char *columns)
{
    return natalis::test::queryRows(
        db, std::string("select ") + columns + " from dxhistory order by Id");
}

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

    // The sends the gateway delivered, oldest first: the fields named joined by '|', a list of
    // numbers by its length.
    QStringList delivered(std::initializer_list<const char *> fields) const
    {
        QStringList sends;
        for (const QJsonObject &record : simulator.records()) {
            QStringList values;
            for (const char *field : fields) {
                const QJsonValue value = record.value(QLatin1StringView(field));
                values << (value.isArray() ? QString::number(value.toArray().size())
                        : value.isDouble() ? QString::number(value.toDouble())
                                           : value.toString());
            }
            sends << values.join(u'|');
        }
        return sends;
    }

    double balanceOf(const QString &account) const { return simulator.account(account)->balance; }

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

    // The arguments of one SendSmsBatch.
    struct Batch
    {
        bool mobile = true;
        QString type = ImmediateSmsType.toString();
        QString names {};
        QString numbers = QStringLiteral("13800000001");
        int count = 1;
        QString text = QStringLiteral("hi");
        QString account = QStringLiteral("customer");
        QString schedule {};
    };

    SmsBatchOutcome send(const Batch &b)
    {
        return SendSmsBatch(context(), b.mobile, b.type, b.names, b.numbers, b.count, b.text,
            b.account, b.schedule);
    }

    QStringList logged(const char *columns) { return test::logged(connection, columns); }

    natalis::test::TempDatabase files;
    store::Connection connection;
    store::SettingsRecord settings;
    SmsAccountTable accounts;
    QDateTime now { QDate(2024, 5, 4), QTime(10, 0) };
};

} // namespace natalis::sms::test
