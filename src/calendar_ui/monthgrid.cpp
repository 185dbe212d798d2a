#include "calendar_ui/monthgrid.h"

namespace natalis::calendar_ui {

std::array<MonthCell, GridCells> BuildMonthGrid(
    int, int, QDate, const QList<store::BirthdayRecord> &, bool)
{
    return {};
}

QString TodayHeading(QDate)
{
    return {};
}

QString CutNoticeLines(const QString &text)
{
    return text;
}

} // namespace natalis::calendar_ui
