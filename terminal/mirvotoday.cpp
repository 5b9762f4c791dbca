// mirvo-today: the day's reading of TodayMirvo in a terminal.
#include "terminal/console.h"
#include "terminal/todayprogram.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Colours only for a terminal, and never when the user asks for none (NO_COLOR).
bool WantsColour(const mirvo::TConsoleSession& console)
{
    const char* noColour = std::getenv("NO_COLOR");
    return console.ShowsColour() && (noColour == nullptr || *noColour == '\0');
}

} // namespace

int main(int argc, char* argv[])
{
    const mirvo::TConsoleSession console;
    const std::vector<std::string> args = mirvo::ProgramArguments(argc, argv);
    mirvo::TTextOut out(stdout);
    mirvo::TTextOut err(stderr);
    const int code = mirvo::RunToday(args, mirvo::OwnProgramFolder(argv[0]), out, err, WantsColour(console));
    out.Flush();
    return code;
}
