#include "reading/monthgrid.h"

#include <algorithm>

namespace mirvo {

namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;
constexpr int kMonthsInYear = 12;
// 1899-12-30, day 0 of the date-time value, was a Saturday.
constexpr int kDayZeroWeekday = 6;

} // namespace

int DayOfWeek(koyomi::TDateTime day)
{
    const auto n = static_cast<long long>(koyomi::DateOf(day));
    return static_cast<int>(((n + kDayZeroWeekday) % kWeekDays + kWeekDays) % kWeekDays);
}

int MonthGrid::CellOf(koyomi::TDateTime day) const
{
    const double offset = koyomi::DateOf(day) - cells.front().date;
    if (offset < 0 || offset >= kMonthGridCells)
        return -1;
    return static_cast<int>(offset);
}

MonthGrid MakeMonthGrid(const TMemberDays& member, int year, int month)
{
    MonthGrid grid;
    grid.year = year;
    grid.month = month;
    const koyomi::TDateTime first = koyomi::EncodeDate(year, month, 1);
    const koyomi::TDateTime start = first - DayOfWeek(first);
    const int lead = DayOfWeek(first);
    const int length = koyomi::DaysInMonth(year, month);
    grid.weeks = (lead + length + kWeekDays - 1) / kWeekDays;
    for (int i = 0; i < kMonthGridCells; ++i) {
        MonthCell& cell = grid.cells[i];
        cell.date = start + i;
        cell.inMonth = i >= lead && i < lead + length;
        cell.inRange = koyomi::InDateRange(cell.date);
        if (cell.inRange) {
            cell.evaluation = member.Day(cell.date).evaluation;
            const koyomi::DateParts d = koyomi::DecodeDate(cell.date);
            cell.holiday = koyomi::JapaneseHoliday(d.year, d.month, d.day);
        }
    }
    return grid;
}

void StepMonth(int& year, int& month, int delta)
{
    long long index = static_cast<long long>(year) * kMonthsInYear + (month - 1) + delta;
    index = std::clamp<long long>(index, static_cast<long long>(kFirstYear) * kMonthsInYear,
                                  static_cast<long long>(kLastYear) * kMonthsInYear + kMonthsInYear - 1);
    year = static_cast<int>(index / kMonthsInYear);
    month = static_cast<int>(index % kMonthsInYear) + 1;
}

std::optional<DayEvaluation> NextGoodDay(const TMemberDays& member, koyomi::TDateTime shownDay, int searchDays)
{
    const koyomi::TDateTime shown = koyomi::DateOf(shownDay);
    for (int i = 1; i <= searchDays && koyomi::InDateRange(shown + i); ++i) {
        DayEvaluation day = member.Day(shown + i);
        if (IsGoodDay(day.evaluation.verdict))
            return day;
    }
    return std::nullopt;
}

} // namespace mirvo
