#include "testfiles.h"

#include "base/sjis.h"

#include <fstream>
#include <random>
#include <sstream>

namespace testsupport {

TScratchFolder::TScratchFolder(const std::string& prefix)
{
    std::random_device seed;
    FPath = std::filesystem::temp_directory_path() / (prefix + std::to_string(seed()));
    std::filesystem::create_directories(FPath);
}

TScratchFolder::~TScratchFolder()
{
    // A test may have taken away the folder's own permissions.
    std::error_code ec;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(FPath, ec);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string ThreeMembersCsv(const std::string& secondName)
{
    return *koyomi::Utf8ToCp932("\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n"
                                "\"" + secondName + "\",1,1985/06/15,08:30:00,1,\"メモ\"\r\n"
                                "\"Ken\",1,2001/11/30,12:00:00,0,\"\"\r\n");
}

mirvo::ProgramPaths ProgramPathsIn(const std::filesystem::path& folder)
{
    mirvo::ProgramPaths paths;
    paths.programFile = folder / "TodayMirvo";
    return paths;
}

} // namespace testsupport
