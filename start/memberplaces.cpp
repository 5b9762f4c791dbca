#include "start/memberplaces.h"

#include "base/wholefile.h"

#include <optional>

namespace mirvo {

namespace fs = std::filesystem;

namespace {

const char* const kUserFolderName = "TodayMirvo";

// The modification time of a regular file; nullopt for anything else.
std::optional<fs::file_time_type> RegularFileTime(const fs::path& file)
{
    std::error_code ec;
    if (file.empty() || !fs::is_regular_file(file, ec))
        return std::nullopt;
    const fs::file_time_type time = fs::last_write_time(file, ec);
    return ec ? std::nullopt : std::optional<fs::file_time_type>(time);
}

bool SameFile(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    return fs::weakly_canonical(fs::absolute(a, ec), ec) == fs::weakly_canonical(fs::absolute(b, ec), ec);
}

// Whether a file can be made or replaced at `file`; a folder that is not
// there yet counts when the nearest folder above it that is there can be
// written. Nothing is made.
bool CanBeWritten(const fs::path& file)
{
    std::error_code ec;
    fs::path folder = file.parent_path();
    if (fs::is_directory(folder, ec))
        return FileIsWritable(file);
    while (!folder.empty() && !fs::exists(fs::symlink_status(folder, ec))) {
        if (folder == folder.parent_path())
            break;
        folder = folder.parent_path();
    }
    return fs::is_directory(folder, ec) && FolderIsWritable(folder);
}

} // namespace

TMemberFileChoice ChooseMemberFileToRead(const fs::path& own, const std::vector<fs::path>& others)
{
    TMemberFileChoice choice{own, false};
    std::optional<fs::file_time_type> newest = RegularFileTime(own);
    for (const fs::path& other : others) {
        const std::optional<fs::file_time_type> time = RegularFileTime(other);
        if (!time || SameFile(other, own) || (newest && *time <= *newest))
            continue;
        newest = time;
        choice = {other, true};
    }
    return choice;
}

fs::path MemberFileBesideProgram(const ProgramPaths& paths)
{
    const fs::path beside = paths.ProgramFolder() / paths.MemberFile().filename();
    return paths.InUserFolders() && !SameFile(beside, paths.MemberFile()) ? beside : fs::path();
}

std::vector<fs::path> PlacesToSaveInstead(const fs::path& own, const fs::path& remembered, const UserFolders& user,
                                          const fs::path& privateFolder)
{
    std::vector<fs::path> places;
    std::error_code ec;
    const auto add = [&](const fs::path& place) {
        if (!place.empty() && !SameFile(place, own) && CanBeWritten(place))
            places.push_back(place);
    };
    if (!remembered.empty())
        add(remembered);
    if (FolderIsWritable(own.parent_path().empty() ? fs::path(".") : own.parent_path()))
        add(NumberedNameBeside(own));
    if (!user.dataHome.empty()) {
        const fs::path inUserFolder = user.dataHome / kUserFolderName / own.filename();
        if (!fs::exists(fs::symlink_status(inUserFolder, ec)))
            add(inUserFolder);
    }
    if (!privateFolder.empty()) {
        const fs::path there = privateFolder / own.filename();
        add(fs::exists(fs::symlink_status(there, ec)) ? NumberedNameBeside(there) : there);
    }
    return places;
}

bool AppendToLog(const fs::path& log, const std::string& line)
{
    // Replaced whole, as every file of the program: a log cut short by a kill loses nothing it held.
    constexpr std::size_t kLogKept = 1 << 20;
    std::error_code ec;
    std::string text;
    if (fs::exists(log, ec)) {
        const std::optional<TFilePrefix> old = ReadFilePrefix(log, kLogKept);
        if (!old)
            return false;
        text = old->bytes;
    }
    return ReplaceWholeFile(log, text + line + "\n");
}

} // namespace mirvo
