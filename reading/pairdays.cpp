#include "reading/pairdays.h"

namespace mirvo {

std::vector<PairDay> GoodDaysForBoth(const TMemberDays& first, const TMemberDays& second, koyomi::TDateTime firstDay,
                                     int count, int limit)
{
    std::vector<PairDay> days;
    const koyomi::TDateTime start = koyomi::DateOf(firstDay);
    for (int i = 0; i < count && koyomi::InDateRange(start + i); ++i) {
        if (limit >= 0 && static_cast<int>(days.size()) >= limit)
            break;
        // The second member's day is read only when the first one's is good.
        const DayEvaluation one = first.Day(start + i);
        if (!IsGoodDay(one.evaluation.verdict))
            continue;
        const DayEvaluation two = second.Day(start + i);
        if (IsGoodDay(two.evaluation.verdict))
            days.push_back({one.date, one.evaluation, two.evaluation});
    }
    return days;
}

std::optional<PairDay> NextGoodDayForBoth(const TMemberDays& first, const TMemberDays& second,
                                          koyomi::TDateTime shownDay, int searchDays)
{
    const std::vector<PairDay> days = GoodDaysForBoth(first, second, koyomi::DateOf(shownDay) + 1, searchDays, 1);
    if (days.empty())
        return std::nullopt;
    return days.front();
}

} // namespace mirvo
