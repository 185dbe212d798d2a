#include "calendar_ui/typeddate.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

// The lunar layout's own rules are NormalizeLunarImportText's (lunarimporttext_test).

namespace natalis::calendar_ui {
namespace {

TEST(TypedDates, GiveBothTextsOrAreRefused)
{
    const struct
    {
        const char *situation;
        decltype(&typedLunarDate) box;
        const char16_t *typed;
        const char16_t *texts; // the Gregorian and the lunar text; empty: refused
    } rows[] = {
        { "no leading zeros", typedGregorianDate, u"1976-2-25",
            u"公历1976年 02月25日农历1976年 01月26日" },
        { "blanks and zeros", typedGregorianDate, u" 1976 - 02 - 25 ",
            u"公历1976年 02月25日农历1976年 01月26日" },
        { "before March 1901", typedGregorianDate, u"1901-2-28", u"" },
        { "30 February", typedGregorianDate, u"2006-2-30", u"" },
        { "lunar layout in the Gregorian box", typedGregorianDate, u"2006-闰7-15", u"" },
        { "leap month", typedLunarDate, u"2006-闰7-15",
            u"公历2006年 09月07日农历2006年闰07月15日" },
        { "regular month", typedLunarDate, u"1976-1-26",
            u"公历1976年 02月25日农历1976年 01月26日" },
        { "leap month the year lacks", typedLunarDate, u"2007-闰7-15", u"" },
    };
    for (const auto &row : rows) {
        const std::optional<PickedTexts> texts = row.box(QString::fromUtf16(row.typed));
        EXPECT_EQ(
            texts ? texts->gregorian + texts->lunar : QString(), QString::fromUtf16(row.texts))
            << row.situation;
    }
}

} // namespace
} // namespace natalis::calendar_ui
