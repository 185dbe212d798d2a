#pragma once

#include "calendar_ui/monthgrid.h"

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

namespace natalis::calendar_ui {

class BrowseBar;
class CalendarHost;
class DayGrid;

// The month calendar in its two uses: the birthday calendar (plainMode false: birthdays in the
// cells, day lists on double-click) and the perpetual calendar (plainMode true). Opens on
// today's month; closing deletes it.
class frmWNL : public QWidget
{
    Q_OBJECT

public:
    frmWNL(CalendarHost &host, bool plainMode, QWidget *parent = nullptr);

    bool plainMode() const { return m_plainMode; }

    // Shows a month of March 1901 … December 2100; a month outside is moved into the range
    // (January and February 1901 show March 1901).
    void FillMonthGrid(int year, int month);
    int shownYear() const { return m_year; }
    int shownMonth() const { return m_month; }
    const MonthCell &cell(int index) const { return m_cells[index]; } // 0..41
    QString glDayText(int index) const; // lblGLDay caption
    QString nlDayText(int index) const; // lblNLDay caption
    QString todayText() const; // lblToday caption
    QString noticeShown() const; // lblNotify caption, empty while hidden

    void cmdPrevYear_Click();
    void cmdPrevMonth_Click();
    void cmdNextMonth_Click();
    void cmdNextYear_Click();
    void cmdSetup_Click();
    void cmdExit_Click();
    void lblGLDay_DblClick(int index);
    // The day's menu offers what its double click does.
    void lblGLDay_Menu(int index, const QPoint &at);
    void lblToday_DblClick();
    void lblGLDay_MouseMove(int index);
    // The program's birthdays have changed: the shown month is drawn from them again.
    void birthdaysChanged();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QPushButton *addButton(const char *name, const QString &text, void (frmWNL::*slot)());
    void onActivated();
    void fillFromCombos();
    void drawCells();
    void hideNotice();
    void placeNotice(int index);

    CalendarHost &m_host;
    bool m_plainMode;
    int m_skin;
    int m_year = 0;
    int m_month = 0;
    std::array<MonthCell, GridCells> m_cells {};
    MonthBirthdayIndex m_birthdays;
    BrowseBar *m_bar = nullptr;
    DayGrid *m_grid = nullptr;
    QLabel *m_lblToday = nullptr;
    QLabel *m_lblNotify = nullptr;
};

} // namespace natalis::calendar_ui
