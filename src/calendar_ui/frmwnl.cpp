#include "calendar_ui/frmwnl.h"

#include "calendar_ui/calendarhost.h"

#include <QEvent>

namespace natalis::calendar_ui {

frmWNL::frmWNL(CalendarHost &host, bool plainMode, QWidget *parent)
    : QWidget(parent, Qt::Window), m_host(host), m_plainMode(plainMode), m_skin(host.currentSkin())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmWNL"));
}

void frmWNL::FillMonthGrid(int year, int month)
{
    m_year = year;
    m_month = month;
    m_cells = BuildMonthGrid(year, month, m_host.now().date(), m_host.birthdays(), m_plainMode);
}

QString frmWNL::glDayText(int index) const
{
    return m_cells[index].glText;
}
QString frmWNL::nlDayText(int index) const
{
    return m_cells[index].nlText;
}
QString frmWNL::todayText() const
{
    return {};
}
void frmWNL::cmdPrevYear_Click() { }
void frmWNL::cmdPrevMonth_Click() { }
void frmWNL::cmdNextMonth_Click() { }
void frmWNL::cmdNextYear_Click() { }
void frmWNL::cmdSetup_Click()
{
    close();
    m_host.showMainWindow();
}
void frmWNL::cmdExit_Click()
{
    close();
}
void frmWNL::lblGLDay_DblClick(int) { }
void frmWNL::lblToday_DblClick() { }
void frmWNL::lblGLDay_MouseMove(int) { }
bool frmWNL::event(QEvent *event)
{
    return QWidget::event(event);
}
bool frmWNL::eventFilter(QObject *watched, QEvent *event)
{
    return QWidget::eventFilter(watched, event);
}
void frmWNL::buildControls() { }
void frmWNL::applySkin() { }
void frmWNL::onActivated() { }
void frmWNL::showShownMonth(int, int) { }
void frmWNL::comboChanged() { }

} // namespace natalis::calendar_ui
