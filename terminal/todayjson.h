// The day's reading as JSON, for other programs. The layout is stable; a
// change that removes or renames a field changes the "format" value. It is
// described in docs/mirvo-today.md.
#pragma once

#include "app/start/todayreport.h"

#include <string>

namespace mirvo {

inline constexpr const char* kTodayJsonFormat = "mirvo-today/1";

// One JSON object (UTF-8, ended by a line break) with the member, the
// settings the evaluation used and every figure of each day's reading and
// verdict.
std::string ReportJson(const TodayReport& report);

// "yyyy-mm-dd", the form of the dates in the JSON and of --date.
std::string IsoDate(koyomi::TDateTime value);

} // namespace mirvo
