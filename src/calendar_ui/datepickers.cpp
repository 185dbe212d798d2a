#include "calendar_ui/datepickers.h"

namespace natalis::calendar_ui {

bool PickGregorianDate(QWidget *, int, QDate, QString &, QString &)
{
    return false;
}

bool PickLunarDate(QWidget *, int, QDate, QString &, QString &)
{
    return false;
}

} // namespace natalis::calendar_ui
