// The command line of the terminal program mirvo-today.
#pragma once

#include "koyomi/datetime.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mirvo {

struct TodayArgs {
    std::optional<std::string> date;              // --date, as given (read by ParseIsoDate)
    std::optional<std::string> member;            // --member, a name or an index
    std::optional<std::filesystem::path> membersFile;   // --members
    std::optional<std::filesystem::path> settingsFile;  // --settings
    std::optional<int> days;                      // --days, 1..kMaxReportDays
    bool json = false;                            // --json
    std::optional<std::string> month;             // --month [YYYY-MM]: "" for the month of the day
    bool nextGood = false;                        // --next-good
    std::optional<std::string> ics;               // --ics FILE, "-" for the standard output
    bool all = false;                             // --all: every member of the list
    bool notify = false;                          // --notify: a desktop notification instead of text
    std::optional<int> expireSeconds;             // --expire, 1..kMaxExpireSeconds (with --notify)
    std::optional<std::pair<std::string, std::string>> pair;  // --pair A B: two members, names or indices
    bool help = false;                            // --help
};

// Reads the arguments after the program's name. Options take their value as
// the next argument or after "=" ("--date 2024-05-01", "--date=2024-05-01");
// a later option of the same name replaces an earlier one. Throws
// EMirvoError for an unknown option or argument, an option without its value
// or a value given to --json or --help, and a --days value that is not a
// whole number from 1 to kMaxReportDays.
TodayArgs ParseTodayArgs(const std::vector<std::string>& args);

// Reads "yyyy-mm" (four-digit year 0001..9999, two-digit month); throws
// EMirvoError (the month message) for any other text.
std::pair<int, int> ParseYearMonth(const std::string& text);

// Reads "yyyy-mm-dd" (four-digit year, two-digit month and day) as that day
// at 00:00; throws EMirvoError (the date message) for any other text and for
// a day that does not exist.
koyomi::TDateTime ParseIsoDate(const std::string& text);

} // namespace mirvo
