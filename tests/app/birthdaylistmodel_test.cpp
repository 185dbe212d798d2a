// A row found by its Id is the row an edit or a delete reaches: found by a binary search while
// the rows' Ids ascend, through an index once they do not.

#include "app/birthdaylistmodel.h"

#include <gtest/gtest.h>

using namespace natalis;

namespace {

struct FindCase
{
    const char *name;
    QList<qint32> ids; // in the model's order
    qint32 appended; // 0: nothing appended
};

class RowOfId : public testing::TestWithParam<FindCase>
{
};

TEST_P(RowOfId, EveryIdLeadsToItsOwnRowAndAnAbsentOneToNone)
{
    const FindCase &c = GetParam();
    store::BirthdayList list;
    QList<qsizetype> positions;
    for (qint32 id : c.ids) {
        store::BirthdayRecord record;
        record.Id = id;
        list.append(record);
        positions.append(list.size() - 1);
    }
    app::BirthdayListModel model;
    model.setRows(list, positions);
    QList<qint32> expected = c.ids;
    if (c.appended != 0) {
        store::BirthdayRecord record;
        record.Id = c.appended;
        model.appendRow(record);
        expected.append(c.appended);
    }
    for (int row = 0; row < expected.size(); ++row)
        EXPECT_EQ(model.rowOfId(expected[row]), row) << "Id " << expected[row];
    EXPECT_EQ(model.rowOfId(6), -1);
}

INSTANTIATE_TEST_SUITE_P(Rows, RowOfId,
    testing::Values(FindCase { "ascending", { 1, 3, 5, 7 }, 0 },
        FindCase { "ascending_then_a_higher_one_added", { 1, 3, 5 }, 9 },
        FindCase { "ascending_then_a_lower_one_added", { 3, 5, 7 }, 2 },
        FindCase { "out_of_order", { 7, 1, 5, 3 }, 0 },
        FindCase { "out_of_order_then_one_added", { 7, 1, 5 }, 4 }, FindCase { "empty", {}, 0 }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
