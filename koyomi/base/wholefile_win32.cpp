// Whole-file reading and atomic replacing on Windows: the same rules as
// wholefile.cpp, with the Win32 file functions (a new file beside the old one,
// FlushFileBuffers, then MoveFileExW over the old one).
#include "koyomi/base/wholefile.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <random>

namespace mirvo {

namespace {

constexpr int kTemporaryNameAttempts = 100;
constexpr int kUnusedNameAttempts = 1000;
constexpr std::size_t kReadChunkBytes = 65536;
constexpr DWORD kMaxWriteBytes = 1 << 20;

// Closes a handle once, at the end of its scope.
class THandle {
public:
    explicit THandle(HANDLE handle) : FHandle(handle) {}
    ~THandle() { Close(); }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return FHandle; }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
    bool Close()
    {
        if (!Valid())
            return true;
        const bool ok = ::CloseHandle(FHandle) != 0;
        FHandle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE FHandle;
};

bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kMaxWriteBytes));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), part, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The file that is really replaced: a symbolic link is followed.
std::filesystem::path ResolveTarget(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
        if (!ec)
            return target;
    }
    return path;
}

// Whether this user may write the existing file: the read-only attribute is
// not set and the system grants write access (asked by opening it for
// writing, which changes nothing in it).
bool MayWrite(const std::filesystem::path& file, DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
    const THandle handle(::CreateFileW(file.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.Valid();
}

// Creates a new, empty file beside `target` under a name no one else uses.
HANDLE CreateTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& tempPath)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        tempPath = folder / (L"." + target.filename().wstring() + L"." + std::to_wstring(random()) + L".tmp");
        HANDLE handle = ::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return handle;
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

std::optional<TFilePrefix> ReadFilePrefix(const std::filesystem::path& path, std::size_t limit)
{
    const THandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid() || ::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return std::nullopt;   // missing, a folder, or a device or pipe
    TFilePrefix prefix;
    // Read one byte past the limit to know whether the file goes on.
    const std::size_t wanted = limit == SIZE_MAX ? limit : limit + 1;
    char buffer[kReadChunkBytes];
    while (prefix.bytes.size() < wanted) {
        const DWORD part = static_cast<DWORD>(std::min(sizeof buffer, wanted - prefix.bytes.size()));
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, part, &got, nullptr))
            return std::nullopt;   // a read error after the file was opened
        if (got == 0)
            break;
        prefix.bytes.append(buffer, got);
    }
    if (prefix.bytes.size() > limit) {
        prefix.bytes.resize(limit);
        prefix.cut = true;
    }
    return prefix;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::optional<TFilePrefix> all = ReadFilePrefix(path, SIZE_MAX);
    if (!all)
        return std::nullopt;
    return std::move(all->bytes);
}

bool IsSpecialFile(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return false;
    return !std::filesystem::is_regular_file(status) && !std::filesystem::is_directory(status);
}

std::filesystem::path UnusedNameBeside(const std::filesystem::path& path, const std::string& suffix)
{
    for (int n = 1; n <= kUnusedNameAttempts; ++n) {
        std::filesystem::path candidate = path;
        candidate += suffix + (n == 1 ? std::string() : std::to_string(n));
        if (::GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES
            && ::GetLastError() == ERROR_FILE_NOT_FOUND)
            return candidate;
    }
    return {};
}

bool CopyToNewFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const std::optional<std::string> bytes = ReadWholeFile(from);
    if (!bytes)
        return false;
    THandle file(::CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    bool ok = WriteAll(file.Get(), *bytes) && ::FlushFileBuffers(file.Get()) != 0;
    ok = file.Close() && ok;
    if (!ok) {
        ::DeleteFileW(to.c_str());
        return false;
    }
    return true;
}

bool ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes)
{
    const std::filesystem::path target = ResolveTarget(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
    // A folder or a device in the way is never replaced, nor a file this user may not write.
    if (replacing && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || IsSpecialFile(target)
                      || !MayWrite(target, attributes)))
        return false;

    std::filesystem::path tempPath;
    THandle file(CreateTemporaryBeside(target, tempPath));
    if (!file.Valid())
        return false;
    bool ok = WriteAll(file.Get(), bytes);
    ok = ok && ::FlushFileBuffers(file.Get()) != 0;
    ok = file.Close() && ok;
    // A replaced file keeps its attributes (hidden, archive, ...).
    if (ok && replacing)
        ok = ::SetFileAttributesW(tempPath.c_str(), attributes) != 0;
    ok = ok && ::MoveFileExW(tempPath.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        ::DeleteFileW(tempPath.c_str());
        return false;
    }
    return true;
}

} // namespace mirvo
