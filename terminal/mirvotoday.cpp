// mirvo-today: the day's reading of TodayMirvo in a terminal.
#include "terminal/todayprogram.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {

// The folder of this program's own file, links resolved: the program's
// files (Kosmera.dat, the settings, the member list) belong beside it.
std::filesystem::path OwnFolder(const char* argv0)
{
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self.parent_path();
    return std::filesystem::absolute(argv0, ec).parent_path();
}

// Colours only for a terminal, and never when the user asks for none (NO_COLOR).
bool WantsColour()
{
    const char* noColour = std::getenv("NO_COLOR");
    return isatty(STDOUT_FILENO) == 1 && (noColour == nullptr || *noColour == '\0');
}

} // namespace

int main(int argc, char* argv[])
{
    // A reader that goes away (`| head`) is an output error, exit 6, not a
    // silent death by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return mirvo::RunToday(args, OwnFolder(argv[0]), std::cout, std::cerr, WantsColour());
}
