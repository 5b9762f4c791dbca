#include "app/start/programpaths.h"

namespace mirvo {

namespace {

const char* const kUserFolderName = "TodayMirvo";

} // namespace

ProgramPaths LocateProgramFiles(const std::filesystem::path& programFile, const FolderCheck& writable,
                                const UserFolders& user)
{
    ProgramPaths paths;
    paths.programFile = programFile;
    if (writable(paths.ProgramFolder()))
        return paths;
    paths.settingsFolder = user.configHome / kUserFolderName;
    paths.memberFolder = user.dataHome / kUserFolderName;
    paths.startFolder = user.home;
    return paths;
}

ProgramPaths LocateProgramFiles(const std::filesystem::path& programFile)
{
    return LocateProgramFiles(programFile, FolderIsWritable, UserFolders::FromEnvironment());
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
    }
    return ok;
}

} // namespace mirvo
