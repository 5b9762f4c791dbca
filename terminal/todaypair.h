// mirvo-today --pair: two members together, their compatibility and, with
// --next-good, the next day good for both; as text or JSON.
#pragma once

#include "reading/compatibility.h"
#include "reading/pairdays.h"
#include "start/todayreport.h"
#include "terminal/todayargs.h"

#include <array>
#include <optional>
#include <string>

namespace mirvo {

struct TodayPairReport {
    std::array<TodayMember, 2> members;  // the first as given first
    std::array<TSunSign, 2> signs;
    EvalSettings settings;
    TPairCompatibility pair;
    bool nextGood = false;               // --next-good: the next day good for both was looked for
    std::optional<PairDay> goodDay;      // ... and found
};

// The pair's report; with args.nextGood the first day after `day` good for
// both (searched kGoodDaySearchDays days ahead).
TodayPairReport MakePairReport(const TodayArgs& args, const TodayMember& first, const TodayMember& second,
                               const EvalSettings& settings, koyomi::TDateTime day);

// The pair as text: the title with both names, the days between the birth
// days, per axis the biorhythm compatibility, the star score and the rating
// word, then the overall figures, the strongest aspect per axis and the
// sentence. With --next-good the date good for both and both readings of
// that day follow (or the message that there is none).
std::string PairText(const TodayPairReport& report, bool colour);

// A member's name as the pair's texts show it: "(名前なし)" for none.
std::string PairName(const TMemberListItem& member);

} // namespace mirvo
