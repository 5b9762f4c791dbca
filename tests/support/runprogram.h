// Running a program of the build as a user's shell would, for the tests
// that compare its output (POSIX only).
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct TProgramRun {
    int exitCode = -1;   // -1 when it could not be started or did not end normally
    std::string out;     // what it wrote to its standard output
};

// `text` as one word of a POSIX shell.
std::string ShellQuoted(const std::string& text);

// Runs `command` through the shell; its standard error is thrown away.
TProgramRun RunCommand(const std::string& command);

// Runs mirvo-today of the build with `args`.
TProgramRun RunMirvoToday(const std::vector<std::string>& args);

} // namespace testsupport
