#include "reading/dayseries.h"

namespace mirvo {

TMemberDays::TMemberDays(koyomi::TDateTime birthday, const EvalSettings& settings)
    : FBirthday(birthday), FSettings(settings), FNatal(BirthPositions(birthday))
{
}

DayEvaluation TMemberDays::Day(koyomi::TDateTime day) const
{
    DayEvaluation d;
    d.date = koyomi::DateOf(day);
    d.evaluation = Evaluate(FNatal, FBirthday, d.date, FSettings);
    return d;
}

std::vector<DayEvaluation> TMemberDays::Days(koyomi::TDateTime firstDay, int count) const
{
    std::vector<DayEvaluation> days;
    const koyomi::TDateTime first = koyomi::DateOf(firstDay);
    for (int i = 0; i < count && koyomi::InDateRange(first + i); ++i)
        days.push_back(Day(first + i));
    return days;
}

bool IsGoodDay(const TDayVerdict& verdict)
{
    for (const AxisVerdict& axis : verdict.axes) {
        const bool good = axis.rating == TRatingLevel::VeryGood || axis.rating == TRatingLevel::Good;
        if (!good || axis.face == TFace::Critical)
            return false;
    }
    return true;
}

bool IsCriticalDay(const TDayVerdict& verdict)
{
    for (const AxisVerdict& axis : verdict.axes)
        if (axis.face == TFace::Critical)
            return true;
    return false;
}

} // namespace mirvo
