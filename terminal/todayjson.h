// The day's reading as JSON, for other programs. The layout is stable; a
// change that removes or renames a field changes the "format" value. It is
// described in docs/mirvo-today.md.
#pragma once

#include "start/todayreport.h"
#include "terminal/todaypair.h"

#include <string>

namespace mirvo {

inline constexpr const char* kTodayJsonFormat = "mirvo-today/1";

// One JSON object (UTF-8, ended by a line break) with the member, the
// settings the evaluation used and every figure of each day's reading and
// verdict.
std::string ReportJson(const TodayReport& report);

// Two members together (--pair): both members, the settings, the object
// "pair" with the compatibility, and with --next-good the array "days" with
// the day good for both (each member's reading of it) or empty.
std::string PairJson(const TodayPairReport& report);

// "yyyy-mm-dd", the form of the dates in the JSON and of --date.
std::string IsoDate(koyomi::TDateTime value);

} // namespace mirvo
