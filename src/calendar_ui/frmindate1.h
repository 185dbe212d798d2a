#pragma once

#include "calendar_ui/lunarmonthlist.h"
#include "calendar_ui/pickerdialog.h"

namespace natalis::calendar_ui {

// Picks a lunar day; the month list holds the lunar year's months with its leap month, and
// never lunar month 1 of 1901 or month 12 of 2100.
class frmInDate1 : public PickerDialog
{
    Q_OBJECT

public:
    // Opens on the month of `lunarText` (农历YYYY年 MM月DD日 or 闰MM), or on today's lunar
    // month when the text is empty or unreadable.
    frmInDate1(int skin, QDate today, const QString &lunarText, QWidget *parent = nullptr);

    LunarMonthChoice shownMonth() const { return m_shown; }
    QString shownMonthText() const; // " 07", "闰07"
    QStringList monthTexts() const; // the entries of cboMonth
    // Clamped first.
    void showMonth(LunarMonthChoice month);

protected:
    std::optional<PickedTexts> textsOfDay(int day) const override;
    void browse(BrowseStep step) override;
    void yearChosen() override;
    void monthChosen() override;

private:
    LunarMonthChoice openedMonth(const QString &lunarText) const;
    void fillMonthBox(int lunarYear);

    LunarMonthChoice m_shown;
};

} // namespace natalis::calendar_ui
