#include "simulatorfixture.h"
#include "sms/groupsend.h"
#include "sms/smssetup.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

QList<Recipient> mobileRecipients(int count)
{
    QList<Recipient> recipients;
    for (int i = 0; i < count; ++i)
        recipients.append({ u"客户%1"_s.arg(i), u"138%1"_s.arg(i, 8, 10, QChar(u'0')) });
    return recipients;
}

using GroupSendTest = test::DispatchFixture;

TEST_F(GroupSendTest, PhsBatchGoesFirstThenMobileInBatchesOf200)
{
    GroupRecipients recipients { mobileRecipients(450), {} };
    recipients.ticked.insert(100, { u"小灵通甲"_s, u"02112345678"_s });
    recipients.temporary = { u"07551234567"_s, u"0101234567"_s };

    const GroupSendSummary summary =
        sendGroup(context(), recipients, u"新年快乐"_s, u"customer"_s, {});

    EXPECT_EQ(summary.batches, 4);
    EXPECT_EQ(summary.successes, 4);
    EXPECT_EQ(summary.message(), u"短信发送成功!"_s);
    EXPECT_EQ(delivered({ "numbers" }), (QStringList { u"3"_s, u"200"_s, u"200"_s, u"50"_s }));
    const QList<QJsonObject> sent = simulator.records();
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(sent[0].value(u"numbers"_s).toArray().first().toString(), u"02112345678"_s)
        << "ticked entries before temporary numbers";
    EXPECT_EQ(sent[1].value(u"numbers"_s).toArray().first().toString(), u"13800000000"_s);
    EXPECT_EQ(sent[3].value(u"numbers"_s).toArray().last().toString(), u"13800000449"_s);
}

TEST_F(GroupSendTest, ElevenDigitNumberWithLeadingZeroIsSentAsPhs)
{
    const GroupRecipients recipients { { { u"甲"_s, u"01391234567"_s } }, {} };
    EXPECT_EQ(CountNumbersByKind(recipients, PhsDigit), 1);
    EXPECT_EQ(CountNumbersByKind(recipients, MobileDigit), 0);
    EXPECT_EQ(messagesNeeded(recipients, QString(60, u'福')), 2);

    // 60 characters: one mobile message, but two PHS messages.
    sendGroup(context(), recipients, QString(60, u'福'), u"customer"_s, {});
    EXPECT_EQ(delivered({ "parts" }), QStringList { u"2"_s });
}

TEST_F(GroupSendTest, FailedBatchesAreCountedAndSummarised)
{
    simulator.force(u"SendSMS"_s, 17, 1);
    const GroupRecipients recipients { mobileRecipients(250), {} };

    const GroupSendSummary summary = sendGroup(context(), recipients, u"hi"_s, u"customer"_s, {});

    EXPECT_EQ(summary.batches, 2);
    EXPECT_EQ(summary.successes, 1);
    EXPECT_EQ(summary.failures, 1);
    EXPECT_EQ(summary.message(), u"短信共分2组发送,\n其中1组发送成功,1组发送失败."_s);
    EXPECT_EQ(summary.panelTexts.first(), u"[即时短信]发送失败:短信账号未注册或余额不足"_s);
}

TEST_F(GroupSendTest, ScheduledSendUsesTheScheduledTypeAndTime)
{
    const GroupRecipients recipients { {}, { u"13912345678"_s } };
    const QString schedule = groupScheduleText(u"公历2024年 05月06日"_s, u"08"_s, u"30"_s);
    EXPECT_EQ(schedule, u"2024年05月06日08时30分"_s);

    const GroupSendSummary summary =
        sendGroup(context(), recipients, u"hi"_s, u"customer"_s, schedule);

    EXPECT_EQ(summary.panelTexts, QStringList { u"[预约短信]发送成功"_s });
    EXPECT_EQ(delivered({ "sendTime" }), QStringList { u"20240506083000"_s });
}

