#pragma once

#include "calendar_ui/pickergrid.h"

#include <QDate>
#include <QDialog>
#include <optional>

namespace natalis::calendar_ui {

class BrowseBar;
class DayGrid;

// What both date pickers share: the month chooser, the day grid and cmdExit. A click on a day
// stores both texts of the day and accepts; cmdExit rejects and leaves them empty.
class PickerDialog : public QDialog
{
    Q_OBJECT

public:
    // Valid after a day was picked.
    QString PickedGLText() const { return m_picked ? m_picked->gregorian : QString(); }
    QString PickedNLText() const { return m_picked ? m_picked->lunar : QString(); }

    const PickerCell &cell(int index) const { return m_cells[index]; } // 0..41
    QString largeText(int index) const; // lblGLDay caption
    QString smallText(int index) const; // lblNLDay caption

    // A click on a cell without a day is ignored.
    void lblGLDay_Click(int index);
    void cmdExit_Click();
    void cmdPrevYear_Click() { browse(BrowseStep::previousYear); }
    void cmdPrevMonth_Click() { browse(BrowseStep::previousMonth); }
    void cmdNextMonth_Click() { browse(BrowseStep::nextMonth); }
    void cmdNextYear_Click() { browse(BrowseStep::nextYear); }

protected:
    enum class BrowseStep { previousYear, previousMonth, nextMonth, nextYear };

    PickerDialog(int skin, QDate today, QWidget *parent);

    BrowseBar *browseBar() const { return m_bar; }
    QDate today() const { return m_today; }
    void showCells(const PickerGrid &cells);
    // Both texts of the shown month's day `day`, or nullopt when it cannot be picked.
    virtual std::optional<PickedTexts> textsOfDay(int day) const = 0;
    virtual void browse(BrowseStep step) = 0;
    virtual void yearChosen() = 0;
    virtual void monthChosen() = 0;

private:
    QDate m_today;
    PickerGrid m_cells {};
    std::optional<PickedTexts> m_picked;
    BrowseBar *m_bar;
    DayGrid *m_grid;
};

} // namespace natalis::calendar_ui
