#include "app/smsstartup.h"
#include "store/connection.h"
#include "store/statement.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::app {
namespace {

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
    { "half a year", 2, QDate(2026, 8, 31), QDate(2026, 2, 28) },
    { "three months", 3, QDate(2026, 5, 31), QDate(2026, 2, 28) },
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
    Retentions, CutoffTest, testing::ValuesIn(CutoffCases), test::BySituation());

QStringList sendTimes(store::Connection &db)
{
    QStringList times;
    store::Statement select = db.prepare("select strSdDate from dxhistory order by strSdDate");
    while (select.step())
        times << select.text(0);
    return times;
}

TEST(PurgeSmsHistoryTest, DeletesUpToAndIncludingTheCutoffMidnight)
{
    test::TempDatabase files;
    store::Connection db = files.create();
    for (const QString &time : { u"2026-02-27 23:59:59"_s, u"2026-02-28 00:00:00"_s,
             u"2026-02-28 00:00:01"_s, u"2026-03-30 12:00:00"_s })
        db.prepare("insert into dxhistory(strSdDate) values(?)").bind(1, time).run();

    PurgeSmsHistory(db, 0, QDate(2026, 3, 31));
    EXPECT_EQ(sendTimes(db).size(), 4);
    PurgeSmsHistory(db, 4, QDate(2026, 3, 31));
    EXPECT_EQ(sendTimes(db), (QStringList { u"2026-02-28 00:00:01"_s, u"2026-03-30 12:00:00"_s }));
}

TEST(LoadSmsAccountsTest, EntriesFollowTheIdsNotTheRowOrder)
{
    test::TempDatabase files;
    store::Connection db = files.create();
    EXPECT_EQ(LoadSmsAccounts(db), SmsAccountTable {});

    db.exec("delete from dxuser");
    db.exec("insert into dxuser(Id,[user],flag) values(2,'app''s','1')");
    db.exec("insert into dxuser(Id,[user],flag) values(1,'customer','1')");
    const SmsAccountTable accounts = LoadSmsAccounts(db);
    EXPECT_EQ(accounts[0], (SmsAccount { u"customer"_s, u"1"_s }));
    EXPECT_EQ(accounts[1], (SmsAccount { u"app's"_s, u"1"_s }));
}

} // namespace
} // namespace natalis::app
