#include "calendar_ui/typeddate.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

struct TypedRow
{
    const char *situation;
    bool lunarBox;
    const char16_t *typed;
    const char16_t *gregorian; // nullptr: refused
    const char16_t *lunar;
};

class TypedDates : public testing::TestWithParam<TypedRow>
{
};

TEST_P(TypedDates, GiveBothTextsOrAreRefused)
{
    const TypedRow &row = GetParam();
    const QString typed = QString::fromUtf16(row.typed);
    const auto texts = row.lunarBox ? TypedLunarDate(typed) : TypedGregorianDate(typed);
    if (!row.gregorian) {
        EXPECT_FALSE(texts.has_value());
        return;
    }
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->gregorian, QString::fromUtf16(row.gregorian));
    EXPECT_EQ(texts->lunar, QString::fromUtf16(row.lunar));
}

INSTANTIATE_TEST_SUITE_P(DateBoxes, TypedDates,
    testing::Values(
        TypedRow { "gregorian without leading zeros", false, u"1976-2-25",
            u"公历1976年 02月25日", u"农历1976年 01月26日" },
        TypedRow { "gregorian with blanks and zeros", false, u" 1976 - 02 - 25 ",
            u"公历1976年 02月25日", u"农历1976年 01月26日" },
        TypedRow { "gregorian last day offered", false, u"2100-12-31", u"公历2100年 12月31日",
            u"农历2100年 12月01日" },
        TypedRow { "gregorian before March 1901", false, u"1901-2-28", nullptr, nullptr },
        TypedRow { "gregorian 30 February", false, u"2006-2-30", nullptr, nullptr },
        TypedRow { "gregorian month 13", false, u"2006-13-1", nullptr, nullptr },
        TypedRow { "gregorian lunar layout", false, u"2006-闰7-15", nullptr, nullptr },
        TypedRow { "gregorian words", false, u"明天", nullptr, nullptr },
        TypedRow { "lunar leap month", true, u"2006-闰7-15", u"公历2006年 09月07日",
            u"农历2006年闰07月15日" },
        TypedRow { "lunar regular month", true, u"1976-1-26", u"公历1976年 02月25日",
            u"农历1976年 01月26日" },
        TypedRow { "lunar leap month the year lacks", true, u"2007-闰7-15", nullptr, nullptr },
        TypedRow { "lunar first month of 1901", true, u"1901-1-15", nullptr, nullptr },
        TypedRow { "lunar day 31", true, u"2006-7-31", nullptr, nullptr },
        TypedRow { "lunar empty", true, u"", nullptr, nullptr }),
    test::BySituation());

} // namespace
} // namespace natalis::calendar_ui
