#pragma once

// The program of ProgramTest with a gateway simulator on a loopback port: its address stored,
// the customer account "shop" registered for this computer ("PC-1") with 100 yuan, the clock at
// 4 May 2024, 10:00.

#include "gatewaysimulator.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "support/programfixture.h"

namespace natalis::test {

class GatewayProgramTest : public ProgramTest
{
protected:
    GatewayProgramTest()
    {
        EXPECT_GT(simulator.start(), 0) << "the simulator cannot bind a loopback port";
        simulator.setAccount(QStringLiteral("shop"),
            { QStringLiteral("0123456789"), 100, true,
                sms::RegistrationKey(QStringLiteral("PC-1")) });
        sms::saveGatewayAddress(*context.DbConnection, simulator.baseAddress());
        context.SmsAccounts[0] = { QStringLiteral("shop"), QStringLiteral("1") };
        context.ComputerName = QStringLiteral("PC-1");
        clock.set(QDateTime(QDate(2024, 5, 4), QTime(10, 0)));
    }

    // The gateway's calls end before the simulator does.
    ~GatewayProgramTest() override
    {
        program.reset();
        window.reset();
        app::shutdown(context);
    }

    smssim::GatewaySimulator simulator;
};

} // namespace natalis::test