// The balance button tells the same failures in a word.
TEST_F(GroupSendTest, BalanceQueryFailuresStopTheSend)
{
    const QString contact = u"\n请联系青萍软件作坊,确认帐号customer是否有效?"_s;
    for (const auto &[result, message, answer] :
        { std::tuple { 12, u"帐号余额获得失败,短信发送失败。"_s + contact, u"得到余额失败"_s },
            { 7, u"帐号余额获得其他错误值:7,短信发送失败。"_s + contact, u"其他错误值:7"_s },
            { 101, u"网络故障,短信发送失败"_s, u"网络故障"_s } }) {
        simulator.force(u"GetBalance"_s, result);
        const GroupBalanceCheck check = checkGroupBalance(*gateway, u"customer[客户]"_s, 1);
        EXPECT_FALSE(check.enough);
        EXPECT_EQ(check.message, message);
        EXPECT_EQ(balanceAnswer(result, u"customer[客户]"_s, {}), answer);
    }
}

struct ScheduleRow
{
    const char *situation;
    QString gregorian;
    QString hour;
    QString minute;
    bool allowed;
};

using ScheduleTimeTest = testing::TestWithParam<ScheduleRow>;

// Now is 4 May 2024 10:00.
TEST_P(ScheduleTimeTest, ScheduleLiesBetweenFifteenMinutesAndSixMonthsAhead)
{
    const ScheduleRow &row = GetParam();
    const QDateTime now(QDate(2024, 5, 4), QTime(10, 0));
    EXPECT_EQ(
        CheckScheduleTime(scheduleMoment(row.gregorian, row.hour, row.minute), now), row.allowed);
}

INSTANTIATE_TEST_SUITE_P(Table, ScheduleTimeTest,
    testing::Values(
        ScheduleRow { "fourteen minutes ahead", u"公历2024年 05月04日"_s, u"10"_s, u"14"_s, false },
        ScheduleRow { "fifteen minutes ahead", u"公历2024年 05月04日"_s, u"10"_s, u"15"_s, true },
        ScheduleRow {
            "six months to the minute", u"公历2024年 11月04日"_s, u"10"_s, u"00"_s, true },
        ScheduleRow {
            "six months and a minute", u"公历2024年 11月04日"_s, u"10"_s, u"01"_s, false },
        ScheduleRow { "box without a day", u"公历"_s, u"08"_s, u"30"_s, false }),
    natalis::test::BySituation {});

struct GroupTextCase
{
    const char *situation;
    QString text;
    int characters; // as the counter shows them
    bool refused;
};

// 😀 (U+1F600) is two UTF-16 units, one character on the counter.
const GroupTextCase GroupTextCases[] = {
    { "half emoji, half Chinese", u"😀福"_s.repeated(250), 500, false },
    { "500 emoji and one Chinese character", u"😀"_s.repeated(500) + u"福"_s, 501, true },
    { "blanks only", u"   "_s, 3, true },
};

class GroupTextTest : public GroupSendTest, public testing::WithParamInterface<GroupTextCase>
{
};

TEST_P(GroupTextTest, TheLimitCountsCharactersAsTheCounterDoes)
{
    const GroupTextCase &c = GetParam();
    ASSERT_EQ(contentCounters(c.text).characters, c.characters);
    const std::optional<QString> refusal = groupTextRefusal(c.text);
    EXPECT_EQ(refusal.has_value(), c.refused) << refusal.value_or(QString()).toStdString();
    if (c.refused)
        return;
    // What is accepted goes out whole, in as many messages as the counter says.
    sendGroup(context(), { mobileRecipients(1), {} }, c.text, u"customer"_s, {});
    const int parts = contentCounters(c.text).mobileMessages;
    EXPECT_EQ(
        delivered({ "parts", "text" }), QStringList { QString::number(parts) + u'|' + c.text });
    EXPECT_NEAR(balanceOf(u"customer"_s), 100 - 0.1 * parts, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GroupTextTest, testing::ValuesIn(GroupTextCases), natalis::test::BySituation());

} // namespace
} // namespace natalis::sms
