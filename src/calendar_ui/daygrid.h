#pragma once

#include "calendar_ui/cellcolour.h"
#include "calendar_ui/monthgrid.h"

#include <QWidget>
#include <array>

class QFrame;
class QGridLayout;
class QLabel;

namespace natalis::calendar_ui {

// The 6 × 7 day grid of the calendar and the pickers under a weekday header (Sunday first):
// per cell a large label lblGLDay_i, a small label lblNLDay_i and a frame Shape1_i that lights
// up under the mouse. Grid lines in skin item 12.
class DayGrid : public QWidget
{
    Q_OBJECT

public:
    DayGrid(int skin, QWidget *parent = nullptr);

    void setCell(int index, const QString &large, CellColour largeColour, const QString &small,
        CellColour smallColour);
    QString largeText(int index) const;
    QString smallText(int index) const;
    // Lights the frame of one cell (all others plain); -1 lights none.
    void highlight(int index);
    // The cell's rectangle in the coordinates of `widget`.
    QRect cellRect(int index, const QWidget *widget) const;

Q_SIGNALS:
    void cellClicked(int index);
    void cellDoubleClicked(int index);
    // The context menu key or the right button on a day; at is in global coordinates.
    void cellMenuRequested(int index, const QPoint &at);
    void cellHovered(int index);
    void leftGrid();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void addWeekdayHeader(QGridLayout *layout);
    void addCell(QGridLayout *layout, int index);
    void setTextColour(QLabel *label, CellColour colour);

    int m_skin;
    std::array<QFrame *, GridCells> m_frames {};
    std::array<QLabel *, GridCells> m_large {};
    std::array<QLabel *, GridCells> m_small {};
};

} // namespace natalis::calendar_ui
