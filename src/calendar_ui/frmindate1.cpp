#include "calendar_ui/frmindate1.h"

#include "calendar/describeday.h"
#include "calendar_ui/browsebar.h"

#include <QComboBox>

namespace natalis::calendar_ui {

frmInDate1::frmInDate1(int skin, QDate today, const QString &lunarText, QWidget *parent)
    : PickerDialog(skin, today, parent)
{
    setObjectName(QStringLiteral("frmInDate1"));
    setWindowTitle(QStringLiteral("选择农历日期"));
    showMonth(openedMonth(lunarText));
}

LunarMonthChoice frmInDate1::openedMonth(const QString &lunarText) const
{
    if (const auto opened = lunarMonthOfText(lunarText))
        return *opened;
    const auto day = calendar::DescribeDay(today());
    if (const auto opened = lunarMonthOfText(day ? day->lunarText : QString()))
        return *opened;
    return clampLunarMonth({ today().year(), 0 });
}

void frmInDate1::fillMonthBox(int lunarYear)
{
    QComboBox *box = browseBar()->monthBox();
    box->clear();
    box->addItems(lunarMonthTexts(lunarYear));
}

void frmInDate1::showMonth(LunarMonthChoice month)
{
    const LunarMonthChoice shown = clampLunarMonth(month);
    if (shown.year != m_shown.year || browseBar()->monthBox()->count() == 0)
        fillMonthBox(shown.year);
    m_shown = shown;
    browseBar()->setYear(m_shown.year);
    browseBar()->monthBox()->setCurrentIndex(m_shown.position);
    showCells(buildLunarPickerGrid(m_shown.year, shownMonthText(), today()));
}

QString frmInDate1::shownMonthText() const
{
    return lunarMonthTexts(m_shown.year).value(m_shown.position);
}

QStringList frmInDate1::monthTexts() const
{
    QStringList texts;
    const QComboBox *box = browseBar()->monthBox();
    for (int index = 0; index < box->count(); ++index)
        texts.append(box->itemText(index));
    return texts;
}

void frmInDate1::browse(BrowseStep step)
{
    switch (step) {
    case BrowseStep::previousYear:
        return showMonth(changeLunarYear(m_shown, m_shown.year - 1));
    case BrowseStep::previousMonth:
        return showMonth(previousLunarMonth(m_shown));
    case BrowseStep::nextMonth:
        return showMonth(nextLunarMonth(m_shown));
    case BrowseStep::nextYear:
        return showMonth(changeLunarYear(m_shown, m_shown.year + 1));
    }
}

std::optional<PickedTexts> frmInDate1::textsOfDay(int day) const
{
    return pickLunarDay(m_shown.year, shownMonthText(), day);
}

void frmInDate1::yearChosen()
{
    showMonth(changeLunarYear(m_shown, browseBar()->year()));
}

void frmInDate1::monthChosen()
{
    showMonth({ m_shown.year, browseBar()->monthBox()->currentIndex() });
}

} // namespace natalis::calendar_ui
