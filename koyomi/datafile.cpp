#include "koyomi/datafile.h"

#include "base/error.h"
#include "base/sjis.h"
#include "koyomi/inflater.h"
#include "koyomi/platform.h"
#include "koyomi/tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <exception>
#include <utility>

#include <zlib.h>

namespace koyomi {

ModuleHandle DataModule = nullptr;
bool FastSqrt = false;

namespace {

constexpr std::size_t kLengthPrefixSize = 4;   // signed 32-bit little-endian L before each stream
// The strings the program reads: body names, sign names, sign symbols (first number, count).
constexpr std::pair<unsigned, unsigned> kCheckedStrings[] = {{kDataBodyNames, 10}, {kDataSignNames, 12}, {kDataSignSymbols, 12}};

// Inflates one block into memory; nullopt when it is missing or damaged.
std::optional<std::vector<std::uint8_t>> InflateBlock(ModuleHandle module, const char* name,
                                                      std::size_t neededSize)
{
    try {
        TMemoryStream stream(kMaxInflatedBlockSize);
        stream.Reserve(neededSize);
        if (!LoadCompressedResource(module, name, kKosmeraType, stream) || stream.Size() < neededSize)
            return std::nullopt;
        return stream.Bytes();
    } catch (const EMirvoError&) {
        return std::nullopt;  // shorter than its length prefix, or inflates beyond the limit
    }
}

void ReadDoubles(const std::uint8_t* bytes, std::array<double, kTermCount>& values)
{
    if constexpr (std::endian::native == std::endian::little) {
        // The block's byte order is the machine's: one copy.
        std::memcpy(values.data(), bytes, sizeof values);
        return;
    }
    for (double& value : values) {
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < sizeof bits; ++i)
            bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
        value = std::bit_cast<double>(bits);
        bytes += sizeof bits;
    }
}

} // namespace

ModuleHandle LoadLibraryA(const std::string& path)
{
    return platform::OpenResourceModule(path);
}

void FreeLibrary(ModuleHandle module)
{
    if (DataModule == module)
        DataModule = nullptr;  // no string look-up may reach a freed module
    delete module;
}

bool InitKoyomiLib(ModuleHandle module, bool fastSqrt)
{
    FastSqrt = fastSqrt;
    try {
        if (!LoadKoyomiTable(module))
            return false;
        return LoadSeizaTable();
    } catch (const std::exception&) {
        return false;  // out of memory or the like: the library is not usable
    }
}

bool LoadKoyomiTable(ModuleHandle module)
{
    DataModule = module;
    if (module == nullptr || !module->Find(kKosmeraType, kKoyomiName))
        return false;
    const auto block = InflateBlock(module, kKoyomiName, kKoyomiBlockSize);
    if (!block)
        return false;
    EarthRadiusAU = kEarthRadiusAU;
    TimeFactor.fill(1.0);
    const std::uint8_t* bytes = block->data();
    ReadDoubles(bytes, Amplitude);
    ReadDoubles(bytes + kTermCount * sizeof(double), Rate);
    ReadDoubles(bytes + 2 * kTermCount * sizeof(double), Phase);
    return true;
}

bool LoadSeizaTable()
{
    if (DataModule == nullptr || !DataModule->Find(kKosmeraType, kSeizaName))
        return false;
    const auto block = InflateBlock(DataModule, kSeizaName, kSeizaSize);
    if (!block)
        return false;
    std::copy_n(block->begin(), kSeizaSize, SeizaBlock.begin());
    return true;
}

bool LoadCompressedResource(ModuleHandle module, const ResourceId& name, const ResourceId& type,
                            TStream& dest)
{
    TMemoryStream compressed;
    LoadResourceData(module, name, type, compressed);
    if (compressed.Size() == 0)
        return false;
    compressed.SetPosition(0);
    TZlib inflater;
    return inflater.Decompress(compressed, dest) == 0;
}

void LoadResourceData(ModuleHandle module, const ResourceId& name, const ResourceId& type,
                      TStream& dest)
{
    if (module == nullptr)
        return;
    const auto bytes = module->Find(type, name);
    if (!bytes)
        return;
    TReadOnlyStream resource(*bytes);
    std::array<std::uint8_t, kLengthPrefixSize> prefix{};
    resource.ReadBuffer(prefix.data(), prefix.size());
    const auto length = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(prefix[0]) | (static_cast<std::uint32_t>(prefix[1]) << 8)
        | (static_cast<std::uint32_t>(prefix[2]) << 16) | (static_cast<std::uint32_t>(prefix[3]) << 24));
    if (length > 0)
        dest.CopyFrom(resource, static_cast<std::size_t>(length));
}

std::uint32_t DataFileChecksum(ModuleHandle module)
{
    uLong crc = ::crc32(0L, Z_NULL, 0);
    auto add = [&crc](const std::uint8_t* bytes, std::size_t size) {
        crc = ::crc32(crc, bytes, static_cast<uInt>(size));
    };
    if (module == nullptr)
        return static_cast<std::uint32_t>(crc);
    for (const char* name : {kKoyomiName, kSeizaName}) {
        const auto bytes = module->Find(kKosmeraType, name);
        const std::uint8_t size[4] = {static_cast<std::uint8_t>(bytes ? bytes->size() : 0),
                                      static_cast<std::uint8_t>(bytes ? bytes->size() >> 8 : 0),
                                      static_cast<std::uint8_t>(bytes ? bytes->size() >> 16 : 0),
                                      static_cast<std::uint8_t>(bytes ? bytes->size() >> 24 : 0)};
        add(size, sizeof size);
        if (bytes)
            add(bytes->data(), bytes->size());
    }
    for (const auto& [first, count] : kCheckedStrings) {
        for (unsigned number = first; number < first + count; ++number) {
            const std::string text = module->LoadStringBytes(number);
            const std::uint8_t size[2] = {static_cast<std::uint8_t>(text.size()),
                                          static_cast<std::uint8_t>(text.size() >> 8)};
            add(size, sizeof size);
            add(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        }
    }
    return static_cast<std::uint32_t>(crc);
}

bool DataFileIsIntact(ModuleHandle module)
{
    if (module == nullptr)
        return false;
    const auto stored = module->Find(kKosmeraType, kCheckName);
    if (!stored || stored->size() != 4)
        return false;
    const std::uint32_t value = static_cast<std::uint32_t>((*stored)[0]) | (static_cast<std::uint32_t>((*stored)[1]) << 8)
                                | (static_cast<std::uint32_t>((*stored)[2]) << 16)
                                | (static_cast<std::uint32_t>((*stored)[3]) << 24);
    return value == DataFileChecksum(module);
}

std::string LoadDataString(unsigned number)
{
    if (DataModule == nullptr)
        return {};
    return Cp932ToUtf8(DataModule->LoadStringBytes(number));
}

} // namespace koyomi
