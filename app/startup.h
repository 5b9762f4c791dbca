// Start-up: the checks that run before any window exists, then the main window.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace mirvo {

// Shows a warning box without an owner window (text, caption).
using WarningBox = std::function<void(const std::string& text, const std::string& caption)>;

// Runs the program whose files lie in programDir, with a QApplication already
// made; returns the exit code: 1 when start-up is refused (no data file, or the
// calendar library refuses it), 0 after a normal run.
int RunProgram(const std::filesystem::path& programDir, const WarningBox& warn);

// The warning box the program shows.
void ShowStartupWarning(const std::string& text, const std::string& caption);

} // namespace mirvo
