// mirvo-today's calendar outputs: the month (--month), the next good day
// (--next-good) and calendar files (--ics), from the same core as the month
// window.
#pragma once

#include "start/todayreport.h"
#include "terminal/todayargs.h"

#include <filesystem>
#include <optional>
#include <string>

namespace mirvo {

constexpr int kIcsDefaultDays = 31;  // days of a calendar file without --days

// Whether the arguments ask for one of the calendar outputs.
bool WantsCalendar(const TodayArgs& args);

struct CalendarOutput {
    std::string text;                          // what to write
    std::optional<std::filesystem::path> file; // where; nothing for the standard output
};

// The output for --month, --next-good or --ics, for the member and the
// settings, around `day` (the --date or today); `now` marks today in the
// month. Throws EMirvoError for a month that is not one (--month 2024-13)
// and for days past 9999-12-31.
CalendarOutput MakeCalendarOutput(const TodayArgs& args, const TodayMember& member, const EvalSettings& settings,
                                  koyomi::TDateTime day, koyomi::TDateTime now, bool colour);

} // namespace mirvo
