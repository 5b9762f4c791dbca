// Starting the window program from mirvo-today on Windows: CreateProcessW,
// detached from this program's console, with the arguments quoted the way
// the started program's run-time splits them again.
#include "terminal/todaynotify.h"

#include "base/error.h"
#include "base/stringtable.h"

#include <windows.h>
// windows.h names FormatMessageA so; the program's own FormatMessage is meant here.
#undef FormatMessage

#include <string>

namespace mirvo {

namespace {

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), length);
    return out;
}

// One argument as CommandLineToArgvW and the C run-time read it back:
// quoted when it holds blanks or quotes, backslashes doubled before a quote.
void AppendQuoted(std::wstring& line, const std::wstring& argument)
{
    if (!line.empty())
        line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

} // namespace

void StartDetached(const std::vector<std::string>& command)
{
    std::wstring line;
    for (const std::string& argument : command)
        AppendQuoted(line, Wide(argument));
    const std::wstring program = Wide(command.front());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE,
                          DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process))
        throw koyomi::EMirvoError(koyomi::FormatMessage(LoadStr(kMsgWindowNotStarted), command.front()) + " ("
                                  + std::to_string(::GetLastError()) + ")");
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

} // namespace mirvo
