#include "version/version.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "koyomi/peresource.h"
#include "version/versioninfo.h"

#include <algorithm>
#include <array>
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

// A value of the fixed part and the number of its text in the string table.
struct TNamed {
    std::uint32_t value;
    int stringId;
};

// The string table holds the unknown language at kStrLanguageBase and the
// languages from kStrLanguageBase + 1, the code pages from kStrCharSetFirst on.

// VS_FF_* flags, in the order their texts are listed.
constexpr std::array<TNamed, 6> kFlags = {{
    {0x01, kStrFileFlagBase + 0},  // VS_FF_DEBUG
    {0x10, kStrFileFlagBase + 1},  // VS_FF_INFOINFERRED
    {0x04, kStrFileFlagBase + 2},  // VS_FF_PATCHED
    {0x02, kStrFileFlagBase + 3},  // VS_FF_PRERELEASE
    {0x08, kStrFileFlagBase + 4},  // VS_FF_PRIVATEBUILD
    {0x20, kStrFileFlagBase + 5},  // VS_FF_SPECIALBUILD
}};

// VOS_* target systems.
constexpr std::array<TNamed, 14> kFileOS = {{
    {0x00000, kStrTargetSystemBase + 0}, {0x10000, kStrTargetSystemBase + 1}, {0x20000, kStrTargetSystemBase + 2},
    {0x30000, kStrTargetSystemBase + 3}, {0x40000, kStrTargetSystemBase + 4}, {0x00001, kStrTargetSystemBase + 5},
    {0x00002, kStrTargetSystemBase + 6}, {0x00003, kStrTargetSystemBase + 7}, {0x00004, kStrTargetSystemBase + 8},
    {0x10001, kStrTargetSystemBase + 9}, {0x10004, kStrTargetSystemBase + 10}, {0x20002, kStrTargetSystemBase + 11},
    {0x30003, kStrTargetSystemBase + 12}, {0x40004, kStrTargetSystemBase + 13},
}};

// VFT_* file types.
constexpr std::uint32_t kTypeDriver = 3;  // VFT_DRV
constexpr std::uint32_t kTypeFont = 4;    // VFT_FONT
constexpr std::array<TNamed, 7> kFileTypes = {{
    {0, kStrFileTypeBase + 0}, {1, kStrFileTypeBase + 1}, {2, kStrFileTypeBase + 2}, {kTypeDriver, kStrFileTypeBase + 3},
    {kTypeFont, kStrFileTypeBase + 4}, {5, kStrFileTypeBase + 5}, {7, kStrFileTypeBase + 6},
}};

// VFT2_DRV_* kinds of device driver, 0-10, and VFT2_FONT_* kinds of font, 0-3.
constexpr std::uint32_t kDriverKinds = 11;
constexpr std::uint32_t kFontKinds = 4;

// Language identifiers of the language table, entry 1 first.
constexpr std::array<std::uint16_t, TVersion::kLanguageCount> kLanguages = {
    0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408, 0x0409, 0x040A, 0x040B, 0x040C,
    0x040D, 0x040E, 0x040F, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418,
    0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0804, 0x0807, 0x0809,
    0x080A, 0x080C, 0x0810, 0x0813, 0x0814, 0x0816, 0x081A, 0x0C0C, 0x100C,
};

// Code pages of the character-set table, entry 1 first.
constexpr std::array<std::uint16_t, TVersion::kCharSetCount> kCharSets = {
    0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256,
};

template <std::size_t N>
std::string NameOf(const std::array<TNamed, N>& table, std::uint32_t value)
{
    for (const TNamed& entry : table)
        if (entry.value == value)
            return LoadStr(entry.stringId);
    return {};
}

// The 1-based index of `value` in `table`, 0 when it is not there.
template <std::size_t N>
int IndexOf(const std::array<std::uint16_t, N>& table, std::uint16_t value)
{
    const auto it = std::find(table.begin(), table.end(), value);
    return it == table.end() ? 0 : static_cast<int>(it - table.begin()) + 1;
}

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

std::string TVersion::GetFileFlagString() const
{
    const std::uint32_t flags = GetFileFlags();
    std::string text;
    for (const TNamed& flag : kFlags) {
        if ((flags & flag.value) == 0)
            continue;
        if (!text.empty())
            text += ',';
        text += LoadStr(flag.stringId);
    }
    return text;
}

std::string TVersion::GetFileOSString() const
{
    return NameOf(kFileOS, GetFileOS());
}

std::string TVersion::GetFileTypeString() const
{
    return NameOf(kFileTypes, GetFileType());
}

std::string TVersion::GetSubTypeString() const
{
    if (!FLoaded)
        return {};
    const std::uint32_t kind = GetSubType();
    switch (GetFileType()) {
    case kTypeDriver:
        return kind < kDriverKinds ? LoadStr(kStrDriverBase + static_cast<int>(kind)) : std::string();
    case kTypeFont:
        return kind < kFontKinds ? LoadStr(kStrFontBase + static_cast<int>(kind)) : std::string();
    default:
        return {};
    }
}

std::string TVersion::GetLanguage() const
{
    if (!FLoaded)
        return LoadStr(kStrLanguageBase);
    if (FTranslationKey.empty())
        return {};  // a block without translation names no language
    return LanguageName(IndexOf(kLanguages, FLanguage));
}

std::string TVersion::GetCharSet() const
{
    if (!FLoaded || FTranslationKey.empty())
        return {};
    return CharSetName(IndexOf(kCharSets, FCodePage));
}

std::string TVersion::LanguageName(int index)
{
    if (index < 1 || index > kLanguageCount)
        return {};
    return LoadStr(kStrLanguageBase + index);
}

std::string TVersion::CharSetName(int index)
{
    if (index < 1 || index > kCharSetCount)
        return {};
    return LoadStr(kStrCharSetFirst + index - 1);
}

} // namespace mirvo
