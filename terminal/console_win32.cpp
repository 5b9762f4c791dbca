#include "terminal/console.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <io.h>
#include <string>

namespace mirvo {

namespace {

constexpr DWORD kFirstPathLength = MAX_PATH;
constexpr DWORD kLongestPath = 32768;  // characters, the longest path Windows allows
// UTF-16 units per WriteConsoleW call: older consoles refuse very long writes.
constexpr std::size_t kConsoleWriteUnits = 8192;

// The system's handle under a C stream.
HANDLE ConsoleHandle(std::FILE* file)
{
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
}

} // namespace

std::filesystem::path OwnProgramFolder(const char* argv0)
{
    for (DWORD size = kFirstPathLength; size <= kLongestPath; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0)
            break;
        if (length < size) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
    }
    std::error_code ec;
    return std::filesystem::absolute(argv0, ec).parent_path();
}

std::vector<std::string> ProgramArguments(int argc, char* argv[])
{
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        const int length = static_cast<int>(std::wcslen(wide[i]));
        std::string text;
        if (length > 0) {
            text.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, wide[i], length, nullptr, 0, nullptr, nullptr)));
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], length, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
        }
        args.push_back(std::move(text));
    }
    ::LocalFree(wide);
    return args;
}

std::optional<int> ConsoleColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &info))
        return std::nullopt;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? std::optional<int>(columns) : std::nullopt;
}

bool IsConsoleWindow(std::FILE* file)
{
    DWORD mode = 0;
    return ::GetConsoleMode(ConsoleHandle(file), &mode) != 0;
}

bool WriteToConsole(std::FILE* file, std::string_view utf8)
{
    std::fflush(file);
    if (utf8.empty())
        return true;
    if (utf8.size() > static_cast<std::size_t>(INT_MAX))
        return false;
    const int utf8Length = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Length, nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Length, wide.data(), length);
    HANDLE console = ConsoleHandle(file);
    for (std::size_t done = 0; done < wide.size();) {
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, kConsoleWriteUnits));
        DWORD written = 0;
        if (!::WriteConsoleW(console, wide.data() + done, part, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

TConsoleSession::TConsoleSession()
{
    // Colours only where the console already reads escape sequences: turned
    // on by the user or the terminal (Windows Terminal), never by us, since a
    // console that takes the mode without reading them (an older Windows, a
    // Wine console) would show them as text. A file or a pipe gets none.
    DWORD mode = 0;
    FShowsColour = ::GetConsoleMode(ConsoleHandle(stdout), &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

TConsoleSession::~TConsoleSession() = default;

} // namespace mirvo
