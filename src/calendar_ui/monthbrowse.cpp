#include "calendar_ui/monthbrowse.h"

#include <algorithm>

namespace natalis::calendar_ui {

YearMonth clampToShownRange(YearMonth shown)
{
    if (shown.year < FirstShownYear)
        return { FirstShownYear, 3 };
    if (shown.year > LastShownYear)
        return { LastShownYear, 12 };
    shown.month = std::clamp(shown.month, 1, 12);
    if (shown.year == FirstShownYear && shown.month < 3)
        shown.month = 3;
    return shown;
}

YearMonth nextMonth(YearMonth shown)
{
    if (shown.month < 12)
        return clampToShownRange({ shown.year, shown.month + 1 });
    if (shown.year < LastShownYear)
        return { shown.year + 1, 1 };
    return shown;
}

YearMonth previousMonth(YearMonth shown)
{
    if (shown.year == FirstShownYear && shown.month <= 3)
        return shown;
    if (shown.month > 1)
        return { shown.year, shown.month - 1 };
    return { shown.year - 1, 12 };
}

YearMonth nextYear(YearMonth shown)
{
    if (shown.year < LastShownYear)
        ++shown.year;
    return shown;
}

YearMonth previousYear(YearMonth shown)
{
    if (shown.year > FirstShownYear)
        --shown.year;
    return clampToShownRange(shown);
}

} // namespace natalis::calendar_ui
