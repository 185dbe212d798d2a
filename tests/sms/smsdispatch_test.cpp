#include "simulatorfixture.h"
#include "sms/groupsend.h"
#include "sms/smsdispatch.h"
#include "support/casename.h"
#include "support/qtprinters.h"

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

QString numbersOf(int count)
{
    QStringList numbers;
    for (int i = 0; i < count; ++i)
        numbers.append(u"138%1"_s.arg(i, 8, 10, QChar(u'0')));
    return numbers.join(u',');
}

using SendSmsBatchTest = test::DispatchFixture;

TEST(SmsTextTest, GatewayAmountsAreReadLeniently)
{
    EXPECT_EQ(TrimTrailingBlanks(u"12.5\0\0 "_s), u"12.5"_s);
    EXPECT_EQ(TrimTrailingBlanks(u" 1 2 "_s), u" 1 2"_s);
    EXPECT_EQ(TrimTrailingBlanks(u"    "_s), QString());
    for (const auto &[text, value] : { std::pair { u"9.9"_s, 9.9 }, { u" 12.50元"_s, 12.5 },
             { u"-3"_s, -3.0 }, { u"abc"_s, 0.0 }, { u"."_s, 0.0 }, { QString(), 0.0 } })
        EXPECT_DOUBLE_EQ(lenientNumber(text), value) << text.toStdString();
}

// A group send checks the balance for all its batches before the first; a batch checks its own.
TEST_F(SendSmsBatchTest, TheBalanceMustCoverATenthOfAYuanPerMessage)
{
    const QString text(71, u'福'); // two messages a number
    addAccount(u"customer"_s, 0.5);
    EXPECT_EQ(checkGroupBalance(*gateway, u"customer[客户]"_s, 6).message,
        u"customer[客户]当前余额:0.5元,不足以支持本次短信群发,短信发送失败!"_s);
    const SmsBatchOutcome refused = send({ .numbers = numbersOf(3), .count = 3, .text = text });
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.panelText, u"[即时短信]发送失败:余额不足"_s);
    addAccount(u"customer"_s, 0.6);
    EXPECT_TRUE(checkGroupBalance(*gateway, u"customer[客户]"_s, 6).enough);
    EXPECT_TRUE(send({ .numbers = numbersOf(3), .count = 3, .text = text }).accepted);
    // Each batch reaches the gateway as one unit of its parts.
    EXPECT_EQ(delivered({ "numbers", "parts" }), QStringList { u"3|2"_s });
    EXPECT_EQ(logged("strStatus,strFor,intDxNum,intTelNum"),
        (QStringList { u"发送失败|余额不足|0|3"_s, u"发送成功||6|3"_s }));
}

TEST_F(SendSmsBatchTest, OnlyTheApplicationAccountSignsAndTheSignatureCounts)
{
    const QString text(68, u'a');
    EXPECT_EQ(send({ .text = text, .account = u" app "_s }).messagesPerNumber, 2);
    EXPECT_EQ(send({ .text = text }).messagesPerNumber, 1);
    EXPECT_EQ(logged("strContent,strDxUser"),
        (QStringList { text + u"【青萍】|app"_s, text + u"|customer"_s }));
}

struct ResultCase
{
    const char *situation;
    const char *operation; // forced
    int result;
    bool scheduled;
    const char16_t *status;
    const char16_t *reason;
    const char16_t *panel;
};

const ResultCase ResultCases[] = {
    { "balance network failure", "GetBalance", 101, false, u"网络故障", u"",
        u"[即时短信]网络故障:帐号余额获取时" },
    { "balance query failed", "GetBalance", 12, false, u"发送失败", u"获取余额失败",
        u"[即时短信]发送失败:获取余额失败" },
    { "balance other code", "GetBalance", 7, true, u"发送失败", u"获取余额其他错误值:7",
        u"[预约短信]发送失败:获取其他错误值:7" },
    { "sent", "none", 1, false, u"发送成功", u"", u"[即时短信]发送成功" },
    { "scheduled answer lost", "SendScheSMS", 101, true, u"结果未知", u"", u"[预约短信]结果未知" },
    { "not registered or no balance", "SendSMS", 17, false, u"发送失败",
        u"短信账号未注册或余额不足", u"[即时短信]发送失败:短信账号未注册或余额不足" },
    { "scheduled time refused", "SendScheSMS", 18, true, u"发送失败", u"预约时间不合适",
        u"[预约短信]发送失败:预约时间不合适" },
    { "scheduled other code", "SendScheSMS", 0, true, u"发送失败", u"其他错误值:0",
        u"[预约短信]发送失败:其他错误值:0" },
    { "immediate 18 is another code", "SendSMS", 18, false, u"发送失败", u"发送其他错误值:18",
        u"[即时短信]发送失败:发送其他错误值:18" },
};

class ResultTableTest : public test::DispatchFixture, public testing::WithParamInterface<ResultCase>
{
};

