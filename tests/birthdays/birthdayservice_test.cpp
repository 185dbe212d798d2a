// The birthday service without a window: every change undone and redone as the table holds it,
// the editor's refusals, and who the change is announced as.

#include "birthdays/birthdayservice.h"
#include "platform/clock.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::birthdays;
using namespace Qt::StringLiterals;

namespace {

// Two friends, 甲 with a mobile number and 乙 with a landline, read as the program reads them.
struct Service : testing::Test
{
    Service()
    {
        file.DbConnection = database.create();
        file.DbPath = database.path();
        for (const QString &tel : { u"13800000000"_s, u"12345"_s }) {
            store::BirthdayRecord record = test::gregorianBirthday(
                tel.size() > 5 ? u"甲"_s : u"乙"_s, u"公历1980年 05月03日"_s);
            record.Tel = tel;
            store::AddBirthToMdb(*file.DbConnection, record, test::EnteredAt);
        }
        reloadBirthdays(file, messages);
        QObject::connect(&service, &BirthdayService::changed,
            [this](const BirthdayChanges &changes) { origins.append(changes.origin); });
    }

    // The table as a person reads it: name|days|SMS|remark, by name.
    QStringList stored()
    {
        QStringList rows;
        const store::BirthdayLoad load = store::LoadBirthdays(*file.DbConnection);
        const store::BirthdayList none;
        for (const store::BirthdayRecord &r : load.HasBirthdays ? load.Birthdays : none)
            rows << u"%1|%2|%3|%4"_s.arg(r.About.trimmed()).arg(r.intNums).arg(r.Duanxin, r.Beizhu);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    store::BirthdayRecord loaded(const QString &name)
    {
        for (const store::BirthdayRecord &record : file.loadedBirthdays()) {
            if (record.About.trimmed() == name)
                return record;
        }
        return {};
    }
    void writeElsewhere(const QString &name)
    {
        auto other =
            store::Connection::open(file.DbPath, store::Connection::OpenMode::ExistingOnly);
        ASSERT_TRUE(other);
        store::AddBirthToMdb(*other, test::gregorianBirthday(name, {}), test::EnteredAt);
    }

    test::TempDatabase database;
    BirthdayFile file;
    test::RecordingMessageSink messages;
    platform::FixedClock clock { test::EnteredAt };
    BirthdayService service { file, messages, clock };
    QList<ChangeOrigin> origins;
};

struct ChangeRow
{
    const char *situation;
    std::function<bool(Service &)> change; // false when it did not do what it says
    QStringList after;
    ChangeOrigin origin;
};

class Changes : public Service, public testing::WithParamInterface<ChangeRow>
{
};

const QStringList Before { u"乙|3|否|"_s, u"甲|3||"_s };

TEST_P(Changes, AreOneUndoStepEachWrittenBackAndForth)
{
    ASSERT_EQ(stored(), Before);
    ASSERT_TRUE(GetParam().change(*this));
    EXPECT_EQ(stored(), GetParam().after);
    EXPECT_EQ(origins, QList { GetParam().origin });
    EXPECT_EQ(file.loadedBirthdays().size(), GetParam().after.size()) << "read back at once";

    service.undoStack().undo();
    EXPECT_EQ(stored(), Before);
    service.undoStack().redo();
    EXPECT_EQ(stored(), GetParam().after);
    EXPECT_EQ(origins.size(), 3);
}

INSTANTIATE_TEST_SUITE_P(Service, Changes,
    testing::Values(ChangeRow { "add",
                        [](Service &t) {
                            return t.service
                                .add(
                                    BirthdayService::editOf(test::gregorianBirthday(u" 丙 "_s, {})))
                                .written;
                        },
                        { u"丙|3||"_s, u"乙|3|否|"_s, u"甲|3||"_s }, ChangeOrigin::Here },
        ChangeRow { "edit keeps what is not given",
            [](Service &t) {
                store::BirthdayEdit edit = BirthdayService::editOf(t.loaded(u"甲"_s));
                edit.Beizhu = u"改过"_s;
                return t.service.edit(t.loaded(u"甲"_s).Id, edit).written;
            },
            { u"乙|3|否|"_s, u"甲|3||改过"_s }, ChangeOrigin::Here },
        ChangeRow { "batch asks an SMS: only the mobile number gets one",
            [](Service &t) {
                const ChangeOutcome outcome = t.service.changeSeveral(
                    { t.loaded(u"甲"_s).Id, t.loaded(u"乙"_s).Id }, 9, true);
                return outcome.notice == u"乙没有手机号码,短信提醒仍为\"否\"。"_s;
            },
            { u"乙|9|否|"_s, u"甲|9|是|"_s }, ChangeOrigin::Here },
        ChangeRow { "delete of two",
            [](Service &t) {
                return t.service.remove({ t.loaded(u"甲"_s).Id, t.loaded(u"乙"_s).Id }).written;
            },
            {}, ChangeOrigin::Here },
        ChangeRow { "import of two rows",
            [](Service &t) {
                return t.service.import([&t] {
                    for (const QString &name : { u"丁"_s, u"戊"_s })
                        store::AddBirthToMdb(*t.file.DbConnection,
                            test::gregorianBirthday(name, {}), test::EnteredAt);
                    return true;
                });
            },
            { u"丁|3||"_s, u"乙|3|否|"_s, u"戊|3||"_s, u"甲|3||"_s }, ChangeOrigin::Import }),
    test::BySituation());

TEST_F(Service, RefusedChangesWriteNothingAndSayTheEditorsMessage)
{
    const struct
    {
        QString name, remark, message;
    } refusals[] = {
        { u"乙"_s, {}, u"生日名称重复，请重新输入！"_s }, // the name of another in the category
        { u"丙"_s, QString(51, u'长'), u"生日备注不能超过100个字符(1个汉字算2个字符)！"_s },
    };
    for (const auto &[name, remark, message] : refusals) {
        SCOPED_TRACE(message.toStdString());
        store::BirthdayEdit edit = BirthdayService::editOf(test::gregorianBirthday(name, {}));
        edit.Beizhu = remark;
        for (const ChangeOutcome &outcome :
            { service.add(edit), service.edit(loaded(u"甲"_s).Id, edit) }) {
            EXPECT_FALSE(outcome.written);
            EXPECT_EQ(outcome.message, message);
        }
    }
    EXPECT_EQ(stored(), Before);
    EXPECT_EQ(service.undoStack().count(), 0);
    EXPECT_TRUE(origins.isEmpty());
}

TEST_F(Service, AnotherProgramsWriteIsAnnouncedOnceAndNotWhileHeld)
{
    writeElsewhere(u"丙"_s);
    bool held = true;
    service.reloadHeld = [&held] { return held; };
    service.lookForOtherWrites();
    EXPECT_TRUE(origins.isEmpty());
    held = false;
    service.lookForOtherWrites();
    service.lookForOtherWrites();
    EXPECT_EQ(origins, QList { ChangeOrigin::OtherProgram });
    EXPECT_EQ(file.loadedBirthdays().size(), 3);
}

TEST_F(Service, SyncsWritesAreTheSyncsAndItsOwnRecordsAreNoOtherProgram)
{
    service.syncStarting();
    writeElsewhere(u"丙"_s);
    service.syncFinished(true);
    EXPECT_EQ(origins, QList { ChangeOrigin::Sync });

    service.syncStarting();
    writeElsewhere(u"丁"_s); // stands for the run's own records
    service.syncFinished(false);
    service.lookForOtherWrites();
    EXPECT_EQ(origins, QList { ChangeOrigin::Sync });
}

} // namespace
