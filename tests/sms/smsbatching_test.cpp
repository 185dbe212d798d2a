#include "sms/smsbatching.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::sms {
namespace {

struct CutCase
{
    const char *situation;
    int phs, mobile, other; // how many numbers of each kind, given mobile, PHS, other in turn
    QList<int> sizes; // of the batches as cut
    int mobileFrom; // the first mobile batch
};

const CutCase CutCases[] = {
    { "PHS cut before mobile given first", 3, 5, 0, { 3, 5 }, 1 },
    { "exactly one full batch", 0, 200, 0, { 200 }, 0 },
    { "one over a full batch", 0, 201, 0, { 200, 1 }, 0 },
    { "both kinds over a batch", 401, 450, 0, { 200, 200, 1, 200, 200, 50 }, 3 },
    { "numbers of neither kind go nowhere", 1, 0, 4, { 1 }, 1 },
    { "nothing to send", 0, 0, 2, {}, 0 },
};

class CutTest : public testing::TestWithParam<CutCase>
{
};

TEST_P(CutTest, EveryBatchHoldsOneKindInTheOrderGiven)
{
    const CutCase &row = GetParam();
    QStringList numbers;
    for (int i = 0; i < row.mobile; ++i)
        numbers << QStringLiteral("139%1").arg(i, 8, 10, QChar(u'0'));
    for (int i = 0; i < row.phs; ++i)
        numbers << QStringLiteral("021%1").arg(i, 8, 10, QChar(u'0'));
    for (int i = 0; i < row.other; ++i)
        numbers << QStringLiteral("+86139%1").arg(i);
    const auto batches = cutSmsBatches(numbers, [](const QString &number) { return number; });
    QList<int> sizes;
    QStringList order;
    for (qsizetype b = 0; b < batches.size(); ++b) {
        sizes << int(batches[b].items.size());
        EXPECT_EQ(batches[b].mobile, b >= row.mobileFrom) << b;
        for (const QString &number : batches[b].items)
            EXPECT_EQ(isMobileNumber(number), batches[b].mobile) << number.toStdString();
        order += batches[b].items;
    }
    EXPECT_EQ(sizes, row.sizes);
    QStringList expected = numbers.mid(row.mobile, row.phs) + numbers.mid(0, row.mobile);
    EXPECT_EQ(order, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CutTest, testing::ValuesIn(CutCases), test::BySituation());

} // namespace
} // namespace natalis::sms
