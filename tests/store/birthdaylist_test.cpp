#include "store/birthdaylist.h"
#include "support/casename.h"
#include "support/everykind.h"
#include "support/qtprinters.h"

#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

BirthdayRecord numbered(int i)
{
    BirthdayRecord r = test::everyKindOfBirthday().at(2); // every field set
    r.Id = i;
    r.About = u"第%1位"_s.arg(i);
    r.Uid = QUuid(quint32(i), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    return r;
}

TEST(BirthdayList, EveryFixtureBirthdayRoundTripsEveryField)
{
    QList<BirthdayRecord> records = test::everyKindOfBirthday();
    for (qsizetype i = 0; i < records.size(); ++i) {
        records[i].Id = qint32(i + 1);
        records[i].Uid = QUuid::createUuid();
    }
    EXPECT_EQ(BirthdayList(records).toList(), records);
}

struct ChangeCase
{
    const char *situation;
    std::function<void(BirthdayList &)> change;
    // The first row's name and the row count after the change.
    QString firstName;
    qsizetype rows;
};

const ChangeCase ChangeCases[] = {
    { "a row replaced by another", [](BirthdayList &list) { list.replace(0, numbered(9)); },
        u"第9位"_s, 3 },
    { "one text set", [](BirthdayList &list) { list.setText(0, BirthdayText::About, u"新名"); },
        u"新名"_s, 3 },
    { "enough rows added to move every text",
        [](BirthdayList &list) {
            for (int i = 10; i < 2000; ++i)
                list.append(numbered(i));
        },
        u"第1位"_s, 1993 },
    { "cleared and filled again",
        [](BirthdayList &list) {
            list.clear();
            list.append(numbered(7));
        },
        u"第7位"_s, 1 },
};

class ChangeTest : public testing::TestWithParam<ChangeCase>
{
};

// Records and copies taken before a change keep what they showed: the lists, editor and
// exports hold them while the program's list is loaded again or marked.
TEST_P(ChangeTest, EarlierRecordsAndCopiesKeepTheirTexts)
{
    BirthdayList list { numbered(1), numbered(2), numbered(3) };
    const BirthdayList copy = list;
    const BirthdayRecord held = list.at(0);
    const QList<BirthdayRecord> before = list.toList();

    GetParam().change(list);
    EXPECT_EQ(list.at(0).About, GetParam().firstName);
    EXPECT_EQ(list.size(), GetParam().rows);
    EXPECT_EQ(copy.toList(), before);
    EXPECT_EQ(held, before.first());
    // A copy changed after the list wrote its own texts shares none of them.
    BirthdayList other = copy;
    other.append(numbered(5));
    EXPECT_EQ(list.at(0).About, GetParam().firstName);
    EXPECT_EQ(other.at(3), numbered(5));
    EXPECT_EQ(copy.toList(), before);
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangeTest, testing::ValuesIn(ChangeCases), test::BySituation());

} // namespace
} // namespace natalis::store
