#include "koyomi/datafile.h"

#include "koyomi/error.h"
#include "koyomi/inflater.h"
#include "koyomi/sjis.h"
#include "koyomi/tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <exception>

namespace koyomi {

ModuleHandle DataModule = nullptr;
bool FastSqrt = false;

namespace {

constexpr std::size_t kLengthPrefixSize = 4;   // signed 32-bit little-endian L before each stream
constexpr std::size_t kLoadStringBuffer = 255; // LoadStringA's buffer: 254 bytes of text and a NUL
constexpr std::size_t kMaxStringBytes = kLoadStringBuffer - 1;
constexpr char kUnmappableChar = '?';          // what the code page conversion puts for a missing character

constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kSupplementaryFirst = 0x10000;
constexpr unsigned kSurrogateBits = 10;

// Inflates one block into memory; nullopt when it is missing or damaged.
std::optional<std::vector<std::uint8_t>> InflateBlock(ModuleHandle module, const char* name,
                                                      std::size_t neededSize)
{
    try {
        TMemoryStream stream(kMaxInflatedBlockSize);
        if (!LoadCompressedResource(module, name, kKosmeraType, stream) || stream.Size() < neededSize)
            return std::nullopt;
        return stream.Bytes();
    } catch (const EMirvoError&) {
        return std::nullopt;  // shorter than its length prefix, or inflates beyond the limit
    }
}

void ReadDoubles(const std::uint8_t* bytes, std::array<double, kTermCount>& values)
{
    for (double& value : values) {
        std::uint64_t bits = 0;
        for (std::size_t i = 0; i < sizeof bits; ++i)
            bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
        value = std::bit_cast<double>(bits);
        bytes += sizeof bits;
    }
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The UTF-8 form of each character of UTF-16 text, up to `limit` characters
// and the first NUL (where LoadStringA's C string ends); an unpaired
// surrogate becomes an empty entry, which nothing can encode.
std::vector<std::string> SplitCharacters(std::u16string_view text, std::size_t limit)
{
    std::vector<std::string> chars;
    for (std::size_t i = 0; i < text.size() && chars.size() < limit; ++i) {
        char32_t c = text[i];
        if (c == 0)
            break;
        std::string utf8;
        if (c >= kSurrogateFirst && c < kSurrogateEnd) {
            const bool pairs = c < kLowSurrogateFirst && i + 1 < text.size()
                               && text[i + 1] >= kLowSurrogateFirst && text[i + 1] < kSurrogateEnd;
            if (pairs) {
                c = kSupplementaryFirst + ((c - kSurrogateFirst) << kSurrogateBits)
                    + (text[++i] - kLowSurrogateFirst);
                AppendUtf8(utf8, c);
            }
        } else {
            AppendUtf8(utf8, c);
        }
        chars.push_back(std::move(utf8));
    }
    return chars;
}

// Code page 932 bytes of one character, or '?' when it has none.
std::string EncodeCharacter(const std::string& utf8)
{
    if (!utf8.empty())
        if (auto bytes = Utf8ToCp932(utf8))
            return *bytes;
    return std::string(1, kUnmappableChar);
}

// What LoadStringA leaves in a 255-byte buffer, as code page 932 bytes.
std::string ToLoadStringBytes(std::u16string_view text)
{
    // Every character takes at least one byte, so no more than 254 can fit.
    const auto chars = SplitCharacters(text, kMaxStringBytes);
    std::string whole;
    bool complete = true;
    for (const auto& c : chars) {
        complete = complete && !c.empty();
        whole += c;
    }
    std::string bytes;
    if (auto encoded = complete ? Utf8ToCp932(whole) : std::nullopt) {
        bytes = std::move(*encoded);
    } else {
        for (const auto& c : chars)
            bytes += EncodeCharacter(c);
    }
    // Cut at a character boundary.
    std::size_t end = 0;
    while (end < bytes.size()) {
        const std::size_t next = end + SjisCharLength(bytes, end);
        if (next > kMaxStringBytes)
            break;
        end = next;
    }
    bytes.resize(end);
    return bytes;
}

} // namespace

ModuleHandle LoadLibraryA(const std::string& path)
{
    auto module = TPeResources::FromFile(path);
    if (!module)
        return nullptr;
    return new TPeResources(std::move(*module));
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

std::string LoadDataString(unsigned number)
{
    if (DataModule == nullptr)
        return {};
    const auto text = DataModule->FindString(number);
    if (!text)
        return {};
    return Cp932ToUtf8(ToLoadStringBytes(*text));
}

} // namespace koyomi
