#include "calendar_ui/frmwnl.h"

#include "calendar_ui/browsebar.h"
#include "calendar_ui/calendarhost.h"
#include "calendar_ui/daygrid.h"
#include "calendar_ui/monthbrowse.h"
#include "calendar_ui/skinpaint.h"
#include "reminder/remindertexts.h"
#include "widgets/dialogparts.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace natalis::calendar_ui {

namespace {

const QString ProductTitle = QStringLiteral("青萍生日提醒软件v4.0");

QString captionFor(bool plainMode)
{
    return plainMode ? ProductTitle + QStringLiteral("[万年历]") : ProductTitle;
}

} // namespace

frmWNL::frmWNL(CalendarHost &host, bool plainMode, QWidget *parent)
    : QWidget(parent, Qt::Window), m_host(host), m_plainMode(plainMode), m_skin(host.currentSkin()),
      m_birthdays(host.birthdays())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmWNL"));
    setWindowTitle(captionFor(plainMode));
    // A window of its own rather than a dialog: Escape closes it all the same.
    auto *escape = new QAction(this);
    escape->setShortcut(Qt::Key_Escape);
    connect(escape, &QAction::triggered, this, &frmWNL::cmdExit_Click);
    addAction(escape);
    buildControls();
    const QDate today = m_host.now().date();
    FillMonthGrid(today.year(), today.month());
}

void frmWNL::buildControls()
{
    m_lblToday = new QLabel(this);
    m_lblToday->setObjectName(QStringLiteral("lblToday"));
    m_lblToday->setAlignment(Qt::AlignCenter);
    m_lblToday->installEventFilter(this);
    paintCaption(m_lblToday, m_skin);

    m_bar = new BrowseBar(m_skin, this);
    for (int month = 1; month <= 12; ++month)
        m_bar->monthBox()->addItem(QString::number(month));
    connect(m_bar, &BrowseBar::previousYear, this, &frmWNL::cmdPrevYear_Click);
    connect(m_bar, &BrowseBar::previousMonth, this, &frmWNL::cmdPrevMonth_Click);
    connect(m_bar, &BrowseBar::nextMonth, this, &frmWNL::cmdNextMonth_Click);
    connect(m_bar, &BrowseBar::nextYear, this, &frmWNL::cmdNextYear_Click);
    connect(m_bar, &BrowseBar::yearChosen, this, &frmWNL::fillFromCombos);
    connect(m_bar, &BrowseBar::monthChosen, this, &frmWNL::fillFromCombos);

    m_grid = new DayGrid(m_skin, this);
    connect(m_grid, &DayGrid::cellHovered, this, &frmWNL::lblGLDay_MouseMove);
    connect(m_grid, &DayGrid::cellDoubleClicked, this, &frmWNL::lblGLDay_DblClick);
    connect(m_grid, &DayGrid::cellMenuRequested, this, &frmWNL::lblGLDay_Menu);
    connect(m_grid, &DayGrid::leftGrid, this, &frmWNL::hideNotice);
    widgets::nameForReader(m_grid, QStringLiteral("日期表"),
        QStringLiteral("每格是当月的一天:公历日和农历日或节日;指向一天显示当天的节假日和生日,"
                       "双击列出当天的生日提醒"));

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(
        addButton("cmdSetup", QStringLiteral("生日设置(&S)"), &frmWNL::cmdSetup_Click),
        QDialogButtonBox::ActionRole);
    connect(actButton(buttons, QStringLiteral("cmdExit"), widgets::WindowAct::Close),
        &QPushButton::clicked, this, &frmWNL::cmdExit_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblToday);
    layout->addWidget(m_bar);
    layout->addWidget(m_grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Floats over the grid, so it stays out of the layout.
    m_lblNotify = new QLabel(this);
    m_lblNotify->setObjectName(QStringLiteral("lblNotify"));
    m_lblNotify->setMargin(4);
    m_lblNotify->setFrameShape(QFrame::Box);
    m_lblNotify->setAttribute(Qt::WA_TransparentForMouseEvents);
    paintNotice(m_lblNotify, m_skin);
    m_lblNotify->hide();
}

QPushButton *frmWNL::addButton(const char *name, const QString &text, void (frmWNL::*slot)())
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(name));
    connect(button, &QPushButton::clicked, this, slot);
    return button;
}

void frmWNL::FillMonthGrid(int year, int month)
{
    const YearMonth shown = clampToShownRange({ year, month });
    m_year = shown.year;
    m_month = shown.month;
    m_bar->setYear(m_year);
    m_bar->monthBox()->setCurrentIndex(m_month - 1);
    const QDate today = m_host.now().date();
    m_cells = buildMonthGrid(m_year, m_month, today, m_birthdays, m_plainMode);
    m_lblToday->setText(todayHeading(today));
    drawCells();
}

