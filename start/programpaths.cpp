#include "start/programpaths.h"

#include "base/wholefile.h"

namespace mirvo {

namespace {

const char* const kUserFolderName = "TodayMirvo";

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

} // namespace

bool FileIsWritable(const std::filesystem::path& file)
{
    using std::filesystem::perms;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(file, ec);
    if (!FolderIsWritable(FolderOf(file)))
        return false;
    if (!std::filesystem::exists(status))
        return true;
    return std::filesystem::is_regular_file(status)
           && (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) != perms::none;
}

ProgramPaths LocateProgramFiles(const std::filesystem::path& programFile, const FolderCheck& writable,
                                const UserFolders& user, const FolderCheck& shared)
{
    ProgramPaths paths;
    paths.programFile = programFile;
    if (writable(paths.ProgramFolder())) {
        if ((!shared || !shared(paths.ProgramFolder())) && !LinkOfAnotherOwner(paths.SettingsFile())
            && !LinkOfAnotherOwner(paths.MemberFile()))
            return paths;
        paths.sharedFolder = paths.ProgramFolder();
    }
    paths.settingsFolder = user.configHome / kUserFolderName;
    paths.memberFolder = user.dataHome / kUserFolderName;
    paths.startFolder = user.documents.empty() ? user.home : user.documents;
    return paths;
}

ProgramPaths LocateProgramFiles(const std::filesystem::path& programFile)
{
    return LocateProgramFiles(programFile, FolderIsWritable, UserFolders::FromEnvironment(), FolderSharedWithOthers);
}

bool MakeUserFolders(const ProgramPaths& paths)
{
    if (!paths.InUserFolders())
        return true;
    std::error_code ec;
    bool ok = true;
    for (const auto& folder : {paths.settingsFolder, paths.memberFolder}) {
        std::filesystem::create_directories(folder, ec);
        ok = ok && std::filesystem::is_directory(folder, ec);
        KeepToOwner(folder);
    }
    return ok;
}

} // namespace mirvo
