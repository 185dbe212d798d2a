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
    qint32 addFriend(const QString &name, int daysAhead, qint16 window = 7,
        const QString &tel = u"13800000001"_s, const QString &type = u"朋友"_s)
    {
        const QDate birthday = now.date().addDays(daysAhead).addYears(-30);
        store::BirthdayRecord record =
            natalis::test::gregorianBirthday(name, calendar::gregorianText(birthday), window);
        record.Duanxin = u"是"_s;
        record.Tel = tel;
        record.Type = type;
        const qint32 id = store::AddBirthToMdb(connection, record);
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

    QList<store::BirthdayRecord> birthdays;
    bool hasBirthdays = false;
};

TEST_F(AutoBirthdaySmsTest, FiveDaysAheadIsScheduledTheDayAfterTomorrowOnce)
{
    addFriend(u"张三"_s, 5);
    const AutoSmsRun first = run();
    ASSERT_EQ(first.batches.size(), 1);
    EXPECT_EQ(first.batches[0].offset, 2);
    EXPECT_EQ(first.batches[0].scheduleText, u"2024年05月06日08时00分"_s);
    EXPECT_EQ(delivered({ "operation", "sendTime", "text" }),
        QStringList { u"SendScheSMS|20240506080000|生日快乐"_s });
    EXPECT_EQ(storedMarks(), QStringList { u"1"_s });
    EXPECT_EQ(birthdays[0].DxSend, u"1"_s);
    EXPECT_EQ(first.panelTexts(), QStringList { u"[生日短信]发送成功"_s });

    // Later ticks send nothing more, nor does a start that reads the list again.
    now = now.addSecs(600);
    EXPECT_FALSE(run().activity());
    birthdays.clear();
    EXPECT_FALSE(run().activity());
    EXPECT_EQ(simulator.records().size(), 1);
}

TEST_F(AutoBirthdaySmsTest, OneDayAheadGoesOutTodayAtTheTimeOrAtOnce)
{
    addFriend(u"张三"_s, 1);
    settings.DxSendTime = u"10:17"_s; // exactly 17 minutes after now
    EXPECT_EQ(run().batches.value(0).scheduleText, u"2024年05月04日10时17分"_s);

    birthdays.clear();
    connection.exec("update birthday set DxSend='0'");
    settings.DxSendTime = u"10:16"_s;
    ASSERT_EQ(run().batches.size(), 1);
    EXPECT_EQ(delivered({ "operation" }), (QStringList { u"SendScheSMS"_s, u"SendSMS"_s }));
}

TEST_F(AutoBirthdaySmsTest, AfterTenAtNightNothingOfOffsetZeroGoesOut)
{
    addFriend(u"今天"_s, 1);
    addFriend(u"后天"_s, 5);
    now = QDateTime(now.date(), QTime(22, 30));
    const AutoSmsRun night = run();
    EXPECT_TRUE(night.stoppedForTheNight);
    ASSERT_EQ(night.batches.size(), 1);
    EXPECT_EQ(night.batches[0].names, QStringList { u"后天"_s });
    EXPECT_EQ(night.batches[0].offset, 2);
}

TEST_F(AutoBirthdaySmsTest, TheEntrysWindowDecidesWhatIsDue)
{
    addFriend(u"还早"_s, 5, 2);
    addFriend(u"正好"_s, 2, 2);
    EXPECT_EQ(run().batches.value(0).names, QStringList { u"正好"_s });
    birthdays[1].DxSend = u"0"_s;
    const QList<BirthdaySmsWorkItem> work = birthdaySmsWorkList(birthdays, settings, now.date());
    ASSERT_EQ(work.size(), 1);
    EXPECT_EQ(work[0].name, u"正好"_s);
    EXPECT_EQ(work[0].daysLeft, 2);
    EXPECT_EQ(work[0].offset, 0);
}

TEST_F(AutoBirthdaySmsTest, AnOffsetPastTheSendDayMeansToday)
{
    addFriend(u"张三"_s, 2);
    settings.DxTxTqDays[Friends] = 9;
    const AutoSmsRun sent = run();
    ASSERT_EQ(sent.batches.size(), 1);
    EXPECT_EQ(sent.batches[0].offset, 0);
}

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