void frmWNL::drawCells()
{
    hideNotice();
    for (int index = 0; index < GridCells; ++index) {
        const MonthCell &cell = m_cells[index];
        m_grid->setCell(index, cell.glText, cell.glColour, cell.nlText, cell.nlColour);
    }
}

void frmWNL::fillFromCombos()
{
    FillMonthGrid(m_bar->year(), m_bar->monthBox()->currentIndex() + 1);
}

QString frmWNL::glDayText(int index) const
{
    return m_grid->largeText(index);
}

QString frmWNL::nlDayText(int index) const
{
    return m_grid->smallText(index);
}

QString frmWNL::todayText() const
{
    return m_lblToday->text();
}

QString frmWNL::noticeShown() const
{
    return m_lblNotify->isHidden() ? QString() : m_lblNotify->text();
}

void frmWNL::cmdPrevYear_Click()
{
    const YearMonth shown = previousYear({ m_year, m_month });
    FillMonthGrid(shown.year, shown.month);
}

void frmWNL::cmdPrevMonth_Click()
{
    const YearMonth shown = previousMonth({ m_year, m_month });
    FillMonthGrid(shown.year, shown.month);
}

void frmWNL::cmdNextMonth_Click()
{
    const YearMonth shown = nextMonth({ m_year, m_month });
    FillMonthGrid(shown.year, shown.month);
}

void frmWNL::cmdNextYear_Click()
{
    const YearMonth shown = nextYear({ m_year, m_month });
    FillMonthGrid(shown.year, shown.month);
}

void frmWNL::cmdSetup_Click()
{
    close();
    m_host.showMainWindow();
}

void frmWNL::cmdExit_Click()
{
    close();
}

void frmWNL::lblGLDay_DblClick(int index)
{
    const MonthCell &cell = m_cells[index];
    if (m_plainMode || !cell.noticeText().contains(QStringLiteral("\r\n")))
        return;
    hideNotice();
    m_host.DisableOther();
    m_host.showDayList(cell.dateText(), cell.listText());
    m_host.EnableOther();
}

void frmWNL::lblGLDay_Menu(int index, const QPoint &at)
{
    const MonthCell &cell = m_cells[index];
    QMenu menu(this);
    QAction *list = menu.addAction(QStringLiteral("当天的生日提醒(&L)…"));
    list->setEnabled(!m_plainMode && cell.noticeText().contains(QStringLiteral("\r\n")));
    connect(list, &QAction::triggered, this, [this, index] { lblGLDay_DblClick(index); });
    menu.exec(at);
}

void frmWNL::lblToday_DblClick()
{
    if (m_plainMode || m_host.todayNotifyText().isEmpty())
        return;
    m_host.DisableOther();
    m_host.showTodayList(m_lblToday->text());
    m_host.EnableOther();
}

void frmWNL::lblGLDay_MouseMove(int index)
{
    if (m_cells[index].day == 0)
        return;
    m_grid->highlight(index);
    // The label shows CR LF line breaks as two; one is enough.
    m_lblNotify->setText(cutNoticeLines(m_cells[index].noticeText())
                             .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_lblNotify->adjustSize();
    placeNotice(index);
    m_lblNotify->raise();
    m_lblNotify->show();
}

void frmWNL::placeNotice(int index)
{
    const QRect cell = m_grid->cellRect(index, this);
    const int notice = m_lblNotify->width();
    // Beside the cell, on its left in the last column or where the right lacks the room.
    const bool onLeft = index % 7 == 6 || cell.right() + 1 + notice > width();
    int x = onLeft ? cell.left() - notice : cell.right() + 1;
    int y = cell.top();
    x = std::clamp(x, 0, std::max(0, width() - m_lblNotify->width()));
    y = std::clamp(y, 0, std::max(0, height() - m_lblNotify->height()));
    m_lblNotify->move(x, y);
}

void frmWNL::hideNotice()
{
    m_lblNotify->hide();
    m_grid->highlight(-1);
}

void frmWNL::onActivated()
{
    m_host.stopMusic();
    setWindowTitle(captionFor(m_plainMode));
    if (!m_plainMode)
        m_lblToday->setToolTip(reminder::CutNotifyText(m_host.todayNotifyText(), false, true));
    fillFromCombos();
}

void frmWNL::birthdaysChanged()
{
    m_birthdays = MonthBirthdayIndex(m_host.birthdays());
    fillFromCombos();
}

bool frmWNL::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        onActivated();
    return QWidget::event(event);
}

bool frmWNL::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lblToday && event->type() == QEvent::MouseButtonDblClick)
        lblToday_DblClick();
    return QWidget::eventFilter(watched, event);
}

} // namespace natalis::calendar_ui
