// Days good for both of two members: the days on which both readings are
// good (IsGoodDay), from the members' day series, each member's birth
// positions worked out once.
#pragma once

#include "reading/dayseries.h"
#include "reading/monthgrid.h"

#include <optional>
#include <vector>

namespace mirvo {

// One day good for both, with both readings.
struct PairDay {
    koyomi::TDateTime date = 0;  // midnight of the day
    Evaluation first;
    Evaluation second;
};

// The days good for both among `count` consecutive days from the day holding
// `firstDay`, at most `limit` of them, earliest first; days past 9999-12-31
// are left out.
std::vector<PairDay> GoodDaysForBoth(const TMemberDays& first, const TMemberDays& second, koyomi::TDateTime firstDay,
                                     int count, int limit = -1);

// The first day after `shownDay`, at most `searchDays` days later and not
// past 9999-12-31, that is good for both; nothing when there is none.
std::optional<PairDay> NextGoodDayForBoth(const TMemberDays& first, const TMemberDays& second,
                                          koyomi::TDateTime shownDay, int searchDays = kGoodDaySearchDays);

} // namespace mirvo
