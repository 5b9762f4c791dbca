// The texts of the about box that are worked out rather than read: the date
// line and the memo. No Qt.
#pragma once

#include <string>
#include <vector>

namespace mirvo {

class TVersion;

// A date as the about box shows it: "%s. %d%s , %d" with the month's
// English abbreviation, the day, its suffix and the year, e.g.
// "Jun. 4th , 1999". The suffix is "st", "nd", "rd" for days 1, 2, 3 and
// "th" for every other day (so the 21st reads "21th"). month 1-12 (another
// value gives "???"), day 1-31, year as it is.
std::string FileDateText(int year, int month, int day);

// The memo of the about box: the description, "Version " and the file
// version, an empty line and the product name in double quotation marks,
// then `fixedLines` (the credits and history, which end with a thank-you line
// and an empty line) with `dateLine` put before their last two lines. With
// fewer than two fixed lines the date line goes first among them.
std::vector<std::string> AboutMemoLines(const TVersion& version, const std::vector<std::string>& fixedLines,
                                        const std::string& dateLine);

} // namespace mirvo
