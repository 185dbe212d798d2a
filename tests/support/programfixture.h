#pragma once

// The main window, or the whole program around it, over a fresh database file as start-up
// leaves it, for the tests of the program (tests/app); GatewayProgramTest adds a gateway.

#include "app/application.h"
#include "app/frmget.h"
#include "birthdays/birthdayservice.h"
#include "desktop/musicplayer.h"
#include "gatewaysimulator.h"
#include "platform/clock.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <memory>

namespace natalis::test {

class ProgramTest : public testing::Test
{
protected:
    ProgramTest()
    {
        context.DbConnection = database.create();
        context.DbPath = database.path();
        // The floating window stays closed unless a test turns it on.
        context.Settings.intFudong = 0;
    }

    // As an earlier run or another program left it.
    qint32 add(const store::BirthdayRecord &record)
    {
        return store::AddBirthToMdb(*context.DbConnection, record, test::EnteredAt);
    }

    app::frmGet &openWindow()
    {
        birthdays::reloadBirthdays(context, messages);
        window.reset(); // before the service it works through
        service = std::make_unique<birthdays::BirthdayService>(context, messages, clock);
        window = std::make_unique<app::frmGet>(context, *service, messages, clock);
        window->load();
        return *window;
    }

    app::Application &openProgram(std::unique_ptr<desktop::MusicPlayer> music = nullptr)
    {
        birthdays::reloadBirthdays(context, messages);
        program = std::make_unique<app::Application>(context, messages, clock, std::move(music));
        return *program;
    }

    // A control of the main window, by its object name.
    template<typename T>
    T *find(const QString &name)
    {
        T *widget = window->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString label(const QString &name) { return find<QLabel>(name)->text(); }

    TempDatabase database;
    session::AppContext context;
    RecordingMessageSink messages;
    platform::FixedClock clock { QDateTime(QDate(2025, 5, 1), QTime(8, 0)) };
    std::unique_ptr<app::Application> program;
    std::unique_ptr<birthdays::BirthdayService> service; // the window's, without a program
    std::unique_ptr<app::frmGet> window;
};

// The program with a gateway simulator on a loopback port: its address stored,
// the customer account "shop" registered for this computer ("PC-1") with 100 yuan, the clock at
// 4 May 2024, 10:00.

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
        session::shutdown(context);
    }

    smssim::GatewaySimulator simulator;
};

} // namespace natalis::test
