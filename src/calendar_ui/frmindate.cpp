#include "calendar_ui/frmindate.h"

#include "calendar/datetext.h"
#include "calendar_ui/browsebar.h"

#include <QComboBox>

namespace natalis::calendar_ui {

frmInDate::frmInDate(int skin, QDate today, const QString &gregorianText, QWidget *parent)
    : PickerDialog(skin, today, parent)
{
    setObjectName(QStringLiteral("frmInDate"));
    setWindowTitle(QStringLiteral("选择公历日期"));
    for (int month = 1; month <= 12; ++month)
        browseBar()->monthBox()->addItem(QString::number(month));
    const QDate opened = calendar::parseGregorianText(gregorianText).value_or(today);
    showMonth({ opened.year(), opened.month() });
}

void frmInDate::showMonth(YearMonth month)
{
    m_shown = clampToShownRange(month);
    browseBar()->setYear(m_shown.year);
    browseBar()->monthBox()->setCurrentIndex(m_shown.month - 1);
    showCells(buildGregorianPickerGrid(m_shown.year, m_shown.month, today()));
}

void frmInDate::browse(BrowseStep step)
{
    switch (step) {
    case BrowseStep::previousYear:
        return showMonth(previousYear(m_shown));
    case BrowseStep::previousMonth:
        return showMonth(previousMonth(m_shown));
    case BrowseStep::nextMonth:
        return showMonth(nextMonth(m_shown));
    case BrowseStep::nextYear:
        return showMonth(nextYear(m_shown));
    }
}

std::optional<PickedTexts> frmInDate::textsOfDay(int day) const
{
    return pickGregorianDay(m_shown.year, m_shown.month, day);
}

void frmInDate::yearChosen()
{
    showMonth({ browseBar()->year(), m_shown.month });
}

void frmInDate::monthChosen()
{
    showMonth({ m_shown.year, browseBar()->monthBox()->currentIndex() + 1 });
}

} // namespace natalis::calendar_ui
