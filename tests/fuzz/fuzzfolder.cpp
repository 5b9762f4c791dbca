#include "tests/fuzz/fuzzfolder.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <unistd.h>

namespace mirvo::fuzz {

namespace {

std::filesystem::path gFolder;

void RemoveFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(gFolder, ec);
}

} // namespace

const std::filesystem::path& ScratchFolder()
{
    static const bool made = [] {
        std::error_code ec;
        const std::filesystem::path memory = "/dev/shm";
        const std::filesystem::path base = std::filesystem::is_directory(memory, ec)
                                               ? memory
                                               : std::filesystem::temp_directory_path();
        gFolder = base / ("mirvo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(gFolder, ec);
        std::atexit(RemoveFolder);
        return true;
    }();
    (void)made;
    return gFolder;
}

} // namespace mirvo::fuzz
