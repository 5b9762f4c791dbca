#include "runprogram.h"

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace testsupport {

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TProgramRun RunCommand(const std::string& command)
{
    TProgramRun run;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TProgramRun RunMirvoToday(const std::vector<std::string>& args)
{
    std::string command = ShellQuoted((std::filesystem::path(MIRVO_RUNTIME_DIR) / "mirvo-today").string());
    for (const std::string& arg : args)
        command += " " + ShellQuoted(arg);
    return RunCommand(command);
}

} // namespace testsupport
