// The row an edit or a delete reaches by Id: by a binary search while Ids ascend, else an index.
#include "dialogs/birthdaylistmodel.h"

#include <gtest/gtest.h>
#include <numeric>

using namespace natalis;

TEST(RowOfId, EveryIdLeadsToItsOwnRowInOrOutOfIdOrder)
{
    // The Ids shown, then one appended.
    const std::pair<QList<qint32>, qint32> cases[] = { { { 1, 3, 5 }, 9 }, { { 3, 5, 7 }, 2 },
        { { 7, 1, 5 }, 4 }, { {}, 8 } };
    for (const auto &[ids, appended] : cases) {
        const QList<qint32> shown = ids + QList<qint32> { appended };
        store::BirthdayList list;
        store::BirthdayRecord record;
        for (qint32 id : shown)
            record.Id = id, list.append(record);
        QList<qsizetype> positions(ids.size());
        std::iota(positions.begin(), positions.end(), 0);
        dialogs::BirthdayListModel model;
        model.setRows(list, positions);
        model.appendRow(list.at(ids.size()));
        for (int row = 0; row < shown.size(); ++row)
            EXPECT_EQ(model.rowOfId(shown[row]), row) << "Id " << shown[row];
        EXPECT_EQ(model.rowOfId(6), -1);
    }
}
