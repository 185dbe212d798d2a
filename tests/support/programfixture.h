#pragma once

// The main window, or the whole program around it, over a fresh database file as start-up
// leaves it. Used by the tests of the program (tests/app).

#include "app/application.h"
#include "app/frmget.h"
#include "desktop/musicplayer.h"
#include "platform/clock.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

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

    // A birthday straight into the table, as an earlier run or another program left it.
    qint32 add(const store::BirthdayRecord &record)
    {
        return store::AddBirthToMdb(*context.DbConnection, record);
    }

    // The main window alone, its birthdays read and loaded.
    app::frmGet &openWindow()
    {
        app::reloadBirthdays(context, messages);
        window = std::make_unique<app::frmGet>(context, messages, clock);
        window->load();
        return *window;
    }

    // The whole program: its birthdays read, every part made and connected.
    app::Application &openProgram(std::unique_ptr<app::MusicPlayer> music = nullptr)
    {
        app::reloadBirthdays(context, messages);
        program = std::make_unique<app::Application>(context, messages, clock, std::move(music));
        return *program;
    }

    TempDatabase database;
    app::AppContext context;
    RecordingMessageSink messages;
    app::FixedClock clock { QDateTime(QDate(2025, 5, 1), QTime(8, 0)) };
    std::unique_ptr<app::Application> program;
    std::unique_ptr<app::frmGet> window;
};

} // namespace natalis::test