TEST_P(ResultTableTest, LogsAndShowsTheRow)
{
    const ResultCase &c = GetParam();
    if (QLatin1StringView(c.operation) != u"none")
        simulator.force(QString::fromLatin1(c.operation), c.result);
    const QString type = (c.scheduled ? ScheduledSmsType : ImmediateSmsType).toString();
    const SmsBatchOutcome outcome = send({ .type = type,
        .names = u"甲,乙"_s,
        .numbers = u"13800000001,13800000002"_s,
        .count = 2,
        .schedule = c.scheduled ? u"2024年05月06日08时30分"_s : QString() });
    EXPECT_EQ(outcome.accepted, c.result == 1);
    EXPECT_EQ(outcome.panelText, QString::fromUtf16(c.panel));
    EXPECT_TRUE(outcome.historySaved);
    const QStringList row { u"2024-05-04 10:00:00|PC-1|甲,乙|13800000001,13800000002|2|hi"_s,
        c.result == 1 ? u"2"_s : u"0"_s, u"customer"_s, type,
        c.scheduled ? u"2024/05/06 08:30:00"_s : QString(), QString::fromUtf16(c.status),
        QString::fromUtf16(c.reason) };
    EXPECT_EQ(logged("strSdDate,strComputer,strTitle,strTel,intTelNum,strContent,intDxNum,"
                     "strDxUser,strType,strYyDate,strStatus,strFor"),
        QStringList { row.join(u'|') });
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ResultTableTest, testing::ValuesIn(ResultCases), natalis::test::BySituation());

// The retry of a failed birthday greeting is the same send: it updates its row, one greeting, one
// row. Other types and other values add rows.
TEST_F(SendSmsBatchTest, ARetriedBirthdayFailureUpdatesItsRow)
{
    const auto greet = [&](const QString &name) {
        return send({ .type = BirthdaySmsType.toString(),
            .names = name,
            .text = u"生日快乐"_s,
            .schedule = u"2024年05月06日08时00分"_s });
    };
    simulator.force(u"SendScheSMS"_s, 17);
    greet(u"张三"_s);
    simulator.force(u"SendScheSMS"_s, std::nullopt);
    now = now.addSecs(600);
    EXPECT_TRUE(greet(u"张三"_s).accepted);
    EXPECT_EQ(logged("strSdDate,strStatus,strFor,intDxNum"),
        QStringList { u"2024-05-04 10:10:00|发送成功||1"_s });

    simulator.force(u"SendScheSMS"_s, 17);
    simulator.force(u"SendSMS"_s, 17);
    greet(u"李四"_s);
    send({});
    send({});
    EXPECT_EQ(logged("strTitle").size(), 4);
}

TEST_F(SendSmsBatchTest, ALogFailureIsReportedAndTheSendStands)
{
    connection.exec("drop table dxhistory");
    const SmsBatchOutcome outcome = send({});
    EXPECT_TRUE(outcome.accepted);
    EXPECT_FALSE(outcome.historySaved);
    EXPECT_FALSE(PurgeSmsHistory(connection, 1, QDate(2024, 5, 4)));
}

// Rows up to the cutoff's midnight go; keeping everything deletes nothing.
TEST(PurgeTest, DeletesUpToTheCutoffMidnight)
{
    const QStringList sent { u"2023-05-03 23:59:59"_s, u"2023-05-04 00:00:00"_s,
        u"2023-05-04 00:00:01"_s, u"2024-05-04 09:00:00"_s };
    natalis::test::TempDatabase files;
    store::Connection db = files.create();
    for (const QString &time : sent)
        db.prepare("insert into dxhistory(strSdDate) values(?)").bind(1, time).run();
    EXPECT_TRUE(PurgeSmsHistory(db, 0, QDate(2024, 5, 4)));
    EXPECT_EQ(test::logged(db, "strSdDate"), sent);
    EXPECT_TRUE(PurgeSmsHistory(db, 1, QDate(2024, 5, 4)));
    EXPECT_EQ(test::logged(db, "strSdDate"), sent.mid(2));
}

struct CutoffCase
{
    const char *situation;
    int retention;
    QDate today;
    QDate expected;
};

const CutoffCase CutoffCases[] = {
    { "one year", 1, QDate(2026, 3, 31), QDate(2025, 3, 31) },
    { "one year from a leap day", 1, QDate(2024, 2, 29), QDate(2023, 2, 28) },
    { "half a year into a short month", 2, QDate(2026, 8, 31), QDate(2026, 2, 28) },
    { "one month into a leap February", 4, QDate(2024, 3, 31), QDate(2024, 2, 29) },
    { "one month across the year", 4, QDate(2026, 1, 15), QDate(2025, 12, 15) },
    { "unknown position", 5, QDate(2026, 3, 31), QDate() },
};

using CutoffTest = testing::TestWithParam<CutoffCase>;

TEST_P(CutoffTest, CountsBackByCalendar)
{
    EXPECT_EQ(smsHistoryCutoff(GetParam().retention, GetParam().today), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cutoffs, CutoffTest, testing::ValuesIn(CutoffCases), natalis::test::BySituation());

} // namespace
} // namespace natalis::sms
