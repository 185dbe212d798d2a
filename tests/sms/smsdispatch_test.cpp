#include "simulatorfixture.h"
#include "sms/smsdispatch.h"
#include "store/statement.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

struct HistoryRow
{
    qint64 id;
    QString sdDate, computer, type, title, tel;
    qint64 telNum;
    QString content;
    qint64 dxNum;
    QString user, yyDate, status, reason;
};

QList<HistoryRow> history(store::Connection &db)
{
    QList<HistoryRow> rows;
    store::Statement select = db.prepare(
        "select Id,strSdDate,strComputer,strType,strTitle,strTel,intTelNum,strContent,intDxNum,"
        "strDxUser,strYyDate,strStatus,strFor from dxhistory order by Id");
    while (select.step())
        rows.append({ select.integer(0), select.text(1), select.text(2), select.text(3),
            select.text(4), select.text(5), select.integer(6), select.text(7), select.integer(8),
            select.text(9), select.text(10), select.text(11), select.text(12) });
    return rows;
}

QString numbersOf(int count)
{
    QStringList numbers;
    for (int i = 0; i < count; ++i)
        numbers.append(u"138%1"_s.arg(i, 8, 10, QChar(u'0')));
    return numbers.join(u',');
}

class SendSmsBatchTest : public test::DispatchFixture
{
};

TEST(SmsTextTest, TrimTrailingBlanksRemovesBlanksAndNulsFromTheEnd)
{
    EXPECT_EQ(TrimTrailingBlanks(u"12.5   "_s), u"12.5"_s);
    EXPECT_EQ(TrimTrailingBlanks(u"12.5\0\0 "_s), u"12.5"_s);
    EXPECT_EQ(TrimTrailingBlanks(u" 1 2 "_s), u" 1 2"_s);
    EXPECT_EQ(TrimTrailingBlanks(u"    "_s), QString());
}

TEST(SmsTextTest, LenientNumberTakesTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(lenientNumber(u"9.9"_s), 9.9);
    EXPECT_DOUBLE_EQ(lenientNumber(u" 12.50元"_s), 12.5);
    EXPECT_DOUBLE_EQ(lenientNumber(u"-3"_s), -3);
    EXPECT_DOUBLE_EQ(lenientNumber(u"abc"_s), 0);
    EXPECT_DOUBLE_EQ(lenientNumber(u"."_s), 0);
    EXPECT_DOUBLE_EQ(lenientNumber(QString()), 0);
}

TEST(SmsTextTest, MessagesAreCutByCharacters)
{
    const QString text = QString(140, u'生');
    EXPECT_EQ(splitMessages(text, MobileMessageLength).size(), 2);
    const QStringList phs = splitMessages(text, PhsMessageLength);
    ASSERT_EQ(phs.size(), 3);
    EXPECT_EQ(phs[0].size(), 58);
    EXPECT_EQ(phs[1].size(), 58);
    EXPECT_EQ(phs[2].size(), 24);
    EXPECT_EQ(splitMessages(QString(70, u'a'), MobileMessageLength).size(), 1);
    EXPECT_EQ(splitMessages(QString(71, u'a'), MobileMessageLength).size(), 2);
    // A character outside the basic plane is one character, not two.
    EXPECT_EQ(splitMessages(QString(69, u'a') + u"😀"_s, MobileMessageLength).size(), 1);
}

TEST(SmsTextTest, ScheduleTextForms)
{
    EXPECT_EQ(scheduleText(QDate(2024, 5, 6), u"08:30"_s), u"2024年05月06日08时30分"_s);
    EXPECT_EQ(scheduleSendTime(u"2024年05月06日08时30分"_s), u"20240506083000"_s);
    EXPECT_EQ(storedScheduleTime(u"2024年05月06日08时30分"_s), u"2024/05/06 08:30:00"_s);
    EXPECT_EQ(storedScheduleTime(u"  "_s), QString());
}

TEST_F(SendSmsBatchTest, A140CharacterTextIsTwoMobileOrThreePhsMessages)
{
    const QString text = QString(140, u'福');
    SmsBatchOutcome mobile = SendSmsBatch(context(), true, ImmediateSmsType.toString(), u"甲"_s,
        u"13800000001"_s, 1, text, u"customer"_s, {});
    EXPECT_TRUE(mobile.accepted);
    EXPECT_EQ(mobile.messagesPerNumber, 2);
    SmsBatchOutcome phs = SendSmsBatch(context(), false, ImmediateSmsType.toString(), u"乙"_s,
        u"02100000001"_s, 1, text, u"customer"_s, {});
    EXPECT_EQ(phs.messagesPerNumber, 3);
    // Each batch reaches the gateway as one unit of its parts.
    ASSERT_EQ(simulator.records().size(), 2);
    EXPECT_EQ(simulator.records()[0].value(u"parts"_s).toInt(), 2);
    EXPECT_EQ(simulator.records()[1].value(u"parts"_s).toInt(), 3);
    EXPECT_EQ(simulator.records()[1].value(u"text"_s).toString(), text);
    const QList<HistoryRow> rows = history(connection);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].dxNum, 2);
    EXPECT_EQ(rows[1].dxNum, 3);
}

