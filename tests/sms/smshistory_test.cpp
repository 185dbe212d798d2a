#include "sms/smshistory.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/smshistoryrows.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

namespace natalis::sms {
namespace {

const QDate Today(2024, 5, 4);

// name (strTitle), sent at, account, type, status; inserted out of time order.
const char *const Log[][5] = {
    { "lateToday", "2024-05-04 23:59:59", "alice", "即时短信", "发送成功" },
    { "before2011", "2010-12-31 23:59:59", "alice", "即时短信", "发送成功" },
    { "first2011", "2011-01-01 00:00:00", "alice", "预约短信", "发送成功" },
    { "tomorrow", "2024-05-05 08:00:00", "alice", "即时短信", "发送成功" },
    { "yesterday", "2024-05-03 08:00:00", "o'brien", "即时短信", "发送失败" },
    { "todayMidnight", "2024-05-04 00:00:00", "bob", "生日短信", "发送失败" },
    { "thisMorning", "2024-05-04 09:30:00", "bob", "预约短信", "网络故障" },
};

struct QueryRow
{
    const char *situation;
    SmsHistoryQuery query;
    const char *listed; // names in list order
};

class SmsHistoryQueryTest : public testing::TestWithParam<QueryRow>
{
protected:
    SmsHistoryQueryTest() : connection(database.create())
    {
        for (const auto &[name, sentAt, account, type, status] : Log) {
            SmsHistoryRow row = test::historyRow(QString::fromUtf8(sentAt));
            row.strTitle = QString::fromUtf8(name);
            row.strDxUser = QString::fromUtf8(account);
            row.strType = QString::fromUtf8(type);
            row.strStatus = QString::fromUtf8(status);
            test::insertHistoryRow(connection, row);
        }
    }

    test::TempDatabase database;
    store::Connection connection;
};

TEST_P(SmsHistoryQueryTest, ListsTheMatchingRowsInTimeOrder)
{
    const std::optional<QList<SmsHistoryRow>> rows =
        querySmsHistory(connection, GetParam().query, Today);
    ASSERT_TRUE(rows);
    QStringList names;
    for (const SmsHistoryRow &row : *rows)
        names.append(row.strTitle);
    EXPECT_EQ(names.join(u' '), QLatin1StringView(GetParam().listed));
}

INSTANTIATE_TEST_SUITE_P(Rows, SmsHistoryQueryTest,
    testing::Values(QueryRow { "earliest to now lists 2011 up to the end of today", {},
                        "first2011 yesterday todayMidnight thisMorning lateToday" },
        QueryRow { "end picked today stops at its midnight", { .end = Today },
            "first2011 yesterday todayMidnight" },
        QueryRow { "start picked today counts from its midnight", { .start = Today },
            "todayMidnight thisMorning lateToday" },
        QueryRow { "start before 2011", { .start = QDate(2010, 12, 31), .end = QDate(2011, 1, 1) },
            "before2011 first2011" },
        QueryRow { "end in the future takes tomorrow's rows", { .end = QDate(2024, 5, 6) },
            "first2011 yesterday todayMidnight thisMorning lateToday tomorrow" },
        QueryRow { "type", { .type = QStringLiteral("预约短信") }, "first2011 thisMorning" },
        QueryRow { "status", { .status = QStringLiteral("发送失败") }, "yesterday todayMidnight" },
        QueryRow { "every filter at once",
            { .account = QStringLiteral("bob"),
                .type = QStringLiteral("生日短信"),
                .status = QStringLiteral("发送失败") },
            "todayMidnight" },
        QueryRow { "quoted condition is only a value",
            { .account = QStringLiteral("x' or '1'='1") }, "" }),
    test::BySituation());

struct ContentRow
{
    const char *situation;
    QString content;
    QString listed;
};

using ListedContent = testing::TestWithParam<ContentRow>;

TEST_P(ListedContent, CutsAfter130Characters)
{
    EXPECT_EQ(listedSmsContent(GetParam().content), GetParam().listed);
}

const QString Emoji = QStringLiteral("😀");

INSTANTIATE_TEST_SUITE_P(Rows, ListedContent,
    testing::Values(
        ContentRow { "130 characters", QString(130, QChar(0x798F)), QString(130, QChar(0x798F)) },
        ContentRow { "131 characters outside the basic plane", Emoji.repeated(131),
            Emoji.repeated(130) + QStringLiteral("...") }),
    test::BySituation());

} // namespace
} // namespace natalis::sms
