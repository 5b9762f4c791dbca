#include "koyomi/peresource.h"

#include "base/utf8.h"
#include "base/wholefile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace koyomi {

namespace {

// Offsets and sizes of the PE file format, as Microsoft documents it for PE/COFF files.
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffsetField = 0x3C;  // e_lfanew
constexpr std::size_t kPeSignatureSize = 4;          // "PE\0\0"
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kCoffSectionCount = 2;
constexpr std::size_t kCoffOptionalHeaderSize = 16;
constexpr std::size_t kCoffCharacteristics = 18;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kRvaCountPe32 = 92;       // NumberOfRvaAndSizes in the optional header
constexpr std::size_t kRvaCountPe32Plus = 108;
constexpr std::size_t kDataDirectorySize = 8;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kSectionVirtualAddress = 12;
constexpr std::size_t kSectionRawSize = 16;
constexpr std::size_t kSectionRawOffset = 20;

// Resource directory layout.
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryNamedCount = 12;
constexpr std::size_t kDirectoryIdCount = 14;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;  // name is a string / entry is a subdirectory

constexpr unsigned kStringsPerBlock = 16;
constexpr unsigned kMaxResourceNumber = 0xFFFF;

bool Fits(std::size_t offset, std::size_t length, std::size_t size)
{
    return offset <= size && length <= size - offset;
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
           | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

char16_t AsciiUpper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

} // namespace

ResourceId::ResourceId(std::string_view name) : FIsNumber(false), FName(name)
{
    // "#123" is how Windows writes a numbered resource as a name.
    if (name.size() >= 2 && name.size() <= 6 && name[0] == '#'
        && std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const unsigned long value = std::stoul(std::string(name.substr(1)));
        if (value <= kMaxResourceNumber) {
            FIsNumber = true;
            FNumber = static_cast<std::uint16_t>(value);
            FName.clear();
        }
    }
}

std::optional<TPeResources> TPeResources::FromFile(const std::string& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileSize)
        return std::nullopt;
    const auto text = mirvo::ReadWholeFile(PathFromUtf8(path));
    if (!text || text->size() != size)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(text->size());
    if (!text->empty())
        std::memcpy(bytes.data(), text->data(), text->size());
    return FromBytes(std::move(bytes));
}

std::optional<TPeResources> TPeResources::FromBytes(std::vector<std::uint8_t> bytes)
{
    if (bytes.size() > kMaxFileSize)
        return std::nullopt;
    TPeResources pe(std::move(bytes));
    if (!pe.ParseHeaders())
        return std::nullopt;
    return pe;
}

bool TPeResources::ParseHeaders()
{
    const std::span<const std::uint8_t> b(FBytes);
    const std::size_t size = b.size();
    if (size < kDosHeaderSize || b[0] != 'M' || b[1] != 'Z')
        return false;
    const std::size_t peOffset = U32(b, kNewHeaderOffsetField);
    if (!Fits(peOffset, kPeSignatureSize + kCoffHeaderSize, size))
        return false;
    if (b[peOffset] != 'P' || b[peOffset + 1] != 'E' || b[peOffset + 2] != 0 || b[peOffset + 3] != 0)
        return false;

    const std::size_t coff = peOffset + kPeSignatureSize;
    const std::size_t sectionCount = U16(b, coff + kCoffSectionCount);
    const std::size_t optionalSize = U16(b, coff + kCoffOptionalHeaderSize);
    FIsDll = (U16(b, coff + kCoffCharacteristics) & kFileDll) != 0;
    const std::size_t optional = coff + kCoffHeaderSize;
    if (optionalSize < sizeof(std::uint16_t) || !Fits(optional, optionalSize, size))
        return false;

    const std::uint16_t magic = U16(b, optional);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus)
        return false;
    FIs64Bit = magic == kMagicPe32Plus;
    const std::size_t rvaCountField = FIs64Bit ? kRvaCountPe32Plus : kRvaCountPe32;
    if (optionalSize < rvaCountField + sizeof(std::uint32_t))
        return false;
    const std::size_t directories = rvaCountField + sizeof(std::uint32_t);
    const std::uint32_t rvaCount = U32(b, optional + rvaCountField);

    const std::size_t sectionTable = optional + optionalSize;
    if (!Fits(sectionTable, sectionCount * kSectionHeaderSize, size))
        return false;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t s = sectionTable + i * kSectionHeaderSize;
        const std::uint32_t rawOffset = U32(b, s + kSectionRawOffset);
        std::uint32_t rawSize = U32(b, s + kSectionRawSize);
        if (rawOffset >= size)
            rawSize = 0;
        else
            rawSize = static_cast<std::uint32_t>(std::min<std::size_t>(rawSize, size - rawOffset));
        FSections.push_back({U32(b, s + kSectionVirtualAddress), rawSize, rawOffset});
    }

    // No resource directory entry: a valid module whose look-ups find nothing.
    const std::size_t entry = directories + kResourceDirectoryIndex * kDataDirectorySize;
    if (rvaCount <= kResourceDirectoryIndex || optionalSize < entry + kDataDirectorySize)
        return true;
    const std::uint32_t resourceRva = U32(b, optional + entry);
    if (resourceRva == 0)
        return true;
    if (const auto place = MapRva(resourceRva)) {
        FResourceOffset = place->offset;
        FResourceLength = place->available;
    }
    return true;
}

