// The user's folders and the writability check on Windows: %APPDATA% (the
// roaming application data folder) in place of the XDG folders, and whether
// files can be made and removed in a folder, found by trying.
#include "start/programpaths.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

namespace mirvo {

namespace {

// An environment variable that holds an absolute path; empty otherwise.
std::filesystem::path AbsoluteFromEnvironment(const wchar_t* name)
{
    const wchar_t* value = ::_wgetenv(name);
    if (value == nullptr)
        return {};
    std::filesystem::path p(value);
    return p.is_absolute() ? p : std::filesystem::path();
}

// A known folder of the user (FOLDERID_...), as the shell reports it.
std::filesystem::path KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    std::filesystem::path result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path)))
        result = path;
    ::CoTaskMemFree(path);
    return result;
}

constexpr int kTrialAttempts = 8;

// The name of the file that FolderIsWritable makes and removes: hidden, and
// distinct for each process and attempt.
std::wstring TrialName(int attempt)
{
    return L".TodayMirvo-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount64())
           + L"-" + std::to_wstring(attempt) + L".tmp";
}

} // namespace

UserFolders UserFolders::FromEnvironment()
{
    UserFolders f;
    f.home = AbsoluteFromEnvironment(L"USERPROFILE");
    if (f.home.empty())
        f.home = KnownFolder(FOLDERID_Profile);
    f.documents = KnownFolder(FOLDERID_Documents);
    // Settings and member list both go to %APPDATA%\TodayMirvo.
    f.configHome = AbsoluteFromEnvironment(L"APPDATA");
    if (f.configHome.empty())
        f.configHome = KnownFolder(FOLDERID_RoamingAppData);
    f.dataHome = f.configHome;
    return f;
}

bool FolderIsWritable(const std::filesystem::path& folder)
{
    // The folder's access rights do not tell: Wine grants the right to add
    // files to a folder it cannot write, and a Windows folder may answer for
    // its access list what the volume or a filter then refuses. Making a
    // file there and removing it again tells what a save will meet.
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    for (int attempt = 0; attempt < kTrialAttempts; ++attempt) {
        const std::filesystem::path trial = folder / TrialName(attempt);
        HANDLE handle = ::CreateFileW(trial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            // Another program's file of that name: try the next one.
            if (::GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return false;
        }
        ::CloseHandle(handle);
        // A folder where files can be made but not removed cannot take a
        // save either: it replaces the file by renaming a new one over it.
        return ::DeleteFileW(trial.c_str()) != 0;
    }
    return false;
}

// Windows folders carry access lists, not mode bits: a program folder under
// Program Files is not writable to users at all, and %APPDATA% is the user's.
bool FolderSharedWithOthers(const std::filesystem::path&)
{
    return false;
}

bool LinkOfAnotherOwner(const std::filesystem::path&)
{
    return false;
}

void KeepToOwner(const std::filesystem::path&) {}

} // namespace mirvo
