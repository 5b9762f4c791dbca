// The scratch folder of a fuzz target: in memory (/dev/shm, a tmpfs, where
// flushing a file to the disk costs nothing) when the system has it, else in
// the temporary folder; one per process, removed with everything in it when
// the process ends normally (libFuzzer's -max_total_time and -runs end so).
#pragma once

#include <filesystem>

namespace mirvo::fuzz {

const std::filesystem::path& ScratchFolder();

} // namespace mirvo::fuzz
