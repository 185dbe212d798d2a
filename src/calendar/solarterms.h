#pragma once

#include <QDate>
#include <QString>

namespace natalis::calendar {

// The 24 solar terms (节气) of the Gregorian years 1901..2100. Each term has a fixed month
// (two a month, 小寒 first) and a day that moves by a few days from year to year.
class SolarTermTable
{
public:
    static constexpr int FirstYear = 1901;
    static constexpr int LastYear = 2100;
    static constexpr int TermsPerYear = 24;

    static bool contains(int year) { return year >= FirstYear && year <= LastYear; }

    // Two-character name of term 0..23 in calendar order: 小寒 大寒 立春 … 大雪 冬至.
    static QString termName(int term);

    // The day of term 0..23 in a year of the table.
    static QDate termDate(int year, int term);

    // The year's 144-character text: 24 entries of month, day (two digits each) and name,
    // e.g. "0106小寒0121大寒0204立春…". Empty outside the table.
    static QString yearText(int year);

    // The name of the term that falls on the date, or an empty text when none does or the
    // date lies outside the table.
    static QString termOn(QDate date);
};

} // namespace natalis::calendar