TEST_F(SendSmsBatchTest, TheBalanceMustCoverATenthOfAYuanPerMessage)
{
    addAccount(u"customer"_s, 9.9);
    const SmsBatchOutcome refused = SendSmsBatch(context(), true, ImmediateSmsType.toString(),
        QString(), numbersOf(100), 100, u"hi"_s, u"customer"_s, {});
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.reason, u"余额不足"_s);
    EXPECT_EQ(refused.panelText, u"[即时短信]发送失败:余额不足"_s);
    EXPECT_TRUE(simulator.records().isEmpty());

    addAccount(u"customer"_s, 10);
    const SmsBatchOutcome accepted = SendSmsBatch(context(), true, ImmediateSmsType.toString(),
        QString(), numbersOf(100), 100, u"hi"_s, u"customer"_s, {});
    EXPECT_TRUE(accepted.accepted);
    const QList<HistoryRow> rows = history(connection);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].status, u"发送失败"_s);
    EXPECT_EQ(rows[0].dxNum, 0);
    EXPECT_EQ(rows[1].status, u"发送成功"_s);
    EXPECT_EQ(rows[1].dxNum, 100);
    EXPECT_EQ(rows[1].telNum, 100);
}

TEST_F(SendSmsBatchTest, OnlyTheApplicationAccountSignsAndTheSignatureCounts)
{
    const QString text = QString(68, u'a');
    const SmsBatchOutcome signedBatch = SendSmsBatch(context(), true, ImmediateSmsType.toString(),
        QString(), u"13800000001"_s, 1, text, u" app "_s, {});
    EXPECT_EQ(signedBatch.fullText, text + u"【青萍】"_s);
    EXPECT_EQ(signedBatch.messagesPerNumber, 2);
    const SmsBatchOutcome plain = SendSmsBatch(context(), true, ImmediateSmsType.toString(),
        QString(), u"13800000001"_s, 1, text, u"customer"_s, {});
    EXPECT_EQ(plain.fullText, text);
    EXPECT_EQ(plain.messagesPerNumber, 1);
    const QList<HistoryRow> rows = history(connection);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].content, text + u"【青萍】"_s);
    EXPECT_EQ(rows[0].user, u"app"_s);
    EXPECT_EQ(rows[1].content, text);
}

TEST_F(SendSmsBatchTest, TheLastPartsAnswerDecides)
{
    // The gateway refuses the first part; the last part then finds its unit incomplete.
    simulator.force(u"SendScheSMS"_s, 17, 1);
    const SmsBatchOutcome refused =
        SendSmsBatch(context(), true, ScheduledSmsType.toString(), QString(), u"13800000001"_s, 1,
            QString(100, u'a'), u"customer"_s, u"2024年05月06日08时30分"_s);
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.reason, u"其他错误值:14"_s);
    EXPECT_TRUE(simulator.records().isEmpty());

    // Whatever the earlier parts were answered, a last part answered 1 is a success.
    simulator.force(u"SendScheSMS"_s, 1, 2);
    const SmsBatchOutcome outcome =
        SendSmsBatch(context(), true, ScheduledSmsType.toString(), QString(), u"13800000001"_s, 1,
            QString(100, u'a'), u"customer"_s, u"2024年05月06日08时30分"_s);
    EXPECT_TRUE(outcome.accepted);
    EXPECT_EQ(outcome.panelText, u"[预约短信]发送成功"_s);
    const QList<HistoryRow> rows = history(connection);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].yyDate, u"2024/05/06 08:30:00"_s);
    EXPECT_EQ(rows[1].dxNum, 2);
}

TEST_F(SendSmsBatchTest, AFailingLastMessageFailsTheBatch)
{
    simulator.force(u"SendSMS"_s, 1, 1);
    simulator.force(u"*"_s, 17);
    const SmsBatchOutcome outcome = SendSmsBatch(context(), true, ImmediateSmsType.toString(),
        QString(), u"13800000001"_s, 1, QString(100, u'a'), u"customer"_s, {});
    EXPECT_FALSE(outcome.accepted);
}

