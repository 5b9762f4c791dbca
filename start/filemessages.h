// What happened to the user's files, in the program's words: the lines of a
// member file that were not read, a member file in another encoding, the
// copies kept when a member file is saved, and a settings file that could
// not be read whole. Both front ends show these texts (the window in a box,
// mirvo-today on its standard error). No Qt.
#pragma once

#include "members/memberlist.h"
#include "members/options.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mirvo {

// Whether the program that read the file may save the list back to it.
enum TMemberFileUse {
    fmWillSave,   // the window program: it saves the list at exit
    fmReadOnly,   // mirvo-today: it writes nothing
};

// One message per line that gave no member, or not the member it holds, in
// line order, each naming the file and the line (a header line is noted as
// one). For fmWillSave also one for a file not in Shift-JIS and, for a file
// read incompletely, one that says the original will be kept among the
// copies when the list is saved. Empty for a file read completely.
std::vector<std::string> MemberFileMessages(const std::filesystem::path& file, const TMemberFileReport& report,
                                            TMemberFileUse use = fmWillSave);

// The copies a save made: the original kept beside the file, the list
// written beside a file that someone else changed.
// Empty when the list simply replaced the file.
std::vector<std::string> MemberSaveMessages(const std::filesystem::path& file, const TMemberSaveReport& report);

// A settings file that could not be read (then the defaults count), that
// was read only up to the size limit, that holds lines too long to read or
// weights out of range.
std::vector<std::string> SettingsReadMessages(const std::filesystem::path& file, const TSettingsReadReport& report);

// The messages as one text, one a line.
std::string JoinLines(const std::vector<std::string>& lines);

} // namespace mirvo
