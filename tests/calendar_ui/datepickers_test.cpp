#include "calendar_ui/datepickers.h"
#include "calendar_ui/pickerdialog.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

// The browse rules and the texts of a picked day are the engines' (monthbrowse, lunarmonthlist,
// pickergrid); here what the two pickers do with them, through the callers' functions.

namespace natalis::calendar_ui {
namespace {

const QDate FixedToday(2006, 9, 7); // lunar 2006 闰07-15

TEST(DatePickers, HandBackBothTextsOrKeepTheCallers)
{
    const struct
    {
        const char *situation;
        decltype(&pickLunarDate) pick;
        const char16_t *gl, *nl; // the caller's texts
        void (PickerDialog::*browse)(); // pressed before the pick, or nullptr
        int day; // the day picked; 0: cmdExit
        const char16_t *picked; // the Gregorian and the lunar text; nullptr: the caller's stay
    } rows[] = {
        { "Gregorian day of the caller's month", pickGregorianDate, u"公历1980年 03月03日", u"",
            nullptr, 25, u"公历1980年 03月25日农历1980年 02月09日" },
        { "lunar day of the caller's month", pickLunarDate, u"", u"农历1980年 01月17日", nullptr, 1,
            u"公历1980年 02月16日农历1980年 01月01日" },
        { "lunar day of a leap month", pickLunarDate, u"", u"农历2006年闰07月01日", nullptr, 15,
            u"公历2006年 09月07日农历2006年闰07月15日" },
        { "Gregorian picker without a date opens today's month", pickGregorianDate, u"", u"",
            nullptr, 7, u"公历2006年 09月07日农历2006年闰07月15日" },
        { "lunar picker without a date opens today's month", pickLunarDate, u"", u"", nullptr, 15,
            u"公历2006年 09月07日农历2006年闰07月15日" },
        { "Gregorian next month", pickGregorianDate, u"公历1980年 03月03日", u"",
            &PickerDialog::cmdNextMonth_Click, 1, u"公历1980年 04月01日农历1980年 02月16日" },
        { "lunar next year from the leap seventh keeps the position", pickLunarDate, u"",
            u"农历2006年闰07月01日", &PickerDialog::cmdNextYear_Click, 1,
            u"公历2007年 09月11日农历2007年 08月01日" },
        { "cmdExit keeps the caller's texts", pickGregorianDate, u"公历1980年 03月03日", u"old",
            nullptr, 0, nullptr },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        QTimer::singleShot(0, [&row] {
            auto *picker = qobject_cast<PickerDialog *>(QApplication::activeModalWidget());
            picker->lblGLDay_Click(GridCells - 1); // never a day there, so it picks nothing
            if (row.browse)
                (picker->*row.browse)();
            for (int index = 0; index < GridCells && row.day != 0; ++index) {
                if (picker->cell(index).day == row.day)
                    return picker->lblGLDay_Click(index);
            }
            picker->cmdExit_Click();
        });
        QString gl = QString::fromUtf16(row.gl), nl = QString::fromUtf16(row.nl);
        EXPECT_EQ(row.pick(nullptr, 1, FixedToday, gl, nl), row.picked != nullptr);
        const QString callers = QString::fromUtf16(row.gl) + QString::fromUtf16(row.nl);
        EXPECT_EQ(gl + nl, row.picked ? QString::fromUtf16(row.picked) : callers);
    }
}

} // namespace
} // namespace natalis::calendar_ui
