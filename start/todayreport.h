// The day's reading outside the main window: one member and one or more
// days, computed by the same evaluation, with the same choice of member and
// the same settings as the main window. No Qt.
#pragma once

#include "base/messages.h"
#include "koyomi/datetime.h"
#include "members/memberlist.h"
#include "members/options.h"
#include "reading/dayseries.h"
#include "reading/memberfacts.h"
#include "reading/verdict.h"
#include "start/programstart.h"

#include <string>
#include <vector>

namespace mirvo {

constexpr int kMaxReportDays = 1000;   // longest table of days

// One day of the report: midnight of the day and its reading.
using TodayDay = DayEvaluation;

struct TodayReport {
    TodayMember member;
    TSunSign sign;  // the member's sun sign and its guardian planet
    EvalSettings settings;
    std::vector<TodayDay> days;  // consecutive days, the first one first
};

// The readings of `dayCount` (1..kMaxReportDays) consecutive days from
// `firstDay`, on the member's day series (birth positions worked out once).
// Throws EMirvoError when a day would lie past 9999-12-31.
TodayReport MakeReport(const TodayMember& member, const EvalSettings& settings, koyomi::TDateTime firstDay,
                       int dayCount);

// The text of a string-table entry with "%s" replaced by `argument`.
std::string Message(int id, const std::string& argument);

} // namespace mirvo
