#include "describeday.h"

#include "calendarnames.h"
#include "datetext.h"
#include "festivals.h"
#include "lunarconversion.h"
#include "lunaryeartable.h"
#include "solarterms.h"

namespace natalis::calendar {

namespace {

QString monthNoteOf(const LunarDate &lunar, int monthDays)
{
    QString note = lunar.isLeap ? QStringLiteral("闰") : QString();
    return note + QString::number(lunar.month) + u'月' + monthSizeWord(monthDays);
}

} // namespace

QString DayDescription::festivalText() const
{
    QString text;
    for (const QString &name : festivals)
        text += name + QStringLiteral("\r\n");
    return text;
}

std::optional<DayDescription> DescribeDay(QDate date)
{
    if (!date.isValid() || date < firstDescribedDay() || date > lastDescribedDay())
        return std::nullopt;
    const std::optional<LunarDate> lunar = solarToLunar(date);
    if (!lunar)
        return std::nullopt;

    const int monthDays =
        *LoadLunarYearTable().monthLength(lunar->year, lunar->month, lunar->isLeap);
    DayDescription description;
    description.lunar = *lunar;
    description.lunarText = lunarText(*lunar);
    description.longText = lunarLongText(*lunar);
    description.dayName = lunarDayName(lunar->day);
    if (lunar->day == 1)
        description.monthNote = monthNoteOf(*lunar, monthDays);

    const QString term = SolarTermTable::termOn(date);
    description.festivals = festivalsOf(date, *lunar, monthDays, term);
    // 清明 is listed as the festival 清明节, not as a term.
    if (term != u"清明")
        description.termName = term;
    return description;
}

} // namespace natalis::calendar
