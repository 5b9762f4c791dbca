// Start-up: the checks that run before any window exists, then the main window.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mirvo {

// Shows a warning box without an owner window (text, caption).
using WarningBox = std::function<void(const std::string& text, const std::string& caption)>;

// Runs the program whose files lie in programDir, with a QApplication already
// made; returns the exit code: 1 when start-up is refused (no data file, or the
// calendar library refuses it), 0 after a normal run.
// `startMember`: the member to show instead of the default one (the
// command line's --member).
int RunProgram(const std::filesystem::path& programDir, const WarningBox& warn,
               const std::optional<std::string>& startMember = std::nullopt);

// The value of the window program's "--member KEY" (or "--member=KEY")
// among its arguments after the program's name; other arguments are left alone.
std::optional<std::string> StartMemberArgument(const std::vector<std::string>& args);

// The warning box the program shows.
void ShowStartupWarning(const std::string& text, const std::string& caption);

} // namespace mirvo
