// Reading and writing a file of the program as one piece of bytes. A file is
// replaced atomically: whoever reads it sees the old content or the new, and
// a failed write leaves the old file as it was.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mirvo {

// The whole content of a regular file; nullopt when the file cannot be
// opened or read (also when the path names a folder).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Writes `bytes` to a new file in the folder of `path`, flushes it to the
// disk and renames it over `path`; a symbolic link is followed, so the file
// it points at is replaced. A new file gets the permissions a plain create
// would give it (0666 less the umask), a replaced one keeps its own. A file
// without write permission is not replaced.
// False when any step fails; the temporary file is then removed and the old
// file at `path` is untouched.
bool ReplaceWholeFile(const std::filesystem::path& path, std::string_view bytes);

} // namespace mirvo
