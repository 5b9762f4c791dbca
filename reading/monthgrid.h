// The month calendar: the weeks of one month, Sunday first, each day with
// its reading. No Qt: the month window and mirvo-today --month show it.
#pragma once

#include "koyomi/holidays.h"
#include "reading/dayseries.h"

#include <array>
#include <optional>

namespace mirvo {

constexpr int kWeekDays = 7;
constexpr int kMonthGridWeeks = 6;                         // the most weeks a month touches
constexpr int kMonthGridCells = kWeekDays * kMonthGridWeeks;  // 42
constexpr int kGoodDaySearchDays = 366;                    // how far the next good day is looked for

struct MonthCell {
    koyomi::TDateTime date = 0;  // midnight of the day
    bool inMonth = false;        // the day belongs to the grid's month
    bool inRange = false;        // the day lies in 0001-01-01..9999-12-31 and has a reading
    Evaluation evaluation;       // the day's reading (when inRange)
    koyomi::THoliday holiday = koyomi::hoNone;  // the day's Japanese national holiday, if any
};

struct MonthGrid {
    int year = 0;                // 1..9999
    int month = 0;               // 1..12
    int weeks = 0;               // rows holding days of the month: 4, 5 or 6
    std::array<MonthCell, kMonthGridCells> cells{};  // row by row from the Sunday on or before the 1st

    // Cell of the day holding `day`, or -1 when the grid does not show it.
    int CellOf(koyomi::TDateTime day) const;
};

// Day of the week of a day: 0 Sunday .. 6 Saturday.
int DayOfWeek(koyomi::TDateTime day);

// The grid of `year`-`month` (1..9999, 1..12) for a member; every day of its
// six weeks is evaluated, the days of the neighbouring months too. Throws
// EMirvoError for a month outside the calendar.
MonthGrid MakeMonthGrid(const TMemberDays& member, int year, int month);

// The month `delta` months after year-month, kept within 0001-01..9999-12.
void StepMonth(int& year, int& month, int delta);

// The first day after `shownDay`, at most kGoodDaySearchDays days later and
// not past 9999-12-31, that IsGoodDay; nothing when there is none.
std::optional<DayEvaluation> NextGoodDay(const TMemberDays& member, koyomi::TDateTime shownDay,
                                         int searchDays = kGoodDaySearchDays);

} // namespace mirvo
