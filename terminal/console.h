// mirvo-today's use of the system's console: its own folder, the console's
// UTF-8 output and whether colours can be shown. Chosen by the build:
// console_posix.cpp or console_win32.cpp.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirvo {

// The folder of this program's own file, links resolved (/proc/self/exe on
// Linux, GetModuleFileNameW on Windows); `argv0` made absolute when the
// system does not say.
std::filesystem::path OwnProgramFolder(const char* argv0);

// The program's arguments, without its own name, as UTF-8 text. On Windows
// they come from the command line in UTF-16 (CommandLineToArgvW): `argv` has
// them in the ANSI code page, which loses every character it lacks.
std::vector<std::string> ProgramArguments(int argc, char* argv[]);

// The width in columns of the terminal or console window the standard output
// shows in; nullopt when it goes elsewhere (a file, a pipe).
std::optional<int> ConsoleColumns();

// Whether `file` shows in a console window whose text WriteToConsole writes
// (Windows); false for a file, a pipe, and on systems whose terminals take
// UTF-8 bytes as they are.
bool IsConsoleWindow(std::FILE* file);

// Writes UTF-8 text to the console window that `file` shows in, as the
// console's own UTF-16 text (WriteConsoleW), so that it shows whatever the
// console's code page; false when it could not be written.
bool WriteToConsole(std::FILE* file, std::string_view utf8);

// The console as the program finds it, for as long as it runs. On Windows
// the text goes to a console as UTF-16 (WriteToConsole), whatever its code
// page, and colour escape sequences only where the console already reads
// them (virtual terminal processing on); nothing of the console is changed.
// Elsewhere the terminal takes UTF-8, and a reader that goes away (SIGPIPE)
// becomes an output error instead of ending the program.
class TConsoleSession {
public:
    TConsoleSession();
    ~TConsoleSession();
    TConsoleSession(const TConsoleSession&) = delete;
    TConsoleSession& operator=(const TConsoleSession&) = delete;

    // Whether the standard output is a terminal that shows colour escape sequences.
    bool ShowsColour() const { return FShowsColour; }

private:
    bool FShowsColour = false;
};

} // namespace mirvo
