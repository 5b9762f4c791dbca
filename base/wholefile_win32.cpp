// The system calls of whole-file reading and replacing on Windows: the Win32
// file functions (a new file beside the old one, FlushFileBuffers, then
// MoveFileExW over the old one).
#include "base/wholefile.h"
#include "base/wholefile_system.h"

#include <windows.h>

#include <algorithm>

namespace mirvo {

namespace {

HANDLE Handle(const systemfile::TFile& file)
{
    return reinterpret_cast<HANDLE>(file.Get());
}

systemfile::TFile Own(HANDLE handle)
{
    return systemfile::TFile(reinterpret_cast<systemfile::TNative>(handle));
}

// Whether this user may write the existing file: the read-only attribute is
// not set and the system grants write access (asked by opening it for
// writing, which changes nothing in it).
bool MayWrite(const std::filesystem::path& file, DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
    const systemfile::TFile handle = Own(::CreateFileW(file.c_str(), GENERIC_WRITE,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.Valid();
}

} // namespace

bool MakeOwnFolder(const std::filesystem::path& folder)
{
    // The user's profile keeps its folders to their owner already.
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(std::filesystem::symlink_status(folder, ec));
}

bool IsSpecialFile(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return false;
    return !std::filesystem::is_regular_file(status) && !std::filesystem::is_directory(status);
}

namespace systemfile {

static_assert(sizeof(TNative) == sizeof(HANDLE));

bool CloseNative(TNative file)
{
    return ::CloseHandle(reinterpret_cast<HANDLE>(file)) != 0;
}

TFile OpenRegularFile(const std::filesystem::path& path)
{
    TFile file = Own(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid() || ::GetFileType(Handle(file)) != FILE_TYPE_DISK)
        return TFile();   // missing, a folder, or a device or pipe
    return file;
}

std::ptrdiff_t ReadSome(const TFile& file, char* buffer, std::size_t size)
{
    DWORD got = 0;
    if (!::ReadFile(Handle(file), buffer, static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD)), &got, nullptr))
        return -1;
    return static_cast<std::ptrdiff_t>(got);
}

std::ptrdiff_t WriteSome(const TFile& file, const char* bytes, std::size_t size)
{
    DWORD written = 0;
    if (!::WriteFile(Handle(file), bytes, static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD)), &written, nullptr))
        return -1;
    return static_cast<std::ptrdiff_t>(written);
}

bool FlushToDisk(const TFile& file)
{
    return ::FlushFileBuffers(Handle(file)) != 0;
}

TFile CreateNewFile(const std::filesystem::path& path, bool& nameTaken, bool)
{
    TFile file = Own(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    nameTaken = !file.Valid() && ::GetLastError() == ERROR_FILE_EXISTS;
    return file;
}

void HoldWhileWriting(const TFile&)
{
    // The file is open without sharing: it cannot be removed meanwhile.
}

bool RemoveIfAbandoned(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)) && RemoveFile(path);
}

TWriteRefusal ResolveForWriting(const std::filesystem::path& path, std::filesystem::path& target)
{
    // The profile's folders are the user's own; a link there is followed.
    std::error_code ec;
    target = path;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec)
            target = resolved;
    }
    return TWriteRefusal::None;
}

bool NameIsFree(const std::filesystem::path& path)
{
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool RemoveFile(const std::filesystem::path& path)
{
    return ::DeleteFileW(path.c_str()) != 0;
}

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void SyncFolder(const std::filesystem::path&)
{
    // MOVEFILE_WRITE_THROUGH has made the rename durable; a folder cannot be flushed.
}

bool MayReplace(const std::filesystem::path& target, TReplacedFile& old)
{
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    old.exists = attributes != INVALID_FILE_ATTRIBUTES;
    old.mode = old.exists ? attributes : 0;
    // A folder or a device in the way is never replaced, nor a file this user may not write.
    return !old.exists
           || ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !IsSpecialFile(target) && MayWrite(target, attributes));
}

bool PermissionsOf(const std::filesystem::path& file, TReplacedFile& like)
{
    // A copy gets the folder's permissions, as any new file there.
    like.exists = ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
    like.mode = FILE_ATTRIBUTE_NORMAL;
    return like.exists;
}

bool TakeOverWhileOpen(const TFile&, const TReplacedFile&)
{
    return true;
}

bool TakeOverWhenClosed(const std::filesystem::path& file, const TReplacedFile& old)
{
    // A replaced file keeps its attributes (hidden, archive, ...).
    return ::SetFileAttributesW(file.c_str(), old.mode) != 0;
}

} // namespace systemfile

} // namespace mirvo
