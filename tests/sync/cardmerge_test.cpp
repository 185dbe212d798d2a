// The field-by-field merge of a birthday changed here and on the server, without a server: the
// two-computer tests show the same rule reaching both files once per way a card travels.
#include "support/casename.h"
#include "sync/cardfields.h"

#include <gtest/gtest.h>

namespace natalis::sync::cards {
namespace {

using namespace Qt::StringLiterals;

// "remark|company": the two fields every row plays with; a null side has no last sync.
Fields fields(const char *text)
{
    const QStringList values = QString::fromUtf8(text).split(u'|');
    return { { u"生日名称"_s, u"张三"_s }, { u"生日备注"_s, values.value(0) },
        { u"公司名称"_s, values.value(1) } };
}

struct MergeCase
{
    const char *situation;
    const char *synced; // nullptr: never synced
    const char *ours, *theirs;
    int ourMinute, theirMinute; // -1: our change was never queued
    bool theirsFirst;
    const char *merged;
    const char *overruled; // "field:kept>lost" and "(server lost)", or ""
    friend void PrintTo(const MergeCase &c, std::ostream *os) { *os << c.situation; }
};

const MergeCase MergeCases[] = {
    { "nothing changed", "甲|甲公司", "甲|甲公司", "甲|甲公司", 1, 2, false, "甲|甲公司", "" },
    { "changed there only: theirs", "甲|", "甲|", "乙|", 5, 1, false, "乙|", "" },
    { "changed here only: ours stays", "甲|", "乙|", "甲|", 1, 5, false, "乙|", "" },
    { "each side a different field", "甲|", "乙|", "甲|丙公司", 1, 2, false, "乙|丙公司", "" },
    { "both to the same value", "甲|", "乙|", "乙|", 1, 2, false, "乙|", "" },
    { "both, theirs later", "甲|", "早|", "晚|", 1, 2, false, "晚|", "生日备注:晚>早" },
    { "both, ours later", "甲|", "晚|", "早|", 2, 1, false, "晚|", "生日备注:晚>早(server lost)" },
    { "both at one time, theirs first", "甲|", "乙|", "丙|", 3, 3, true, "丙|", "生日备注:丙>乙" },
    { "both at one time, ours first", "甲|", "乙|", "丙|", 3, 3, false, "乙|",
        "生日备注:乙>丙(server lost)" },
    { "our change never queued", "甲|", "乙|", "丙|", -1, 1, false, "丙|", "生日备注:丙>乙" },
    { "never synced: a difference counts on both sides", nullptr, "乙|乙公司", "丙|乙公司", 2, 1,
        false, "乙|乙公司", "生日备注:乙>丙(server lost)" },
    { "never synced, theirs later: both fields theirs", nullptr, "乙|乙公司", "丙|丙公司", 1, 2,
        false, "丙|丙公司", "公司名称:丙公司>乙公司 生日备注:丙>乙" },
};

class Merge : public testing::TestWithParam<MergeCase>
{
};

TEST_P(Merge, TheLaterChangeOfAFieldWinsAndTheOverruledValueIsKept)
{
    const MergeCase &c = GetParam();
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);
    const Fields synced = fields(c.synced ? c.synced : "");
    MergeSides sides;
    sides.synced = c.synced ? &synced : nullptr;
    sides.ourTime = c.ourMinute < 0 ? QDateTime() : start.addSecs(60 * c.ourMinute);
    sides.theirTime = start.addSecs(60 * c.theirMinute);
    sides.theirsFirst = c.theirsFirst;
    const FieldMerge merge = mergeFields(fields(c.ours), fields(c.theirs), sides);
    EXPECT_EQ(merge.merged, fields(c.merged));
    QStringList overruled;
    for (const store::CardConflict &o : merge.conflicts) {
        EXPECT_EQ(o.name, u"张三"_s);
        overruled << o.field + u':' + o.kept + u'>' + o.lost
                + (o.serverLost ? u"(server lost)"_s : QString());
    }
    EXPECT_EQ(overruled.join(u' ').toStdString(), c.overruled);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Merge, testing::ValuesIn(MergeCases), natalis::test::BySituation());

} // namespace
} // namespace natalis::sync::cards
