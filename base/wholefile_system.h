// The system calls that reading and replacing whole files stand on
// (wholefile.cpp); one version for each system: wholefile_posix.cpp and
// wholefile_win32.cpp. Nothing outside those three files includes it.
#pragma once

#include "base/wholefile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace mirvo::systemfile {

// A file descriptor or a Windows handle; -1 (INVALID_HANDLE_VALUE on
// Windows) when there is none.
using TNative = std::intptr_t;
constexpr TNative kNoFile = -1;

// Closes the file; false when the system reports an error (a write that
// could not be completed may show only here).
bool CloseNative(TNative file);

// An open file, closed once at the end of its scope.
class TFile {
public:
    explicit TFile(TNative file = kNoFile) : FFile(file) {}
    ~TFile() { Close(); }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;
    TFile(TFile&& other) noexcept : FFile(other.FFile) { other.FFile = kNoFile; }
    TNative Get() const { return FFile; }
    bool Valid() const { return FFile != kNoFile; }
    bool Close()
    {
        if (!Valid())
            return true;
        const bool ok = CloseNative(FFile);
        FFile = kNoFile;
        return ok;
    }

private:
    TNative FFile;
};

// Opens a regular file for reading without waiting (a FIFO in the way
// cannot hold the program up); no file when it is missing, a folder, a
// device or a pipe, or cannot be opened.
TFile OpenRegularFile(const std::filesystem::path& path);

// Reads at most `size` bytes into `buffer`: how many were read, 0 at the
// end of the file, -1 on a read error.
std::ptrdiff_t ReadSome(const TFile& file, char* buffer, std::size_t size);

// Writes at most `size` bytes: how many were written, -1 on a write error.
std::ptrdiff_t WriteSome(const TFile& file, const char* bytes, std::size_t size);

// Flushes what was written to the disk.
bool FlushToDisk(const TFile& file);

// Creates a new, empty file for writing, never opening one that exists nor
// following a link: read and write for everyone, less the umask, on POSIX,
// or for the owner alone when `ownerOnly` (the file is to take another's
// permissions once written). No file when it cannot; `nameTaken` then tells
// whether something already had the name.
TFile CreateNewFile(const std::filesystem::path& path, bool& nameTaken, bool ownerOnly = false);

// Marks a temporary file as being written by this process for as long as it
// is open (an flock(2) on POSIX; on Windows the file is opened without
// sharing), so that RemoveIfAbandoned leaves it alone.
void HoldWhileWriting(const TFile& file);

// Removes the temporary file at `path` when it is a plain file (no link,
// folder or FIFO) that no running process is writing. False when it stays.
bool RemoveIfAbandoned(const std::filesystem::path& path);

// The file that a write to `path` really writes, following symbolic links as
// the system would, and whether the write must be refused: a link made by
// another user (but the system's administrator) is never followed, and a
// file of another user is never written over.
TWriteRefusal ResolveForWriting(const std::filesystem::path& path, std::filesystem::path& target);

// True when nothing at all has the name `path`, not even a dangling link;
// false also when that cannot be known (a folder that may not be searched).
bool NameIsFree(const std::filesystem::path& path);

bool RemoveFile(const std::filesystem::path& path);

// Renames `from` over `to`, replacing it in one step.
bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes a rename or a new name in the folder of `file` durable, where the
// system needs that; a folder that cannot be synced is no failure.
void SyncFolder(const std::filesystem::path& file);

// The file that a replacement is about to replace: whether there is one and
// what the new file takes over from it.
struct TReplacedFile {
    bool exists = false;
    std::uint32_t mode = 0;   // the permission bits (POSIX) or the file attributes (Windows)
    std::uint32_t owner = 0;  // user and group (POSIX)
    std::uint32_t group = 0;
};

// False when `target` must not be replaced: a folder, something other than
// a regular file (see IsSpecialFile), or a file without write permission or
// that this user may not write. Otherwise fills `old`.
bool MayReplace(const std::filesystem::path& target, TReplacedFile& old);

// The permissions of the existing file at `file`, for a new file made as its
// copy (POSIX: the permission bits; nothing on Windows). False when it is missing.
bool PermissionsOf(const std::filesystem::path& file, TReplacedFile& like);

// Gives the new file what it takes over from the one it replaces: while it
// is still open (POSIX: permissions and, for a privileged user, the owner),
// and after it was closed (Windows: the attributes).
bool TakeOverWhileOpen(const TFile& file, const TReplacedFile& old);
bool TakeOverWhenClosed(const std::filesystem::path& file, const TReplacedFile& old);

} // namespace mirvo::systemfile
