// mirvo-today's use of the system's console: its own folder, the console's
// UTF-8 output and whether colours can be shown. Chosen by the build:
// console_posix.cpp or console_win32.cpp.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
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

// Prepares the console for the program's UTF-8 text for as long as it lives
// and puts it back as it was afterwards. On Windows the console's output
// code page becomes UTF-8 (SetConsoleOutputCP(CP_UTF8)) and, where the
// console can, it reads colour escape sequences; elsewhere the terminal
// already takes UTF-8, and a reader that goes away (SIGPIPE) becomes an
// output error instead of ending the program.
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
    unsigned FOldOutputCodePage = 0;  // Windows: the code page to put back; 0 for none
    unsigned long FOldMode = 0;       // Windows: the console mode to put back
    bool FModeChanged = false;
};

} // namespace mirvo
