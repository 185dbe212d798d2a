#include "store/reminderitems.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace natalis::store;
using namespace Qt::StringLiterals;

namespace {

const QDate May1(2026, 5, 1);
const QDateTime Nine(May1.addDays(1), QTime(9, 0));

// Each row writes its marks (day offset from 1 May, mark) into a fresh file, reopens it and
// reads the day asked for.
TEST(ReminderItems, MarksSurviveTheFileAndReplaceTheirItemsEarlierOnes)
{
    const ReminderItemMark shown { u"今天是张三生日[同事,139]"_s, ItemState::Shown, {}, false };
    const ReminderItemMark acknowledged { shown.item, ItemState::Acknowledged, {}, false };
    const ReminderItemMark snoozed { shown.item, ItemState::Snoozed, Nine, false };
    const ReminderItemMark carried { u"昨天是张三生日"_s, ItemState::Snoozed, Nine, true };
    const ReminderItemMark missed { u"2天前是李四生日"_s, ItemState::Waiting, {}, true };
    const struct
    {
        const char *situation;
        QList<std::pair<int, ReminderItemMark>> writes;
        int readDay;
        QList<ReminderItemMark> read;
    } rows[] = {
        { "shown, then acknowledged", { { 0, shown }, { 0, acknowledged } }, 0, { acknowledged } },
        { "snoozed into the next day keeps its time and owner",
            { { 0, shown }, { 0, snoozed }, { 1, carried } }, 1, { carried } },
        { "two items in the order last written", { { 0, shown }, { 0, missed }, { 0, snoozed } }, 0,
            { missed, snoozed } },
        { "another day's marks stay apart", { { 0, shown }, { 1, missed } }, 0, { shown } },
        { "a week on, the old day is forgotten", { { 0, shown }, { 8, missed } }, 0, {} },
    };
    for (const auto &row : rows) {
        natalis::test::TempDatabase dir;
        {
            Connection connection = dir.create();
            for (const auto &[day, mark] : row.writes)
                EXPECT_TRUE(writeReminderItem(connection, May1.addDays(day), mark))
                    << row.situation;
        }
        auto reopened = OpenBirthDb(dir.path());
        ASSERT_TRUE(reopened);
        EXPECT_EQ(readReminderItems(*reopened, May1.addDays(row.readDay)), row.read)
            << row.situation;
    }
}

} // namespace
