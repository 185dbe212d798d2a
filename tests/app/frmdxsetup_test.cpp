// "短信设置" as the main window runs it: nothing without a database, and the program's settings
// replaced once the dialog saved. The dialog's rules are tested in tests/sms.

#include "app/smssetupaction.h"
#include "dialogs/frmdxsetup.h"
#include "store/settings.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

TEST(runSmsSetup, WithoutADatabaseOpensNothing)
{
    AppContext context;
    test::RecordingMessageSink messages;
    bool ran = false;
    EXPECT_FALSE(runSmsSetup(nullptr, context, messages, [&](QDialog &) { ran = true; }));
    EXPECT_FALSE(ran);
}

TEST(runSmsSetup, ReplacesTheProgramSettingsWhenSaved)
{
    test::TempDatabase database;
    AppContext context;
    context.DbConnection.emplace(database.create());
    context.Settings = std::get<store::SettingsRecord>(store::ReadSettings(*context.DbConnection));
    test::RecordingMessageSink messages;
    const bool saved = runSmsSetup(nullptr, context, messages, [](QDialog &d) {
        d.findChild<QLineEdit *>(u"txtDxYyTail"_s)->setText(u"青萍"_s);
        static_cast<frmDxSetup &>(d).cmdOK_Click();
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(context.Settings.DxYyTail, u"青萍"_s);
    EXPECT_EQ(std::get<store::SettingsRecord>(store::ReadSettings(*context.DbConnection)).DxYyTail,
        u"青萍"_s);
}

} // namespace
