// Every member of the list at a glance: one line per member for one day, in
// columns that fit the terminal, or the readings as one JSON array.
#pragma once

#include "base/messages.h"
#include "start/todayreport.h"

#include <string>
#include <vector>

namespace mirvo {

constexpr int kMinNameColumns = 8;        // a name column narrower than this is never made
constexpr int kDefaultTerminalWidth = 80;

// The readings of every member of `members` for `day`, the first member first.
std::vector<TodayReport> AllMembersReports(const TMemberList& members, const EvalSettings& settings,
                                           koyomi::TDateTime day);

// The title line (the program's description and the day), a head line and one
// line per report: the name, per axis the face, the percent and the rating
// word, then the three star totals. Columns are measured in terminal columns
// (full-width characters count two) and kept within `width`: first the name
// column narrows (names too long end in "…"), then the gaps, then the
// rating words are left out; a width too narrow even for that is exceeded.
std::string AllMembersText(const std::vector<TodayReport>& reports, koyomi::TDateTime day, int width, bool colour);

// The readings as a JSON array whose elements are ReportJson's objects.
std::string AllMembersJson(const std::vector<TodayReport>& reports);

// `text` cut to at most `width` terminal columns: a text that is wider loses
// characters from its end and ends in "…" instead. Never splits a character.
std::string CutToWidth(const std::string& text, int width);

// The width of the terminal that the standard output is: COLUMNS when it
// holds a whole number above zero, else the terminal's own size, else 80.
int TerminalWidth();

} // namespace mirvo
