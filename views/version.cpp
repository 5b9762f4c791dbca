#include "views/version.h"

#include "koyomi/peresource.h"
#include "views/versioninfo.h"

#include <algorithm>
#include <optional>
#include <system_error>

extern const unsigned char mirvo_version_block[];
extern const std::size_t mirvo_version_block_size;

namespace mirvo {

namespace {

constexpr std::uint16_t kVersionResourceName = 1;  // VS_VERSION_INFO
const char* const kRootPath = "\\";
const char* const kTranslationPath = "\\VarFileInfo\\Translation";
const char* const kStringFileInfoPath = "\\StringFileInfo\\";

// Fields of VS_FIXEDFILEINFO, by index of their 32-bit word.
constexpr int kFieldSignature = 0;
constexpr int kFieldFlagsMask = 6;
constexpr int kFieldFlags = 7;
constexpr int kFieldOS = 8;
constexpr int kFieldType = 9;
constexpr int kFieldSubtype = 10;
constexpr std::size_t kFieldSize = 4;  // bytes

std::uint32_t Get32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8
           | static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

bool IsRunningProgram(const std::filesystem::path& fileName)
{
    std::error_code ec;
    return std::filesystem::equivalent(fileName, ProgramFile(), ec) && !ec;
}

// The bytes that hold the version information of `fileName` (GetFileVersionInfo
// reads them); empty when there are none.
std::vector<std::uint8_t> FileVersionBytes(const std::filesystem::path& fileName)
{
    if (IsRunningProgram(fileName)) {
        const std::span<const std::uint8_t> own = ProgramVersionBlock();
        return {own.begin(), own.end()};
    }
    const std::optional<koyomi::TPeResources> pe = koyomi::TPeResources::FromFile(fileName.string());
    if (!pe)
        return {};
    const auto resource = pe->Find(koyomi::kRtVersion, kVersionResourceName);
    if (!resource)
        return {};
    return {resource->begin(), resource->end()};
}

} // namespace

std::span<const std::uint8_t> ProgramVersionBlock()
{
    return {mirvo_version_block, mirvo_version_block_size};
}

std::filesystem::path ProgramFile()
{
    return "/proc/self/exe";
}

TVersion::TVersion(const std::filesystem::path& fileName)
{
    Load(FileVersionBytes(fileName));
}

TVersion::TVersion(std::span<const std::uint8_t> block)
{
    Load({block.begin(), block.end()});
}

void TVersion::Load(std::vector<std::uint8_t> bytes)
{
    // As GetFileVersionInfoSize and GetFileVersionInfo: the size the block's
    // root gives, then a zero-filled buffer of that size with the block in it.
    FSize = VersionBlockSize(bytes);
    if (FSize == 0)
        return;
    FBlock.assign(FSize, 0);
    std::copy_n(bytes.begin(), FSize, FBlock.begin());
    FLoaded = true;
    GetLangCharSet();
}

void TVersion::GetLangCharSet()
{
    // The first (language, code page) pair; a block without one has no
    // string table that could be named, so its texts stay empty.
    const std::optional<TVersionValue> value = QueryVersionValue(FBlock, kTranslationPath);
    if (!value || value->bytes.size() < kFieldSize)
        return;
    const std::uint32_t pair = Get32(value->bytes, 0);
    FLanguage = static_cast<std::uint16_t>(pair & 0xFFFF);
    FCodePage = static_cast<std::uint16_t>(pair >> 16);
    FTranslationKey = mirvo::TranslationKey(FLanguage, FCodePage);
}

std::string TVersion::GetStrInfo(std::string_view name) const
{
    if (!FLoaded || FTranslationKey.empty())
        return {};
    const std::string path = kStringFileInfoPath + FTranslationKey + "\\" + std::string(name);
    const std::optional<TVersionValue> value = QueryVersionValue(FBlock, path);
    if (!value || value->length == 0)
        return {};
    return Utf16LeToUtf8(value->bytes);
}

std::uint32_t TVersion::FixedField(int index) const
{
    if (!FLoaded)
        return 0;
    const std::optional<TVersionValue> value = QueryVersionValue(FBlock, kRootPath);
    if (!value || value->bytes.size() < TFixedFileInfo::kSize
        || Get32(value->bytes, kFieldSignature * kFieldSize) != TFixedFileInfo::kSignature)
        return 0;
    return Get32(value->bytes, static_cast<std::size_t>(index) * kFieldSize);
}

std::uint32_t TVersion::GetFileFlags() const
{
    return FixedField(kFieldFlags) & FixedField(kFieldFlagsMask);
}

std::uint32_t TVersion::GetFileOS() const
{
    return FixedField(kFieldOS);
}

std::uint32_t TVersion::GetFileType() const
{
    return FixedField(kFieldType);
}

std::uint32_t TVersion::GetSubType() const
{
    return FixedField(kFieldSubtype);
}

} // namespace mirvo
