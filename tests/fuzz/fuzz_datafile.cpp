// libFuzzer target: the data-file reader on arbitrary bytes. Each input is
// taken as the whole Kosmera.dat; the library is initialised from it and
// every string the program asks for is looked up. Whatever the bytes, this
// must end without reading outside them, hanging or claiming unbounded memory.
#include "koyomi/datafile.h"
#include "koyomi/peresource.h"
#include "koyomi/tables.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// The strings of the detail window, the ends of their blocks and a few outside.
constexpr unsigned kFirstBody = 50001, kFirstSign = 50031, kFirstSymbol = 50071;
constexpr unsigned kBodies = 10, kSigns = 12;
constexpr unsigned kOtherNumbers[] = {0, 15, 16, 50000, 50015, 50016, 50047, 50095, 1048559, 4294967295u};

void LookUpStrings()
{
    for (unsigned i = 0; i < kBodies; ++i)
        (void)koyomi::LoadDataString(kFirstBody + i);
    for (unsigned i = 0; i < kSigns; ++i) {
        (void)koyomi::LoadDataString(kFirstSign + i);
        (void)koyomi::LoadDataString(kFirstSymbol + i);
    }
    for (const unsigned n : kOtherNumbers)
        (void)koyomi::LoadDataString(n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto module = koyomi::TPeResources::FromBytes(std::vector<std::uint8_t>(data, data + size));
    const koyomi::ModuleHandle handle = module ? &*module : nullptr;
    koyomi::ResetTables();
    (void)koyomi::InitKoyomiLib(handle, false);
    // Strings are looked up whether or not the blocks loaded.
    koyomi::DataModule = handle;
    LookUpStrings();
    if (module) {
        (void)module->Find(koyomi::kRtVersion, 1);  // the version block the about box reads
        (void)module->Find("#16", "#1");
    }
    koyomi::DataModule = nullptr;
    return 0;
}
