// The report of what a start met in the user's files, kept short enough for
// a message box whatever the files hold: a member file of 200,000 unreadable
// lines must not become a box of 200,000 lines. No Qt.
#pragma once

#include "start/programpaths.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace mirvo {

// At most this many messages are shown, each cut to this many characters.
inline constexpr std::size_t kShownStartMessages = 20;
inline constexpr std::size_t kShownMessageCharacters = 300;

struct TStartReport {
    std::string text;               // the messages to show, one a line
    std::filesystem::path logFile;  // where all of them were written; empty when none was needed or possible
};

// The first kShownStartMessages messages, each cut to
// kShownMessageCharacters characters (whole UTF-8 characters, "…" at the
// cut) and made harmless (HarmlessText); when some were left out or cut, all of them go whole into
// `logFile` (replaced atomically, UTF-8, one a line) and a last line counts
// those left out and names the file. Empty text for no messages.
TStartReport ShortStartReport(const std::vector<std::string>& messages, const std::filesystem::path& logFile);

// Why the settings and the member list are not in the program's folder
// when other users can write it, and where they are instead.
std::string SharedFolderMessage(const ProgramPaths& paths);

// `text` cut to at most `characters` UTF-8 characters, "…" at the cut.
std::string CutText(const std::string& text, std::size_t characters);

} // namespace mirvo