TEST_F(AutoBirthdaySmsTest, PhsAndMobileNumbersGoInSeparateBatches)
{
    addFriend(u"手机"_s, 5, 7, u"13800000001"_s);
    addFriend(u"小灵通"_s, 5, 7, u"02100000001"_s);
    addFriend(u"座机"_s, 5, 7, u"+8613800000001"_s);
    addFriend(u"他类"_s, 5, 7, u"13800000002"_s, u"陌生人"_s);
    const AutoSmsRun sent = run();
    ASSERT_EQ(sent.batches.size(), 2);
    EXPECT_FALSE(sent.batches[0].mobile);
    EXPECT_EQ(sent.batches[0].names, QStringList { u"小灵通"_s });
    EXPECT_TRUE(sent.batches[1].mobile);
    EXPECT_EQ(sent.batches[1].names, QStringList { u"手机"_s });
}

TEST_F(AutoBirthdaySmsTest, ManyNumbersGoInBatchesOf200InListOrder)
{
    addAccount(u"customer"_s, 1000);
    for (int i = 0; i < 450; ++i) {
        store::BirthdayRecord record = natalis::test::gregorianBirthday(
            u"友%1"_s.arg(i), calendar::gregorianText(QDate(1990, 5, 9)), 7);
        record.Id = i + 1;
        record.Duanxin = u"是"_s;
        record.Tel = u"139%1"_s.arg(i, 8, 10, QChar(u'0'));
        birthdays.append(record);
    }
    hasBirthdays = true;
    const AutoSmsRun sent = run();
    ASSERT_EQ(sent.batches.size(), 3);
    EXPECT_EQ(sent.batches[0].names.first(), u"友0"_s);
    EXPECT_EQ(sent.batches[1].names.first(), u"友200"_s);
    EXPECT_EQ(sent.batches[2].names.last(), u"友449"_s);
    EXPECT_EQ(delivered({ "numbers" }), (QStringList { u"200"_s, u"200"_s, u"50"_s }));
}

TEST_F(AutoBirthdaySmsTest, AFailedBatchIsRetriedUntilItGoesOut)
{
    addFriend(u"张三"_s, 5);
    simulator.force(u"SendScheSMS"_s, 101);
    EXPECT_FALSE(run().batches.value(0).outcome.accepted);
    EXPECT_EQ(storedMarks(), QStringList { u"0"_s });
    now = now.addSecs(600);
    EXPECT_EQ(run().batches.size(), 1);

    simulator.force(u"SendScheSMS"_s, std::nullopt);
    now = now.addSecs(600);
    EXPECT_TRUE(run().batches.value(0).outcome.accepted);
    EXPECT_EQ(logged("strStatus"), QStringList { u"发送成功"_s });
    EXPECT_EQ(storedMarks(), QStringList { u"1"_s });
}

TEST_F(AutoBirthdaySmsTest, ALostGreetingWhoseScheduleBecameNowStillGoesOutOnce)
{
    // Sent on the birthday itself at 08:00; from 07:43 on the greeting goes out at once.
    addFriend(u"张三"_s, 3);
    simulator.loseAnswers(u"SendScheSMS"_s, 2);
    now = QDateTime(now.date(), QTime(7, 32));
    EXPECT_FALSE(run().batches.value(0).outcome.accepted);
    for (const QTime retry : { QTime(7, 42), QTime(7, 52) }) {
        birthdays.clear();
        now = QDateTime(now.date(), retry);
        ASSERT_EQ(run().batches.size(), 1) << retry.toString().toStdString();
    }

    EXPECT_EQ(delivered({ "sendTime" }), QStringList { u"20240504080000"_s });
    EXPECT_NEAR(balanceOf(u"customer"_s), 100 - 0.1, 1e-9);
    EXPECT_EQ(logged("strStatus"), QStringList { u"发送成功"_s });
    EXPECT_EQ(storedMarks(), QStringList { u"1"_s });
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
    EXPECT_EQ(ResetSmsSentFlags(birthdays, hasBirthdays, connection, kept.addDays(-4)), 0);
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