TEST_F(SendSmsBatchTest, TheLogRowHoldsEveryValue)
{
    const SmsBatchOutcome outcome = SendSmsBatch(context(), true, ImmediateSmsType.toString(),
        u"张三,"_s, u"13800000001,13800000002"_s, 2, u"It's 生日"_s, u"customer"_s, QString());
    EXPECT_TRUE(outcome.accepted);
    const QList<HistoryRow> rows = history(connection);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].sdDate, u"2024-05-04 10:00:00"_s);
    EXPECT_EQ(rows[0].computer, u"PC-1"_s);
    EXPECT_EQ(rows[0].type, u"即时短信"_s);
    EXPECT_EQ(rows[0].title, u"张三,"_s);
    EXPECT_EQ(rows[0].tel, u"13800000001,13800000002"_s);
    EXPECT_EQ(rows[0].telNum, 2);
    EXPECT_EQ(rows[0].content, u"It's 生日"_s);
    EXPECT_EQ(rows[0].dxNum, 2);
    EXPECT_EQ(rows[0].yyDate, QString());
    EXPECT_EQ(rows[0].status, u"发送成功"_s);
    EXPECT_EQ(rows[0].reason, QString());
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
    { "immediate answer lost", "SendSMS", 101, false, u"结果未知", u"", u"[即时短信]结果未知" },
    { "not registered or no balance", "SendSMS", 17, false, u"发送失败",
        u"短信账号未注册或余额不足", u"[即时短信]发送失败:短信账号未注册或余额不足" },
    { "scheduled time refused", "SendScheSMS", 18, true, u"发送失败", u"预约时间不合适",
        u"[预约短信]发送失败:预约时间不合适" },
    { "scheduled other code", "SendScheSMS", 0, true, u"发送失败", u"其他错误值:0",
        u"[预约短信]发送失败:其他错误值:0" },
    { "immediate 18 is another code", "SendSMS", 18, false, u"发送失败", u"发送其他错误值:18",
        u"[即时短信]发送失败:发送其他错误值:18" },
    { "immediate other code", "SendSMS", -3, false, u"发送失败", u"发送其他错误值:-3",
        u"[即时短信]发送失败:发送其他错误值:-3" },
};

class ResultTableTest : public test::DispatchFixture, public testing::WithParamInterface<ResultCase>
{
};

TEST_P(ResultTableTest, LogsAndShowsTheRow)
{
    const ResultCase &c = GetParam();
    if (QString::fromLatin1(c.operation) != u"none"_s)
        simulator.force(QString::fromLatin1(c.operation), c.result);
    const QString type = c.scheduled ? ScheduledSmsType.toString() : ImmediateSmsType.toString();
    const SmsBatchOutcome outcome =
        SendSmsBatch(context(), true, type, u"甲,乙"_s, u"13800000001,13800000002"_s, 2, u"hello"_s,
            u"customer"_s, c.scheduled ? u"2024年05月06日08时30分"_s : QString());
    EXPECT_EQ(outcome.accepted, c.result == 1);
    EXPECT_EQ(outcome.status, QString::fromUtf16(c.status));
    EXPECT_EQ(outcome.reason, QString::fromUtf16(c.reason));
    EXPECT_EQ(outcome.panelText, QString::fromUtf16(c.panel));
    EXPECT_TRUE(outcome.historySaved);
    const QList<HistoryRow> rows = history(connection);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].status, QString::fromUtf16(c.status));
    EXPECT_EQ(rows[0].reason, QString::fromUtf16(c.reason));
    EXPECT_EQ(rows[0].dxNum, c.result == 1 ? 2 : 0);
    EXPECT_EQ(rows[0].type, type);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ResultTableTest, testing::ValuesIn(ResultCases), natalis::test::BySituation());

TEST_F(SendSmsBatchTest, ARetriedBirthdayFailureUpdatesItsRow)
{
    const auto send = [&] {
        return SendSmsBatch(context(), true, BirthdaySmsType.toString(), u"张三"_s,
            u"13800000001"_s, 1, u"生日快乐"_s, u"customer"_s, u"2024年05月06日08时00分"_s);
    };
    simulator.force(u"SendScheSMS"_s, 17);
    send();
    now = now.addSecs(600);
    simulator.force(u"SendScheSMS"_s, 101);
    send();
    QList<HistoryRow> rows = history(connection);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].sdDate, u"2024-05-04 10:10:00"_s);
    EXPECT_EQ(rows[0].status, u"结果未知"_s);
    EXPECT_EQ(rows[0].reason, QString());

    // The retry that goes out is the same send: its row becomes the success, one greeting, one
    // row.
    simulator.force(u"SendScheSMS"_s, std::nullopt);
    now = now.addSecs(600);
    EXPECT_TRUE(send().accepted);
    rows = history(connection);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].status, u"发送成功"_s);
    EXPECT_EQ(rows[0].dxNum, 1);
    EXPECT_EQ(rows[0].sdDate, u"2024-05-04 10:20:00"_s);
}

