// consolescreen COMMAND-LINE OUTPUT-FILE: runs a program in a console window
// of its own, as from a command prompt, waits for it, and writes the text
// that the console's screen buffer then shows (ReadConsoleOutputCharacterW),
// one line per row without trailing blanks, in UTF-8, to OUTPUT-FILE. Exit
// code: the program's, or 100 and up when the console or the program could
// not be had. Wine needs a display for the console (xvfb-run).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kWaitMilliseconds = 120000;
constexpr int kNoConsole = 100;
constexpr int kNoProgram = 101;
constexpr int kNoOutput = 102;

std::string Utf8(const std::wstring& text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                              nullptr);
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    if (argc != 3)
        return kNoProgram;
    ::FreeConsole();
    if (!::AllocConsole())
        return kNoConsole;
    HANDLE screen = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    if (screen == INVALID_HANDLE_VALUE)
        return kNoConsole;
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = argv[1];
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return kNoProgram;
    if (::WaitForSingleObject(process.hProcess, kWaitMilliseconds) != WAIT_OBJECT_0)
        return kNoProgram;
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(screen, &info) || info.dwSize.X <= 0)
        return kNoConsole;
    std::wstring shown;
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ::ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()), COORD{0, y}, &read);
        row.resize(read);
        while (!row.empty() && row.back() == L' ')
            row.pop_back();
        shown += row;
        shown += L'\n';
    }
    const std::string bytes = Utf8(shown);
    HANDLE file = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE
        || !::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        || written != bytes.size())
        return kNoOutput;
    ::CloseHandle(file);
    return static_cast<int>(code);
}
