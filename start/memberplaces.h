// Where the member list is read from at start and where it goes when it
// cannot be written where it belongs. Besides its own file there are at
// most two others: a list left beside the program when the program's
// folder cannot be written (an installed copy, a folder made read-only),
// and the one alternate file the list went to when its own file could not
// be written, which the settings remember. The newest of them is read, and
// the start says which; saves always try the list's own file first. No Qt.
#pragma once

#include "start/programpaths.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mirvo {

struct TMemberFileChoice {
    // The file to read; the list's own file when no other is newer (it
    // need not exist).
    std::filesystem::path readFrom;
    // Another file than the own one was read; the start says so, naming
    // both (the own file may not exist).
    bool other = false;
};

// The newest (by modification time) regular file among the list's own
// file `own` and `others` (the list beside the program, the alternate
// file, the one in the private folder; empty paths are passed over). A
// file that is not a regular file (missing, a FIFO, a folder) is passed
// over; on equal times the own file, then the earlier of `others`, wins.
TMemberFileChoice ChooseMemberFileToRead(const std::filesystem::path& own,
                                         const std::vector<std::filesystem::path>& others);

// The list beside the program when the list's own file lies elsewhere (the
// user's folders); empty when it lies beside the program anyway.
std::filesystem::path MemberFileBesideProgram(const ProgramPaths& paths);

// The places a list that cannot be written to `own` goes to instead, best
// first: the `remembered` alternate when there is one; a free name beside
// `own` ("Mirvo (2).csv"); <dataHome>/TodayMirvo/Mirvo.csv when that is
// another file not there yet; and a free name in `privateFolder` (the user's private runtime or temporary folder; empty:
// none). Only places whose folder can be written (or made) are given.
std::vector<std::filesystem::path> PlacesToSaveInstead(const std::filesystem::path& own,
                                                       const std::filesystem::path& remembered,
                                                       const UserFolders& user,
                                                       const std::filesystem::path& privateFolder);

// Appends `line` and a line end to the log file at `log` (made when
// missing); false when it cannot be written.
bool AppendToLog(const std::filesystem::path& log, const std::string& line);

} // namespace mirvo
