#pragma once

#include <QColor>

namespace natalis::calendar_ui {

// The colour roles of the day labels; the skin decides the actual colours.
enum class CellColour {
    Day, // a Gregorian day number: "330000"
    Today, // today's day number: skin item 7
    Marked, // a birthday or festival: skin item 6
    Term, // a solar term: skin item 5
    Quiet, // month note, lunar day name, Gregorian day in the lunar picker: "666666"
    OutsideMonth, // lunar labels of the cells before and after the month: skin item 3
};

QColor cellColor(CellColour role, int skin);

} // namespace natalis::calendar_ui
