// The terminal program mirvo-today: the reading of the main window for a
// member and a day, as text, as a table of days or as JSON, from the same
// member file, settings file and data file as the program.
#pragma once

#include "terminal/textout.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mirvo {

// Exit codes of mirvo-today.
enum TodayExit {
    teOk = 0,
    teDataFile = 1,       // Kosmera.dat missing or refused by the calendar library
    teUsage = 2,          // an unknown option, a missing value, a bad --days
    teBadDate = 3,        // a --date that is no day, or a table past 9999-12-31
    teUnknownMember = 4,  // --member names no member of the list
    teFile = 5,           // a member or settings file named on the command line is missing or unreadable
                          // (a member file with a bad line is read up to that line, with a warning)
    teOutput = 6,         // the output could not be written
    teFailure = 7,        // any other failure (out of memory and the like)
    teNotification = 8,   // --notify: no session bus, or no notification service on it
};

// Runs mirvo-today with the arguments after its name. `programFolder` is the
// folder of the program's files (the one mirvo-today lies in). The reading
// goes to `out`, messages to `err`; `colour` asks for ANSI colours. Returns
// the exit code.
int RunToday(const std::vector<std::string>& args, const std::filesystem::path& programFolder, TTextOut& out,
             TTextOut& err, bool colour);

} // namespace mirvo
