#include "terminal/console.h"

#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace mirvo {

std::filesystem::path OwnProgramFolder(const char* argv0)
{
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self.parent_path();
    return std::filesystem::absolute(argv0, ec).parent_path();
}

std::vector<std::string> ProgramArguments(int argc, char* argv[])
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::optional<int> ConsoleColumns()
{
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return std::nullopt;
}

// Terminals here take the UTF-8 bytes as they are.
bool IsConsoleWindow(std::FILE*)
{
    return false;
}

bool WriteToConsole(std::FILE* file, std::string_view utf8)
{
    return std::fwrite(utf8.data(), 1, utf8.size(), file) == utf8.size();
}

TConsoleSession::TConsoleSession() : FShowsColour(isatty(STDOUT_FILENO) == 1)
{
    // A reader that goes away (`| head`) is an output error, exit 6, not a
    // silent death by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
}

TConsoleSession::~TConsoleSession() = default;

} // namespace mirvo
