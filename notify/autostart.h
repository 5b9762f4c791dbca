// The login notification: an XDG autostart entry
// ($XDG_CONFIG_HOME/autostart/<id>-notify.desktop) whose command runs
// "mirvo-today --notify" for the default member when the user logs in.
// Whether the setting is on is whether the file exists, so a file deleted by
// hand reads as off. No Qt.
#pragma once

#include "base/messages.h"
#include "start/programpaths.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mirvo {

// The entry's file in the user's autostart folder (<configHome>/autostart).
std::filesystem::path AutostartFile(const UserFolders& user);

// One argument of a desktop entry's Exec line: as it is when it holds only
// plain characters, else in double quotes with ", `, $ and \ escaped by a
// backslash. A percent sign is doubled (a single one would be a field code).
std::string ExecArgument(const std::string& argument);

// The Exec value for a command and its arguments, written as the desktop
// entry's string value (every backslash doubled once more).
std::string ExecLine(const std::vector<std::string>& command);

// The command that shows the day's notification: mirvo-today beside the
// window program, named by its absolute path, or by its name alone when the
// program found under that name on `searchPath` (a PATH value) is the same
// file, as for an installed program.
std::vector<std::string> NotifyCommand(const ProgramPaths& paths, const std::string& searchPath);
// The same with the environment's PATH.
std::vector<std::string> NotifyCommand(const ProgramPaths& paths);

// The text of the autostart entry that runs `command`.
std::string AutostartEntryText(const std::vector<std::string>& command);

// Whether the login notification is on: whether its entry exists.
bool AutostartOn(const std::filesystem::path& file);

// Writes the entry (making the autostart folder when needed), replacing the
// file atomically; throws EMirvoError (kMsgAutostartNotWritten) when it cannot be written.
void WriteAutostart(const std::filesystem::path& file, const std::vector<std::string>& command);

// Removes the entry; a missing file is no error. Throws EMirvoError (kMsgAutostartNotRemoved)
// when it cannot be removed.
void RemoveAutostart(const std::filesystem::path& file);

} // namespace mirvo
