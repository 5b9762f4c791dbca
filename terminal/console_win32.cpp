#include "terminal/console.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace mirvo {

namespace {

constexpr DWORD kFirstPathLength = MAX_PATH;
constexpr DWORD kLongestPath = 32768;  // characters, the longest path Windows allows

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

TConsoleSession::TConsoleSession()
{
    // The program writes UTF-8; a console shows it as such only with code page 65001.
    const UINT old = ::GetConsoleOutputCP();
    if (old != 0 && old != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
        FOldOutputCodePage = old;
    // Colours where the console reads escape sequences (Windows 10 and later);
    // output to a file or a pipe gets none.
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out != INVALID_HANDLE_VALUE && out != nullptr && ::GetConsoleMode(out, &mode)) {
        if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
            FShowsColour = true;
        } else if (::SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
            FOldMode = mode;
            FModeChanged = true;
            FShowsColour = true;
        }
    }
}

TConsoleSession::~TConsoleSession()
{
    // The console belongs to the command prompt that started the program.
    if (FModeChanged)
        ::SetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), FOldMode);
    if (FOldOutputCodePage != 0)
        ::SetConsoleOutputCP(FOldOutputCodePage);
}

} // namespace mirvo
