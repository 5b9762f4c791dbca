// Reading and writing a file of the program as one piece of bytes. A file is
// replaced atomically: whoever reads it sees the old content or the new, and
// a failed write leaves the old file as it was.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mirvo {

// The whole content of a regular file; nullopt when the file cannot be
// opened or read (also when the path names a folder, and when reading fails
// after the file was opened, as on a failing disk).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// The first bytes of a regular file, at most `limit` of them; `cut` tells
// whether the file went on past the limit. nullopt as for ReadWholeFile.
struct TFilePrefix {
    std::string bytes;
    bool cut = false;
};
std::optional<TFilePrefix> ReadFilePrefix(const std::filesystem::path& path, std::size_t limit);

// True when something other than a regular file or a folder lies at `path`
// (links followed): a FIFO, a device, a socket. Saving never replaces one.
bool IsSpecialFile(const std::filesystem::path& path);

// Names beside a file that nothing has yet: not a file, a folder or even a
// dangling link, and a name whose place cannot be looked at counts as
// taken. Each rule counts up to the number 1000 and gives the empty path
// when every name is taken.
//
// `path` with `suffix`, then with `suffix` and 2, 3, ... ("Mirvo.csv.bak",
// "Mirvo.csv.bak2").
std::filesystem::path UnusedNameBeside(const std::filesystem::path& path, const std::string& suffix);
// Where the file's content is kept before it is replaced: "Mirvo.csv.bak",
// "Mirvo.csv.bak2", ...
std::filesystem::path BackupNameBeside(const std::filesystem::path& path);
// Another file of the same kind beside it: "Mirvo (2).csv", "Mirvo (3).csv", ...
std::filesystem::path NumberedNameBeside(const std::filesystem::path& path);

// Removes the temporary files that an interrupted ReplaceWholeFile of
// `path` left in its folder (in the folder of the file it leads to, for a
// link of this user's): only plain files (no links, folders, FIFOs)
// named exactly as that function names them (".<name>.<digits>.tmp") that
// no running process is still writing (each write holds its temporary file
// while it lasts). Returns how many were removed.
int RemoveLeftoverTemporaries(const std::filesystem::path& path);
// The same in `folder` for every file whose <name> `isOurs` accepts.
int RemoveLeftoverTemporaries(const std::filesystem::path& folder,
                              const std::function<bool(const std::filesystem::path& name)>& isOurs);

// Copies the file at `from` to the new file `to` (never replacing one, nor
// following a link there), flushed to the disk, with the permissions of
// `from` (a file only its owner may read gives a copy only its owner may
// read). False when it cannot.
bool CopyToNewFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Why a write to `path` is refused before anything is written: a symbolic
// link made by another user, which may lead anywhere that user chose (the
// rule that Linux's fs.protected_symlinks applies in shared folders, here
// applied everywhere and by the program itself), or a file that belongs to
// another user.
enum class TWriteRefusal {
    None,
    OthersLink,   // `path` is, or leads through, a link of another user
    OthersFile,   // the file `path` leads to belongs to another user
};
TWriteRefusal WriteRefusal(const std::filesystem::path& path);

// Makes `folder` (and its parents) when missing, the folder itself for this
// user only (0700 on POSIX), and narrows one of this user's that others may
// write. True when it is then a folder, not a link, of this user that no
// one else can write; false for another user's folder.
bool MakeOwnFolder(const std::filesystem::path& folder);

// Writes `bytes` to a new file in the folder of `path`, flushes it to the
// disk and renames it over `path`; a symbolic link of this user's is
// followed, so the file it points at is replaced. A new file gets the
// permissions a plain create would give it (0666 less the umask), a
// replaced one keeps its own. A file without write permission is not
// replaced, nor anything WriteRefusal refuses.
// Something other than a regular file at `path` (see IsSpecialFile) is not
// replaced. False when any step fails; the temporary file is then removed
// and the old file at `path` is untouched.
bool ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes);

// Writes `bytes` as the file `path` as ReplaceWholeFile does (a temporary
// file renamed into place), with the permissions of the file `like`
// instead: a copy of a file only its owner may read is never readable by
// others, not even while it is written.
bool WriteCopyOf(const std::filesystem::path& like, const std::filesystem::path& path, std::string_view bytes);

} // namespace mirvo
