// TVersion: the version information of a program file, its texts and its
// fixed part, as the about box and the window titles show them. No Qt.
//
// Where the information comes from (what GetFileVersionInfo reads on Windows):
// - the running program: the block the build compiled into it (made from
//   cmake/Version.cmake);
// - a Windows PE file (a DLL such as Kosmera.dat, an .exe): its version
//   resource, type 16 name 1;
// - any other file, or one that cannot be read: nothing, and every query
//   gives the empty text or 0.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirvo {

// The version block compiled into the program.
std::span<const std::uint8_t> ProgramVersionBlock();

// The running program's own file, for TVersion (on Linux the link
// /proc/self/exe, which names the program even after it was replaced on disk).
std::filesystem::path ProgramFile();

class TVersion final {
public:
    // Number of entries of the tables of LanguageName and CharSetName.
    static constexpr int kLanguageCount = 45;
    static constexpr int kCharSetCount = 12;

    // Reads the version information of `fileName` (see above). Never throws
    // for a missing, unreadable or damaged file: it is then not loaded.
    explicit TVersion(const std::filesystem::path& fileName);
    // Reads a block held in memory; the bytes are copied.
    explicit TVersion(std::span<const std::uint8_t> block);

    // Whether a version block was read.
    bool Loaded() const { return FLoaded; }
    // Bytes of the block, 0-65535; 0 when nothing was read.
    std::uint16_t Size() const { return FSize; }

    // The first translation: language identifier (0x0411 Japanese) and code
    // page (932); 0 when the block has none.
    std::uint16_t Language() const { return FLanguage; }
    std::uint16_t CodePage() const { return FCodePage; }
    // Key of the string table read: "041103A4"; empty when the block has no translation.
    const std::string& TranslationKey() const { return FTranslationKey; }

    // The value (UTF-8) of key `name` in the string table of the first
    // translation, up to its first zero; empty when missing or empty.
    std::string GetStrInfo(std::string_view name) const;

    std::string GetComment() const { return GetStrInfo("Comments"); }
    std::string GetCompanyName() const { return GetStrInfo("CompanyName"); }
    std::string GetFileDescription() const { return GetStrInfo("FileDescription"); }
    std::string GetFileVersion() const { return GetStrInfo("FileVersion"); }
    std::string GetFileVerStr() const { return GetStrInfo("FileVersion"); }
    std::string GetInternalName() const { return GetStrInfo("InternalName"); }
    std::string GetLegalCopyright() const { return GetStrInfo("LegalCopyright"); }
    std::string GetLegalTradeMarks() const { return GetStrInfo("LegalTrademarks"); }
    std::string GetOriginalFilename() const { return GetStrInfo("OriginalFilename"); }
    std::string GetPrivateBuild() const { return GetStrInfo("PrivateBuild"); }
    std::string GetProductName() const { return GetStrInfo("ProductName"); }
    std::string GetProductVersion() const { return GetStrInfo("ProductVersion"); }
    std::string GetProductVerStr() const { return GetStrInfo("ProductVersion"); }
    std::string GetSpecialBuild() const { return GetStrInfo("SpecialBuild"); }

    // The fixed part; each 0 when nothing is loaded or the block has no sound
    // fixed part. GetFileFlags is the flags with the flag mask applied.
    std::uint32_t GetFileFlags() const;
    std::uint32_t GetFileOS() const;
    std::uint32_t GetFileType() const;
    std::uint32_t GetSubType() const;

    // The fixed part in words (texts of the program's string table):
    // the set flags, in the order debug, patched by build, patched, pre-release,
    // private, special, joined by commas; empty when none is set.
    std::string GetFileFlagString() const;
    // The target system; empty for a value not in the table.
    std::string GetFileOSString() const;
    // The file type; empty for a value not in the table.
    std::string GetFileTypeString() const;
    // The kind of device driver (type 3) or font (type 4); empty for other
    // types, unknown kinds and when nothing is loaded.
    std::string GetSubTypeString() const;

    // The name of the first translation's language: "未定義の言語" when
    // nothing is loaded, empty for a block without translation or a
    // language not in the table.
    std::string GetLanguage() const;
    // The name of its code page; empty when nothing is loaded, for a block
    // without translation or a code page not in the table.
    std::string GetCharSet() const;
    // The name of table entry `index`, 1-kLanguageCount / 1-kCharSetCount;
    // empty outside.
    static std::string LanguageName(int index);
    static std::string CharSetName(int index);

private:
    void Load(std::vector<std::uint8_t> block);
    void GetLangCharSet();
    // Field `index` (0-12) of the fixed part, 0 when there is none.
    std::uint32_t FixedField(int index) const;

    bool FLoaded = false;
    std::vector<std::uint8_t> FBlock;
    std::uint16_t FSize = 0;
    std::uint16_t FLanguage = 0;
    std::uint16_t FCodePage = 0;
    std::string FTranslationKey;
};

} // namespace mirvo
