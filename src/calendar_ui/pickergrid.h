#pragma once

#include "calendar_ui/cellcolour.h"
#include "calendar_ui/monthgrid.h"

#include <QDate>
#include <QString>
#include <array>
#include <optional>

namespace natalis::calendar_ui {

// One cell of a date picker's grid; day 0 (and empty texts) outside the month.
struct PickerCell
{
    int day = 0; // Gregorian day in the Gregorian picker, lunar day in the lunar picker
    QString largeText;
    QString smallText;
    CellColour largeColour = CellColour::Day;
    CellColour smallColour = CellColour::OutsideMonth;
};

using PickerGrid = std::array<PickerCell, GridCells>;

// A Gregorian month of March 1901 … December 2100: the day number, under it the first festival,
// the solar term, the lunar month note or the lunar day name. Empty cells for another month.
PickerGrid buildGregorianPickerGrid(int year, int month, QDate today);

// A lunar month given by year and month text (" 07", "闰07"): the picker's lunar day name, under
// it "N月" on the first day of a Gregorian month, else the first festival, else the Gregorian day.
// Empty cells for a month the year lacks.
PickerGrid buildLunarPickerGrid(int lunarYear, const QString &monthText, QDate today);

// Both texts of a picked day.
struct PickedTexts
{
    QString gregorian; // 公历YYYY年 MM月DD日
    QString lunar; // 农历YYYY年 MM月DD日
};

// nullopt for a day outside the range the pickers offer.
std::optional<PickedTexts> pickGregorianDay(int year, int month, int day);
std::optional<PickedTexts> pickLunarDay(int lunarYear, const QString &monthText, int day);

} // namespace natalis::calendar_ui
