// The user's folders and the writability check on Windows: %APPDATA% (the
// roaming application data folder) in place of the XDG folders, and the
// system's answer whether this user may add files to a folder.
#include "start/programpaths.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

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

} // namespace

UserFolders UserFolders::FromEnvironment()
{
    UserFolders f;
    f.home = AbsoluteFromEnvironment(L"USERPROFILE");
    if (f.home.empty())
        f.home = KnownFolder(FOLDERID_Profile);
    // Settings and member list both go to %APPDATA%\TodayMirvo.
    f.configHome = AbsoluteFromEnvironment(L"APPDATA");
    if (f.configHome.empty())
        f.configHome = KnownFolder(FOLDERID_RoamingAppData);
    f.dataHome = f.configHome;
    return f;
}

bool FolderIsWritable(const std::filesystem::path& folder)
{
    // Opening the folder itself for adding files succeeds only when the
    // system grants this user that right (and the volume is not read-only);
    // nothing is written.
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    HANDLE handle = ::CreateFileW(folder.c_str(), FILE_ADD_FILE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(handle);
    return true;
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
