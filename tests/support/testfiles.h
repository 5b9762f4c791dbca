// Files and folders that the tests make: a scratch folder removed at the
// end, whole files written and read back as bytes, and the member list
// that the window tests start with.
#pragma once

#include "start/programpaths.h"

#include <filesystem>
#include <string>

namespace testsupport {

// A new, empty folder under the system's temporary folder, removed with
// everything in it when the object ends.
class TScratchFolder {
public:
    explicit TScratchFolder(const std::string& prefix = "mirvo-test-");
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::filesystem::path operator/(const std::string& name) const { return FPath / name; }

private:
    std::filesystem::path FPath;
};

// The bytes of a file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Writes `bytes` as the whole file, replacing one that is there.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// Three members in Shift-JIS with CR LF line ends: "Hana" (1970-01-02),
// `secondName` (a man born 1985-06-15 at 8:30, with a memo) and "Ken"
// (2001-11-30); `secondName` is given in UTF-8.
std::string ThreeMembersCsv(const std::string& secondName = "山田太郎");

// The files of a window program that lies in `folder`: its member list and
// settings file beside it.
mirvo::ProgramPaths ProgramPathsIn(const std::filesystem::path& folder);

} // namespace testsupport
