// The month calendar in a terminal: weeks from Sunday, seven columns of 11
// (77 in all, within 80), two lines per week: the day number with the marks
// of today ("*") and of a critical day ("!") and the three faces, then the
// rating of each axis as a digit from 5 (大変良い) to 1 (頑張れ); a legend
// below. With colour, the faces in their colours, the digits in the axes'
// colours, Sundays red and Saturdays blue.
#pragma once

#include "members/memberlist.h"
#include "reading/monthgrid.h"

#include <string>

namespace mirvo {

constexpr int kMonthTextCellWidth = 11;

std::string MonthText(const TMemberListItem& member, const MonthGrid& grid, koyomi::TDateTime today, bool colour);

} // namespace mirvo
