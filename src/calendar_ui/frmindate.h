#pragma once

#include "calendar_ui/monthbrowse.h"
#include "calendar_ui/pickerdialog.h"

namespace natalis::calendar_ui {

// Picks a Gregorian day of March 1901 … December 2100.
class frmInDate : public PickerDialog
{
    Q_OBJECT

public:
    // Opens on the month of `gregorianText` (公历YYYY年 MM月DD日), or on today's month when
    // the text is empty or unreadable.
    frmInDate(int skin, QDate today, const QString &gregorianText, QWidget *parent = nullptr);

    YearMonth shownMonth() const { return m_shown; }
    // Moved into the offered range first.
    void showMonth(YearMonth month);

protected:
    std::optional<PickedTexts> textsOfDay(int day) const override;
    void browse(BrowseStep step) override;
    void yearChosen() override;
    void monthChosen() override;

private:
    YearMonth m_shown;
};

} // namespace natalis::calendar_ui
