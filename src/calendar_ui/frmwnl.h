#pragma once

#include "calendar_ui/monthgrid.h"

#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;

namespace natalis::calendar_ui {

class CalendarHost;
class DayGrid;

// The month calendar in its two uses: the birthday calendar (plainMode false: birthdays in the
// cells, hover notice, day lists on double-click) and the perpetual calendar (plainMode true).
class frmWNL : public QWidget
{
    Q_OBJECT

public:
    frmWNL(CalendarHost &host, bool plainMode, QWidget *parent = nullptr);

    bool plainMode() const { return m_plainMode; }

    // Shows a month of March 1901 … December 2100; January and February 1901 show March 1901.
    void FillMonthGrid(int year, int month);
    int shownYear() const { return m_year; }
    int shownMonth() const { return m_month; }
    const MonthCell &cell(int index) const { return m_cells[index]; } // 0..41
    QString glDayText(int index) const; // lblGLDay caption
    QString nlDayText(int index) const; // lblNLDay caption
    QString todayText() const; // lblToday caption

    void cmdPrevYear_Click();
    void cmdPrevMonth_Click();
    void cmdNextMonth_Click();
    void cmdNextYear_Click();
    void cmdSetup_Click();
    void cmdExit_Click();
    void lblGLDay_DblClick(int index);
    void lblToday_DblClick();
    void lblGLDay_MouseMove(int index);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void applySkin();
    void onActivated();
    void showShownMonth(int year, int month);
    void comboChanged();

    CalendarHost &m_host;
    bool m_plainMode;
    int m_skin;
    int m_year = 0;
    int m_month = 0;
    bool m_settingCombos = false;
    std::array<MonthCell, 42> m_cells {};
    DayGrid *m_grid = nullptr;
    QLabel *m_lblToday = nullptr;
    QLabel *m_lblNotify = nullptr;
    QComboBox *m_cboYear = nullptr;
    QComboBox *m_cboMonth = nullptr;
};

} // namespace natalis::calendar_ui
