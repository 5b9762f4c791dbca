// The day's reading as terminal text: the main window's figures line by
// line, and a table of several days.
#pragma once

#include "start/todayreport.h"

#include <string>

namespace mirvo {

// The reading of the report's first day: the title (the program's
// description and the member's name, as the main window's title), the day,
// the birth day and the days since it, the sun sign with its symbol and its
// guardian planet, per axis the face, the percent, the
// star total and the rating word, the advice sentence and the 31-day chart
// with the dates of its ends and its middle. With `colour`, ANSI colours:
// the axes' colours for their names and curves, the faces' colours for the
// faces.
std::string ReadingText(const TodayReport& report, bool colour);

// The title, the birth day and the sun sign with its guardian planet, then
// one line per day of the report: the date and, per axis, the face, the
// percent, the star total and the rating word.
std::string TableText(const TodayReport& report, bool colour);

// The main window's title for a member: the description alone for a member
// without a name, else the description and the name in square brackets.
std::string ReportTitle(const TMemberListItem& member);

} // namespace mirvo
