// The readings of a run of consecutive days of one member: the month
// calendar, the search for a good day and the calendar files. The member's
// birth positions are computed once for the run and each day's ten positions
// once for the three axes; every day's reading is exactly Evaluate's.
#pragma once

#include "koyomi/datetime.h"
#include "reading/verdict.h"

#include <vector>

namespace mirvo {

struct DayEvaluation {
    koyomi::TDateTime date = 0;  // midnight of the day
    Evaluation evaluation;
};

// A member's birthday with the birth positions worked out: evaluates any day
// of that member.
class TMemberDays final {
public:
    TMemberDays(koyomi::TDateTime birthday, const EvalSettings& settings);

    // The reading of the day holding `day` (only its date part counts).
    DayEvaluation Day(koyomi::TDateTime day) const;
    // `count` consecutive days from the day holding `firstDay`; days past
    // 9999-12-31 are left out.
    std::vector<DayEvaluation> Days(koyomi::TDateTime firstDay, int count) const;

    koyomi::TDateTime Birthday() const { return FBirthday; }
    const EvalSettings& Settings() const { return FSettings; }
    // Noon positions of the Sun, Moon and Mercury on the birth date.
    const NatalPositions& Natal() const { return FNatal; }

private:
    koyomi::TDateTime FBirthday;
    EvalSettings FSettings;
    NatalPositions FNatal;
};

// Whether a day counts as a good one: every axis rated "良い" or "大変良い"
// and no axis showing the critical face.
bool IsGoodDay(const TDayVerdict& verdict);
// Whether any axis shows the critical face.
bool IsCriticalDay(const TDayVerdict& verdict);

} // namespace mirvo
