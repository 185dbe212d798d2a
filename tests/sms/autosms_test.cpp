#include "calendar/datetext.h"
#include "calendar/lunaryeartable.h"
#include "simulatorfixture.h"
#include "sms/autosms.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

constexpr int Friends = 6; // 朋友

class AutoBirthdaySmsTest : public test::DispatchFixture
{
protected:
    AutoBirthdaySmsTest()
    {
        calendar::LoadLunarYearTable();
        settings.DxTxFlags[Friends] = u"1"_s;
        settings.DxTxUser[Friends] = u"customer[客户]"_s;
        settings.DxTxContent[Friends] = u"  生日快乐  "_s;
        settings.DxTxTqDays[Friends] = 3;
        settings.DxSendTime = u"08:00"_s;
    }

    // A friend asking for an SMS whose Gregorian birthday is daysAhead days after now's date.
    qint32 addFriend(
        const QString &name, int daysAhead, qint16 window = 7, const QString &kind = u"生日"_s)
    {
        const QDate birthday = now.date().addDays(daysAhead).addYears(-30);
        store::BirthdayRecord record =
            natalis::test::gregorianBirthday(name, calendar::gregorianText(birthday), window);
        record.Duanxin = u"是"_s;
        record.Kind = kind;
        const qint32 id = store::AddBirthToMdb(connection, record, natalis::test::EnteredAt);
        EXPECT_GT(id, 0);
        return id;
    }

    // A run on the list as loaded; an empty list is loaded again, as after a restart.
    AutoSmsRun run()
    {
        if (birthdays.isEmpty()) {
            const store::BirthdayLoad load = store::LoadBirthdays(connection);
            birthdays = load.Birthdays;
            hasBirthdays = load.HasBirthdays;
        }
        return AutoBirthdaySms(birthdays, hasBirthdays, context());
    }

    QStringList storedMarks()
    {
        return natalis::test::queryRows(connection, "select DxSend from birthday order by Id");
    }

    store::BirthdayList birthdays;
    bool hasBirthdays = false;
};

struct DueCase
{
    const char *situation;
    int daysAhead;
    qint16 window;
    int early; // days the category sends before the birthday
    QTime now;
    const char *sendTime;
    int offset; // -1: nothing goes out
    QString schedule; // empty: at once
    QString kind = u"生日"_s;
};

const DueCase DueCases[] = {
    { "send time seventeen minutes away", 1, 7, 3, QTime(10, 0), "10:17", 0,
        u"2024年05月04日10时17分"_s },
    { "send time sixteen minutes away", 1, 7, 3, QTime(10, 1), "10:17", 0, {} },
    { "early past the send day", 2, 7, 9, QTime(10, 0), "08:00", 0, {} },
    { "window short of the birthday", 5, 2, 3, QTime(10, 0), "08:00", -1, {} },
    { "window reaching the birthday", 2, 2, 3, QTime(10, 0), "08:00", 0, {} },
    { "send day today after ten at night", 1, 7, 3, QTime(22, 0), "08:00", -1, {} },
    { "send day today just before ten at night", 1, 7, 3, QTime(21, 59), "08:00", 0, {} },
    { "later send day after ten at night", 5, 7, 3, QTime(22, 30), "08:00", 2,
        u"2024年05月06日08时00分"_s },
    { "忌日 asking for an SMS", 2, 7, 9, QTime(10, 0), "08:00", -1, {}, u"忌日"_s },
    { "纪念日 keeps its greeting", 2, 7, 9, QTime(10, 0), "08:00", 0, {}, u"纪念日"_s },
};

class DueTest : public AutoBirthdaySmsTest, public testing::WithParamInterface<DueCase>
{
};

TEST_P(DueTest, TheBirthdayGoesOutOnItsSendDayAtItsTime)
{
    const DueCase &c = GetParam();
    now.setTime(c.now);
    settings.DxSendTime = QString::fromLatin1(c.sendTime);
    settings.DxTxTqDays[Friends] = c.early;
    addFriend(u"张三"_s, c.daysAhead, c.window, c.kind);
    const AutoSmsRun sent = run();
    ASSERT_EQ(sent.batches.size(), c.offset < 0 ? 0 : 1);
    EXPECT_EQ(sent.stoppedForTheNight, c.now >= QTime(22, 0));
    if (c.offset < 0)
        return;
    EXPECT_EQ(sent.batches[0].offset, c.offset);
    EXPECT_EQ(sent.batches[0].scheduleText, c.schedule);
    EXPECT_EQ(delivered({ "operation" }),
        QStringList { c.schedule.isEmpty() ? u"SendSMS"_s : u"SendScheSMS"_s });
}