std::optional<TPeResources::TPlace> TPeResources::MapRva(std::uint32_t rva) const
{
    for (const TSection& s : FSections) {
        if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
            const std::uint32_t delta = rva - s.virtualAddress;
            return TPlace{static_cast<std::size_t>(s.rawOffset) + delta, s.rawSize - delta};
        }
    }
    return std::nullopt;
}

std::span<const std::uint8_t> TPeResources::Resources() const
{
    return std::span<const std::uint8_t>(FBytes).subspan(FResourceOffset, FResourceLength);
}

bool TPeResources::NameMatches(std::uint32_t nameField, const ResourceId& id) const
{
    if (id.IsNumber())
        return nameField == id.Number();
    if ((nameField & kHighBit) == 0)
        return false;
    const auto r = Resources();
    const std::size_t at = nameField & ~kHighBit;
    if (!Fits(at, sizeof(std::uint16_t), r.size()))
        return false;
    const std::size_t length = U16(r, at);
    const std::string& want = id.Name();
    if (length != want.size() || !Fits(at + sizeof(std::uint16_t), length * sizeof(char16_t), r.size()))
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        const auto stored = static_cast<char16_t>(U16(r, at + sizeof(std::uint16_t) + i * sizeof(char16_t)));
        const auto asked = static_cast<char16_t>(static_cast<unsigned char>(want[i]));
        if (AsciiUpper(stored) != AsciiUpper(asked))
            return false;
    }
    return true;
}

// The offset field of the first entry of `directory` whose name matches `id`
// (any entry when `id` is null) and which leads to a subdirectory when
// `wantDirectory`, to a data entry otherwise; the flag bit is removed.
std::optional<std::uint32_t> TPeResources::FindEntry(std::uint32_t directory, const ResourceId* id,
                                                     bool wantDirectory) const
{
    const auto r = Resources();
    if (!Fits(directory, kDirectoryHeaderSize, r.size()))
        return std::nullopt;
    const std::size_t count = std::size_t{U16(r, directory + kDirectoryNamedCount)}
                              + U16(r, directory + kDirectoryIdCount);
    const std::size_t first = directory + kDirectoryHeaderSize;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = first + i * kDirectoryEntrySize;
        if (!Fits(e, kDirectoryEntrySize, r.size()))
            break;
        const std::uint32_t offset = U32(r, e + sizeof(std::uint32_t));
        if (((offset & kHighBit) != 0) != wantDirectory)
            continue;
        if (id == nullptr || NameMatches(U32(r, e), *id))
            return offset & ~kHighBit;
    }
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>> TPeResources::Find(const ResourceId& type,
                                                                const ResourceId& name) const
{
    const auto typeDir = FindEntry(0, &type, true);
    if (!typeDir)
        return std::nullopt;
    const auto nameDir = FindEntry(*typeDir, &name, true);
    if (!nameDir)
        return std::nullopt;
    const auto data = FindEntry(*nameDir, nullptr, false);
    const auto r = Resources();
    if (!data || !Fits(*data, kDataEntrySize, r.size()))
        return std::nullopt;
    const std::uint32_t dataRva = U32(r, *data);
    const std::uint32_t dataSize = U32(r, *data + sizeof(std::uint32_t));
    const auto place = MapRva(dataRva);
    if (!place || dataSize > place->available)
        return std::nullopt;
    return std::span<const std::uint8_t>(FBytes).subspan(place->offset, dataSize);
}

std::optional<std::u16string> TPeResources::FindString(unsigned number) const
{
    const unsigned block = number / kStringsPerBlock + 1;
    if (block > kMaxResourceNumber)
        return std::nullopt;
    const auto bytes = Find(kRtString, static_cast<std::uint16_t>(block));
    if (!bytes)
        return std::nullopt;
    const auto b = *bytes;
    std::size_t at = 0;
    for (unsigned i = 0; i < number % kStringsPerBlock; ++i) {
        if (!Fits(at, sizeof(std::uint16_t), b.size()))
            return std::nullopt;
        at += sizeof(std::uint16_t) + std::size_t{U16(b, at)} * sizeof(char16_t);
    }
    if (!Fits(at, sizeof(std::uint16_t), b.size()))
        return std::nullopt;
    const std::size_t length = U16(b, at);
    at += sizeof(std::uint16_t);
    if (length == 0 || !Fits(at, length * sizeof(char16_t), b.size()))
        return std::nullopt;
    std::u16string text(length, u'\0');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char16_t>(U16(b, at + i * sizeof(char16_t)));
    return text;
}

} // namespace koyomi
