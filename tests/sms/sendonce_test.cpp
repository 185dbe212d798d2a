// A batch goes out at most once: its request id is in its log row before the gateway is asked,
// and a retry of a batch whose answer was lost sends under the same id.

#include "simulatorfixture.h"
#include "sms/smsdispatch.h"
#include "sms/smsrequestlog.h"
#include "store/statement.h"
#include "support/casename.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

struct LoggedRow
{
    QString status;
    qint64 charged;
    QString requestId;
};

QList<LoggedRow> logged(store::Connection &db)
{
    QList<LoggedRow> rows;
    store::Statement select =
        db.prepare("select strStatus,intDxNum,strRequestId from dxhistory order by Id");
    while (select.step())
        rows.append({ select.text(0), select.integer(1), select.text(2) });
    return rows;
}

class SendOnceTest : public test::DispatchFixture
{
protected:
    SmsBatchOutcome greet(const QString &text)
    {
        return SendSmsBatch(context(), true, BirthdaySmsType.toString(), u"张三"_s,
            u"13800000001"_s, 1, text, u"customer"_s, {});
    }
};

struct LostAnswerCase
{
    const char *situation;
    int length; // characters of the greeting: 1 part, or 2
    int answeredFirst; // calls answered before the lost one
};

const LostAnswerCase LostAnswerCases[] = {
    { "one part", 10, 0 },
    { "last of two parts", 100, 1 },
    { "first of two parts", 100, 0 },
};

class LostAnswerTest : public SendOnceTest, public testing::WithParamInterface<LostAnswerCase>
{
};

TEST_P(LostAnswerTest, TheRetryDeliversOnceAndLogsOneRow)
{
    const QString text(GetParam().length, u'福');
    simulator.loseAnswers(u"SendSMS"_s, 1, GetParam().answeredFirst);
    const SmsBatchOutcome first = greet(text);
    // The next automatic run tries a batch again only when it was not logged as sent.
    if (!first.accepted) {
        EXPECT_EQ(first.status, UnknownStatus.toString());
        EXPECT_TRUE(greet(text).accepted);
    }

    const QList<QJsonObject> records = simulator.records();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].value(u"text"_s).toString(), text);
    const int parts = GetParam().length > MobileMessageLength ? 2 : 1;
    EXPECT_NEAR(simulator.account(u"customer"_s)->balance, 100 - 0.1 * parts, 1e-9);
    const QList<LoggedRow> rows = logged(connection);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].status, SentStatus.toString());
    EXPECT_EQ(rows[0].charged, parts);
    EXPECT_EQ(rows[0].requestId, records[0].value(u"requestId"_s).toString());
}

INSTANTIATE_TEST_SUITE_P(
    Sends, LostAnswerTest, testing::ValuesIn(LostAnswerCases), natalis::test::BySituation());

TEST_F(SendOnceTest, EachBatchHasItsOwnIdInItsRow)
{
    SendSmsBatch(context(), true, ImmediateSmsType.toString(), {}, u"13800000001"_s, 1, u"hi"_s,
        u"customer"_s, {});
    SendSmsBatch(context(), true, ImmediateSmsType.toString(), {}, u"13800000001"_s, 1, u"hi"_s,
        u"customer"_s, {});
    const QList<LoggedRow> rows = logged(connection);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_FALSE(rows[0].requestId.isEmpty());
    EXPECT_NE(rows[0].requestId, rows[1].requestId);
    // A group send the user repeats is a new send.
    EXPECT_EQ(simulator.records().size(), 2);
}

TEST_F(SendOnceTest, AnOldLogGainsTheColumnAndAnOldFailedRowAnId)
{
    // Files of earlier versions have no strRequestId; their failed birthday rows none either.
    EXPECT_THROW(connection.prepare("select strRequestId from dxhistory"), store::DbException);
    ASSERT_TRUE(SaveSmsHistory(context(), BirthdaySmsType.toString(), u"张三"_s, u"13800000001"_s,
        1, u"生日快乐"_s, 0, u"customer"_s, {}, NetworkFailureStatus.toString(), {}));
    EXPECT_TRUE(greet(u"生日快乐"_s).accepted);
    const QList<LoggedRow> rows = logged(connection);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].status, SentStatus.toString());
    EXPECT_FALSE(rows[0].requestId.isEmpty());
}

TEST_F(SendOnceTest, TheRowIsThereBeforeTheGatewayIsAsked)
{
    const SmsBatchRequest request = PrepareSmsBatch(context(), true, BirthdaySmsType.toString(),
        u"张三"_s, u"13800000001"_s, 1, u"生日快乐"_s, u"customer"_s, {});
    const QList<LoggedRow> before = logged(connection);
    ASSERT_EQ(before.size(), 1);
    // Until an answer says otherwise the batch counts as not sent.
    EXPECT_EQ(before[0].status, NetworkFailureStatus.toString());
    EXPECT_EQ(before[0].requestId, request.entry.requestId);
    EXPECT_TRUE(simulator.requests().isEmpty());
}

} // namespace
} // namespace natalis::sms