INSTANTIATE_TEST_SUITE_P(Days, DueTest, testing::ValuesIn(DueCases), natalis::test::BySituation());

TEST_F(AutoBirthdaySmsTest, ACategoryWithoutAccountOrTextSendsNothing)
{
    addFriend(u"张三"_s, 5);
    birthdays = store::LoadBirthdays(connection).Birthdays;
    EXPECT_FALSE(AutoBirthdaySms(birthdays, false, context()).activity()) << "no birthdays";
    hasBirthdays = true;
    settings.DxTxUser[Friends] = u" "_s;
    EXPECT_FALSE(run().activity());
    settings.DxTxUser[Friends] = u"customer[客户]"_s;
    settings.DxTxContent[Friends] = u"   "_s;
    EXPECT_FALSE(run().activity());
    settings.DxTxContent[Friends] = u"hi"_s;
    settings.DxTxFlags[Friends] = u"0"_s;
    EXPECT_FALSE(run().activity());
    EXPECT_TRUE(simulator.requests().isEmpty());
}

TEST_F(AutoBirthdaySmsTest, AFailedMarkStillKeepsTheBatchFromGoingOutAgain)
{
    addFriend(u"张三"_s, 5);
    birthdays = store::LoadBirthdays(connection).Birthdays;
    hasBirthdays = true;
    connection.exec("create trigger refuse before update on birthday begin "
                    "select raise(abort, 'refused'); end");
    const AutoSmsRun sent = run();
    ASSERT_EQ(sent.batches.size(), 1);
    EXPECT_FALSE(sent.batches[0].markSaved);
    EXPECT_EQ(
        sent.panelTexts(), (QStringList { u"[生日短信]发送成功"_s, u"短信发送记录保存失败"_s }));
    EXPECT_FALSE(run().activity());
    EXPECT_EQ(simulator.records().size(), 1);
}

struct ResetCase
{
    const char *situation;
    QDateTime sentAt;
    int daysAhead;
    qint16 window;
    QDate kept; // the last day the mark stays
};

const ResetCase ResetCases[] = {
    { "birthday passed", QDateTime(QDate(2024, 5, 4), QTime(10, 0)), 5, 7, QDate(2024, 5, 9) },
    // Sent on 20 December for a birthday on 2 January: still marked on 28 December.
    { "next occurrence across the new year", QDateTime(QDate(2024, 12, 20), QTime(10, 0)), 13, 14,
        QDate(2025, 1, 2) },
};

class ResetTest : public AutoBirthdaySmsTest, public testing::WithParamInterface<ResetCase>
{
};

TEST_P(ResetTest, TheSentMarkIsClearedOnceTheBirthdayHasPassed)
{
    now = GetParam().sentAt;
    addFriend(u"张三"_s, GetParam().daysAhead, GetParam().window);
    ASSERT_TRUE(run().batches.value(0).outcome.accepted);
    const QDate kept = GetParam().kept;
    EXPECT_EQ(ResetSmsSentFlags(birthdays, false, connection, kept.addDays(1)), 0) << "no list";
    EXPECT_EQ(ResetSmsSentFlags(birthdays, hasBirthdays, connection, kept), 0);
    EXPECT_EQ(storedMarks(), QStringList { u"1"_s });
    EXPECT_EQ(ResetSmsSentFlags(birthdays, hasBirthdays, connection, kept.addDays(1)), 1);
    EXPECT_EQ(birthdays[0].DxSend, u"0"_s);
    EXPECT_EQ(storedMarks(), QStringList { u"0"_s });
}

INSTANTIATE_TEST_SUITE_P(
    Marks, ResetTest, testing::ValuesIn(ResetCases), natalis::test::BySituation());

} // namespace
} // namespace natalis::sms
