#include "calendar_ui/pickerdialog.h"

#include "calendar_ui/browsebar.h"
#include "calendar_ui/daygrid.h"
#include "widgets/dialogparts.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace natalis::calendar_ui {

PickerDialog::PickerDialog(int skin, QDate today, QWidget *parent)
    : QDialog(parent), m_today(today), m_bar(new BrowseBar(skin, this)),
      m_grid(new DayGrid(skin, this))
{
    connect(m_bar, &BrowseBar::previousYear, this, &PickerDialog::cmdPrevYear_Click);
    connect(m_bar, &BrowseBar::previousMonth, this, &PickerDialog::cmdPrevMonth_Click);
    connect(m_bar, &BrowseBar::nextMonth, this, &PickerDialog::cmdNextMonth_Click);
    connect(m_bar, &BrowseBar::nextYear, this, &PickerDialog::cmdNextYear_Click);
    connect(m_bar, &BrowseBar::yearChosen, this, [this] { yearChosen(); });
    connect(m_bar, &BrowseBar::monthChosen, this, [this] { monthChosen(); });
    connect(m_grid, &DayGrid::cellClicked, this, &PickerDialog::lblGLDay_Click);
    connect(m_grid, &DayGrid::cellHovered, m_grid,
        [this](int index) { m_grid->highlight(m_cells[index].day > 0 ? index : -1); });
    connect(m_grid, &DayGrid::leftGrid, m_grid, [this] { m_grid->highlight(-1); });
    widgets::nameForReader(
        m_grid, QStringLiteral("日期表"), QStringLiteral("每格是当月的一天,单击一天选定这个日期"));

    auto *buttons = new QDialogButtonBox(this);
    connect(actButton(buttons, QStringLiteral("cmdExit"), widgets::WindowAct::Close),
        &QPushButton::clicked, this, &PickerDialog::cmdExit_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString PickerDialog::largeText(int index) const
{
    return m_grid->largeText(index);
}

QString PickerDialog::smallText(int index) const
{
    return m_grid->smallText(index);
}

void PickerDialog::showCells(const PickerGrid &cells)
{
    m_cells = cells;
    for (int index = 0; index < GridCells; ++index) {
        const PickerCell &cell = cells[index];
        m_grid->setCell(index, cell.largeText, cell.largeColour, cell.smallText, cell.smallColour);
    }
    m_grid->highlight(-1);
}

void PickerDialog::lblGLDay_Click(int index)
{
    if (m_cells[index].day == 0)
        return;
    m_picked = textsOfDay(m_cells[index].day);
    if (m_picked)
        accept();
}

void PickerDialog::cmdExit_Click()
{
    m_picked.reset();
    reject();
}

} // namespace natalis::calendar_ui
