#include "notify/autostart.h"

#include "base/error.h"
#include "base/stringtable.h"
#include "base/wholefile.h"
#include "notify/desktopid.h"
#include "version/appinfo.h"

#include <string_view>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace mirvo {

namespace {

constexpr const char* kAutostartFolder = "autostart";
constexpr const char* kNotifyProgram = "mirvo-today";
constexpr const char* kNotifyOption = "--notify";
// Characters the desktop entry format reserves in Exec: an argument holding
// one of them is quoted.
constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
// Characters that keep their meaning inside double quotes: escaped there.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

std::string AutostartFileName()
{
    return std::string(kDesktopEntryId) + "-notify.desktop";
}

// A desktop entry's string value: backslash, line break, tab and carriage
// return as escape sequences, so the value stays on its line.
std::string StringValue(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
    return out;
}

bool IsExecutableFile(const std::filesystem::path& p)
{
    std::error_code ec;
#ifdef _WIN32
    // Windows has no execute bit: a program is a file that is there.
    return std::filesystem::is_regular_file(p, ec);
#else
    return std::filesystem::is_regular_file(p, ec) && access(p.c_str(), X_OK) == 0;
#endif
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

} // namespace

std::filesystem::path AutostartFile(const UserFolders& user)
{
    return user.configHome / kAutostartFolder / AutostartFileName();
}

std::string ExecArgument(const std::string& argument)
{
    std::string escaped;
    for (const char c : argument) {
        if (c == '%')
            escaped += "%%";
        else
            escaped += c;
    }
    if (!argument.empty() && argument.find_first_of(kReservedInExec) == std::string::npos)
        return escaped;
    std::string quoted = "\"";
    for (const char c : escaped) {
        if (kEscapedInQuotes.find(c) != std::string_view::npos)
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string ExecLine(const std::vector<std::string>& command)
{
    std::string line;
    for (const std::string& argument : command) {
        if (!line.empty())
            line += ' ';
        line += ExecArgument(argument);
    }
    return StringValue(line);
}

std::vector<std::string> NotifyCommand(const ProgramPaths& paths, const std::string& searchPath)
{
    const std::filesystem::path own = paths.ProgramFolder() / kNotifyProgram;
    // The first executable of that name on the PATH is what a bare name runs.
    std::string_view rest = searchPath;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (folder.empty() || folder.front() != '/')
            continue;  // a relative entry depends on the folder the session starts in
        const std::filesystem::path candidate = std::filesystem::path(folder) / kNotifyProgram;
        if (!IsExecutableFile(candidate))
            continue;
        if (SameFile(candidate, own))
            return {kNotifyProgram, kNotifyOption};
        break;
    }
    return {std::filesystem::absolute(own).lexically_normal().string(), kNotifyOption};
}

std::vector<std::string> NotifyCommand(const ProgramPaths& paths)
{
    const char* path = std::getenv("PATH");
    return NotifyCommand(paths, path ? path : "");
}

std::string AutostartEntryText(const std::vector<std::string>& command)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name="
           + StringValue(AppFileDescription())
           + "\n"
             "Comment="
           + StringValue(LoadStr(kTextAutostartSetting))
           + "\n"
             "Exec="
           + ExecLine(command)
           + "\n"
             "Icon="
           + kIconName
           + "\n"
             "Terminal=false\n"
             "NoDisplay=true\n"
             "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartOn(const std::filesystem::path& file)
{
    std::error_code ec;
    return std::filesystem::exists(file, ec);
}

void WriteAutostart(const std::filesystem::path& file, const std::vector<std::string>& command)
{
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (!ReplaceWholeFile(file, AutostartEntryText(command)))
        throw koyomi::EMirvoError(koyomi::FormatMessage(LoadStr(kMsgAutostartNotWritten), file.string()));
}

void RemoveAutostart(const std::filesystem::path& file)
{
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec)
        throw koyomi::EMirvoError(koyomi::FormatMessage(LoadStr(kMsgAutostartNotRemoved), file.string()));
}

} // namespace mirvo