TEST_F(SendSmsBatchTest, OtherTypesAndOtherValuesAddRows)
{
    simulator.force(u"SendSMS"_s, 17);
    for (int i = 0; i < 2; ++i)
        SendSmsBatch(context(), true, ImmediateSmsType.toString(), u"张三"_s, u"13800000001"_s, 1,
            u"hi"_s, u"customer"_s, {});
    SendSmsBatch(context(), true, BirthdaySmsType.toString(), u"张三"_s, u"13800000001"_s, 1,
        u"hi"_s, u"customer"_s, {});
    SendSmsBatch(context(), true, BirthdaySmsType.toString(), u"李四"_s, u"13800000001"_s, 1,
        u"hi"_s, u"customer"_s, {});
    EXPECT_EQ(history(connection).size(), 4);
}

TEST_F(SendSmsBatchTest, ALogFailureIsReportedAndTheSendStands)
{
    connection.exec("drop table dxhistory");
    const SmsBatchOutcome outcome = SendSmsBatch(context(), true, ImmediateSmsType.toString(),
        QString(), u"13800000001"_s, 1, u"hi"_s, u"customer"_s, {});
    EXPECT_TRUE(outcome.accepted);
    EXPECT_FALSE(outcome.historySaved);
}

struct PurgeCase
{
    const char *situation;
    int retention;
    QStringList kept;
};

const QStringList AllSendTimes { u"2023-05-03 23:59:59"_s, u"2023-05-04 00:00:00"_s,
    u"2023-05-04 00:00:01"_s, u"2023-11-04 00:00:00"_s, u"2023-11-04 08:00:00"_s,
    u"2024-02-04 00:00:00"_s, u"2024-02-04 08:00:00"_s, u"2024-04-04 00:00:00"_s,
    u"2024-04-04 08:00:00"_s, u"2024-05-04 09:00:00"_s };

const PurgeCase PurgeCases[] = {
    { "forever keeps everything", 0, AllSendTimes },
    { "one year", 1, AllSendTimes.mid(2) },
    { "half a year", 2, AllSendTimes.mid(4) },
    { "three months", 3, AllSendTimes.mid(6) },
    { "one month", 4, AllSendTimes.mid(8) },
    { "unknown choice keeps everything", 5, AllSendTimes },
};

class PurgeTest : public testing::TestWithParam<PurgeCase>
{
};

TEST_P(PurgeTest, DeletesUpToTheCutoffMidnight)
{
    natalis::test::TempDatabase files;
    store::Connection db = files.create();
    for (const QString &time : AllSendTimes)
        db.prepare("insert into dxhistory(strSdDate) values(?)").bind(1, time).run();
    EXPECT_TRUE(PurgeSmsHistory(db, GetParam().retention, QDate(2024, 5, 4)));
    QStringList kept;
    for (const HistoryRow &row : history(db))
        kept.append(row.sdDate);
    EXPECT_EQ(kept, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Retentions, PurgeTest, testing::ValuesIn(PurgeCases), natalis::test::BySituation());

struct CutoffCase
{
    const char *situation;
    int retention;
    QDate today;
    QDate expected;
};

const CutoffCase CutoffCases[] = {
    { "keep everything", 0, QDate(2026, 3, 31), QDate() },
    { "one year", 1, QDate(2026, 3, 31), QDate(2025, 3, 31) },
    { "one year from a leap day", 1, QDate(2024, 2, 29), QDate(2023, 2, 28) },
    { "half a year into a short month", 2, QDate(2026, 8, 31), QDate(2026, 2, 28) },
    { "three months into a short month", 3, QDate(2026, 5, 31), QDate(2026, 2, 28) },
    { "one month into a leap February", 4, QDate(2024, 3, 31), QDate(2024, 2, 29) },
    { "one month across the year", 4, QDate(2026, 1, 15), QDate(2025, 12, 15) },
    { "unknown position", 5, QDate(2026, 3, 31), QDate() },
};

class CutoffTest : public testing::TestWithParam<CutoffCase>
{
};

TEST_P(CutoffTest, CountsBackByCalendar)
{
    EXPECT_EQ(smsHistoryCutoff(GetParam().retention, GetParam().today), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cutoffs, CutoffTest, testing::ValuesIn(CutoffCases), natalis::test::BySituation());

TEST(PurgeErrorTest, ADatabaseErrorGivesFalse)
{
    natalis::test::TempDatabase files;
    store::Connection db = files.create();
    db.exec("drop table dxhistory");
    EXPECT_FALSE(PurgeSmsHistory(db, 1, QDate(2024, 5, 4)));
}

} // namespace
} // namespace natalis::sms
