#include "calendar_ui/daygrid.h"

#include "calendar/calendarnames.h"
#include "calendar_ui/skinpaint.h"
#include "widgets/skincolors.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace natalis::calendar_ui {

namespace {

constexpr int Columns = 7;
constexpr int GridLineItem = 12;
constexpr int HighlightItem = 9;
constexpr int CellWidth = 64;
constexpr int CellHeight = 46;
const char *const CellProperty = "cellIndex";

QLabel *newCellLabel(const QString &name, int index, int pointSize, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name + QString::number(index));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(pointSize);
    label->setFont(font);
    label->setProperty(CellProperty, index);
    return label;
}

} // namespace

DayGrid::DayGrid(int skin, QWidget *parent) : QWidget(parent), m_skin(skin)
{
    paintBackground(this, skin, GridLineItem);
    auto *layout = new QGridLayout(this);
    layout->setSpacing(1);
    layout->setContentsMargins(1, 1, 1, 1);
    addWeekdayHeader(layout);
    for (int index = 0; index < GridCells; ++index)
        addCell(layout, index);
    highlight(-1);
}

void DayGrid::addWeekdayHeader(QGridLayout *layout)
{
    for (int column = 0; column < Columns; ++column) {
        // The last character of 星期日 … 星期六.
        auto *header = new QLabel(calendar::weekdayName(column + 1).right(1), this);
        header->setObjectName(QStringLiteral("Label1_") + QString::number(column));
        header->setAlignment(Qt::AlignCenter);
        header->setMinimumHeight(22);
        paintWeekdayHeader(header, m_skin);
        layout->addWidget(header, 0, column);
    }
}

void DayGrid::addCell(QGridLayout *layout, int index)
{
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Shape1_") + QString::number(index));
    frame->setProperty(CellProperty, index);
    frame->setFixedSize(CellWidth, CellHeight);
    auto *column = new QVBoxLayout(frame);
    column->setContentsMargins(1, 2, 1, 2);
    column->setSpacing(0);
    m_large[index] = newCellLabel(QStringLiteral("lblGLDay_"), index, 14, frame);
    m_small[index] = newCellLabel(QStringLiteral("lblNLDay_"), index, 9, frame);
    column->addWidget(m_large[index]);
    column->addWidget(m_small[index]);
    for (QWidget *watched : { static_cast<QWidget *>(frame), static_cast<QWidget *>(m_large[index]),
             static_cast<QWidget *>(m_small[index]) })
        watched->installEventFilter(this);
    m_frames[index] = frame;
    layout->addWidget(frame, 1 + index / Columns, index % Columns);
}

void DayGrid::setTextColour(QLabel *label, CellColour colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, cellColor(colour, m_skin));
    label->setPalette(palette);
}

void DayGrid::setCell(int index, const QString &large, CellColour largeColour, const QString &small,
    CellColour smallColour)
{
    m_large[index]->setText(large);
    m_small[index]->setText(small);
    setTextColour(m_large[index], largeColour);
    setTextColour(m_small[index], smallColour);
}

QString DayGrid::largeText(int index) const
{
    return m_large[index]->text();
}

QString DayGrid::smallText(int index) const
{
    return m_small[index]->text();
}

void DayGrid::highlight(int index)
{
    const QColor plain = palette().color(QPalette::Base);
    const QColor lit = widgets::skinColor(m_skin, HighlightItem);
    for (int cell = 0; cell < GridCells; ++cell) {
        QPalette framePalette = m_frames[cell]->palette();
        framePalette.setColor(QPalette::Window, cell == index ? lit : plain);
        m_frames[cell]->setPalette(framePalette);
        m_frames[cell]->setAutoFillBackground(true);
    }
}

QRect DayGrid::cellRect(int index, const QWidget *widget) const
{
    const QFrame *frame = m_frames[index];
    return QRect(frame->mapTo(widget, QPoint(0, 0)), frame->size());
}

bool DayGrid::eventFilter(QObject *watched, QEvent *event)
{
    const QVariant cell = watched->property(CellProperty);
    if (!cell.isValid())
        return QWidget::eventFilter(watched, event);
    const int index = cell.toInt();
    switch (event->type()) {
    case QEvent::Enter:
        Q_EMIT cellHovered(index);
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            Q_EMIT cellClicked(index);
            return true; // once, not again for the frame
        }
        break;
    case QEvent::ContextMenu:
        Q_EMIT cellMenuRequested(index, static_cast<QContextMenuEvent *>(event)->globalPos());
        return true; // as the double click: once, not again for the frame
    case QEvent::MouseButtonDblClick:
        Q_EMIT cellDoubleClicked(index);
        // Taken here: a label passes what it does not use on to its frame, which would open
        // the day's list a second time.
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void DayGrid::leaveEvent(QEvent *event)
{
    Q_EMIT leftGrid();
    QWidget::leaveEvent(event);
}

} // namespace natalis::calendar_ui
