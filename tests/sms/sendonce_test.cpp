// A batch goes out at most once: its request id is in its log row before the gateway is asked,
// and a retry of a batch whose answer was lost sends under the same id.

#include "simulatorfixture.h"
#include "sms/smsdispatch.h"
#include "support/casename.h"

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

class SendOnceTest : public test::DispatchFixture
{
protected:
    SmsBatchOutcome greet(const QString &text = u"生日快乐"_s)
    {
        return send({ .type = BirthdaySmsType.toString(), .names = u"张三"_s, .text = text });
    }
};

struct LostAnswerCase
{
    const char *situation;
    int length; // characters of the greeting: 1 part, or 2
    int answeredFirst; // calls answered before the lost one
    bool accepted; // at the first try: the last part's answer decides
};

const LostAnswerCase LostAnswerCases[] = {
    { "one part", 10, 0, false },
    { "last of two parts", 100, 1, false },
    { "first of two parts", 100, 0, true },
};

class LostAnswerTest : public SendOnceTest, public testing::WithParamInterface<LostAnswerCase>
{
};

TEST_P(LostAnswerTest, TheRetryDeliversOnceAndLogsOneRow)
{
    const QString text(GetParam().length, u'福');
    simulator.loseAnswers(u"SendSMS"_s, 1, GetParam().answeredFirst);
    const SmsBatchOutcome first = greet(text);
    ASSERT_EQ(first.accepted, GetParam().accepted);
    // The next automatic run tries a batch again only when it was not logged as sent.
    if (!first.accepted) {
        EXPECT_EQ(first.status, UnknownStatus.toString());
        EXPECT_TRUE(greet(text).accepted);
    }

    const QList<QJsonObject> records = simulator.records();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].value(u"text"_s).toString(), text);
    const int parts = GetParam().length > MobileMessageLength ? 2 : 1;
    EXPECT_NEAR(balanceOf(u"customer"_s), 100 - 0.1 * parts, 1e-9);
    EXPECT_EQ(logged("strStatus,intDxNum,strRequestId"),
        QStringList { u"发送成功|%1|"_s.arg(parts) + records[0].value(u"requestId"_s).toString() });
}

INSTANTIATE_TEST_SUITE_P(
    Sends, LostAnswerTest, testing::ValuesIn(LostAnswerCases), natalis::test::BySituation());

TEST_F(SendOnceTest, AnOldLogGainsTheColumnAndAnOldFailedRowAnId)
{
    // Files of earlier versions have no strRequestId; their failed birthday rows none either.
    EXPECT_THROW(connection.prepare("select strRequestId from dxhistory"), store::DbException);
    ASSERT_TRUE(SaveSmsHistory(context(), BirthdaySmsType.toString(), u"张三"_s, u"13800000001"_s,
        1, u"生日快乐"_s, 0, u"customer"_s, {}, NetworkFailureStatus.toString(), {}));
    EXPECT_TRUE(greet().accepted);
    const QStringList rows = logged("strStatus,strRequestId");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].startsWith(u"发送成功|"_s));
    EXPECT_GT(rows[0].size(), 5);
}

TEST_F(SendOnceTest, TheRowIsThereBeforeTheGatewayIsAsked)
{
    const SmsBatchRequest request = prepareSmsBatch(context(), true, BirthdaySmsType.toString(),
        u"张三"_s, u"13800000001"_s, 1, u"生日快乐"_s, u"customer"_s, {});
    // Until an answer says otherwise the batch counts as not sent.
    EXPECT_EQ(logged("strStatus,strRequestId"),
        QStringList { NetworkFailureStatus.toString() + u'|' + request.entry.requestId });
    EXPECT_TRUE(simulator.requests().isEmpty());
}

} // namespace
} // namespace natalis::sms
