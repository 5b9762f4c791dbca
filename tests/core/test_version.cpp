// TVersion: the program's own version information, the version resource of
// a data file made by mkkosmera's writer, and files without any.
#include "tools/mkkosmera/peimage.h"
#include "tools/mkkosmera/resourcesection.h"
#include "version/appinfo.h"
#include "version/version.h"
#include "version/versioninfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <unistd.h>

using mirvo::TVersion;

namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kRtVersion = 16;
constexpr std::uint16_t kVersionName = 1;

// A folder of its own for the files of one test, removed afterwards.
class VersionFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        FDir = fs::temp_directory_path() / ("mirvo-version-" + std::to_string(::getpid()) + "-" + info->name());
        fs::create_directories(FDir);
    }
    void TearDown() override { fs::remove_all(FDir); }

    fs::path Write(const std::string& name, const TBytes& bytes) const
    {
        const fs::path path = FDir / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    fs::path FDir;
};

// What a maker other than us might put into a DLL: a debug, pre-release
// build for 32-bit Windows on NT.
mirvo::TVersionSource DllSource()
{
    mirvo::TVersionSource s;
    std::tie(s.fixed.fileVersionMS, s.fixed.fileVersionLS) = mirvo::PackVersionNumber("2.0.1.7");
    std::tie(s.fixed.productVersionMS, s.fixed.productVersionLS) = mirvo::PackVersionNumber("2.0.0.0");
    s.fixed.fileFlagsMask = 0x3F;
    s.fixed.fileFlags = 0x01 | 0x02;
    s.fixed.fileOS = 0x40004;
    s.fixed.fileType = 2;
    s.language = 0x0411;
    s.codePage = 932;
    s.strings = {{"CompanyName", "暦工房"},        {"FileDescription", "暦ライブラリ"},
                 {"FileVersion", "2.0.1.7"},       {"InternalName", "Kosmera"},
                 {"LegalCopyright", "(C) 暦工房"}, {"LegalTrademarks", ""},
                 {"OriginalFilename", "Kosmera.dat"}, {"ProductName", "Kosmera"},
                 {"ProductVersion", "2.0.0.0"},    {"Comments", "試験用"},
                 {"PrivateBuild", "試作"},         {"SpecialBuild", "特別"}};
    return s;
}

TBytes DllWith(const TBytes& versionBlock)
{
    kosmera::TResourceSection resources;
    resources.Add("KOSMERA", "KOYOMI", kosmera::kLangJapanese, {0, 0, 0, 0});
    if (!versionBlock.empty())
        resources.Add(kRtVersion, kVersionName, kosmera::kLangJapanese, versionBlock);
    return kosmera::BuildResourceDll(resources);
}

void ExpectNothingLoaded(const TVersion& v)
{
    EXPECT_FALSE(v.Loaded());
    EXPECT_EQ(v.Size(), 0);
    EXPECT_EQ(v.TranslationKey(), "");
    for (const std::string& text : {v.GetComment(), v.GetCompanyName(), v.GetFileDescription(), v.GetFileVersion(),
                                    v.GetInternalName(), v.GetLegalCopyright(), v.GetOriginalFilename(),
                                    v.GetProductName(), v.GetProductVersion(), v.GetStrInfo("FileDescription")})
        EXPECT_EQ(text, "");
    EXPECT_EQ(v.GetFileFlags(), 0u);
    EXPECT_EQ(v.GetFileOS(), 0u);
    EXPECT_EQ(v.GetFileType(), 0u);
    EXPECT_EQ(v.GetSubType(), 0u);
}

} // namespace

// The block the build made from cmake/Version.cmake and compiled in.
TEST(ProgramVersion, TheProgramCarriesItsOwnVersionInformation)
{
    const TVersion v(mirvo::ProgramFile());
    ASSERT_TRUE(v.Loaded());
    EXPECT_EQ(v.Size(), mirvo::ProgramVersionBlock().size());
    EXPECT_EQ(v.Language(), 0x0411);
    EXPECT_EQ(v.CodePage(), 932);
    EXPECT_EQ(v.TranslationKey(), "041103A4");
    EXPECT_EQ(v.GetFileDescription(), "今日のミルボ");
    EXPECT_EQ(v.GetFileVersion(), "1.3.3.142");
    EXPECT_EQ(v.GetFileVerStr(), "1.3.3.142");
    EXPECT_EQ(v.GetProductName(), "Today Mirvo");
    // The product is at the same version as its program file.
    EXPECT_EQ(v.GetProductVersion(), "1.3.3.142");
    EXPECT_EQ(v.GetProductVerStr(), "1.3.3.142");
    EXPECT_EQ(v.GetCompanyName(), "The TodayMirvo developers");
    EXPECT_EQ(v.GetInternalName(), "TodayMirvo");
#ifdef _WIN32
    EXPECT_EQ(v.GetOriginalFilename(), "TodayMirvo.exe");
#else
    EXPECT_EQ(v.GetOriginalFilename(), "TodayMirvo");
#endif
    EXPECT_EQ(v.GetLegalCopyright(), "Copyright (C) 2026 The TodayMirvo developers");
    EXPECT_EQ(v.GetLegalTradeMarks(), "");
    EXPECT_NE(v.GetComment().find("Kosmera.dat"), std::string::npos) << v.GetComment();
    EXPECT_EQ(v.GetPrivateBuild(), "");
    EXPECT_EQ(v.GetSpecialBuild(), "");
    EXPECT_EQ(v.GetFileType(), 1u);  // an application
    EXPECT_EQ(v.GetFileFlags(), 0u);
    // The program's description, for every window title, comes from there.
    EXPECT_EQ(mirvo::AppFileDescription(), "今日のミルボ");
}

TEST_F(VersionFiles, ReadsTheVersionResourceOfADataFile)
{
    const fs::path dll = Write("Kosmera.dat", DllWith(mirvo::BuildVersionInfo(DllSource())));
    const TVersion v(dll);
    ASSERT_TRUE(v.Loaded());
    EXPECT_EQ(v.TranslationKey(), "041103A4");
    EXPECT_EQ(v.GetCompanyName(), "暦工房");
    EXPECT_EQ(v.GetFileDescription(), "暦ライブラリ");
    EXPECT_EQ(v.GetFileVersion(), "2.0.1.7");
    EXPECT_EQ(v.GetInternalName(), "Kosmera");
    EXPECT_EQ(v.GetLegalCopyright(), "(C) 暦工房");
    EXPECT_EQ(v.GetLegalTradeMarks(), "");
    EXPECT_EQ(v.GetOriginalFilename(), "Kosmera.dat");
    EXPECT_EQ(v.GetProductName(), "Kosmera");
    EXPECT_EQ(v.GetProductVersion(), "2.0.0.0");
    EXPECT_EQ(v.GetComment(), "試験用");
    EXPECT_EQ(v.GetPrivateBuild(), "試作");
    EXPECT_EQ(v.GetSpecialBuild(), "特別");
    EXPECT_EQ(v.GetFileFlags(), 0x03u);
    EXPECT_EQ(v.GetFileOS(), 0x40004u);
    EXPECT_EQ(v.GetFileType(), 2u);
}

TEST_F(VersionFiles, FlagsOutsideTheMaskDoNotCount)
{
    mirvo::TVersionSource s = DllSource();
    s.fixed.fileFlagsMask = 0x01;
    const TVersion v(Write("masked.dll", DllWith(mirvo::BuildVersionInfo(s))));
    EXPECT_EQ(v.GetFileFlags(), 0x01u);
}

TEST_F(VersionFiles, FilesWithoutVersionInformationGiveEmptyResults)
{
    ExpectNothingLoaded(TVersion(Write("plain.dll", DllWith({}))));
    ExpectNothingLoaded(TVersion(Write("notes.txt", TBytes{'h', 'e', 'l', 'l', 'o', '\n'})));
    ExpectNothingLoaded(TVersion(Write("empty", TBytes{})));
    ExpectNothingLoaded(TVersion(FDir / "missing.dll"));
    ExpectNothingLoaded(TVersion(FDir));  // a folder
    // A version resource that is not a version block.
    ExpectNothingLoaded(TVersion(Write("junk.dll", DllWith(TBytes(64, 0xFF)))));
}

TEST_F(VersionFiles, ABlockWithoutTranslationHasNoTexts)
{
    TBytes block = mirvo::BuildVersionInfo(DllSource());
    // Rename "VarFileInfo" so that the translation cannot be found.
    const std::u16string key = u"VarFileInfo";
    const auto at = std::search(block.begin(), block.end(), reinterpret_cast<const std::uint8_t*>(key.data()),
                                reinterpret_cast<const std::uint8_t*>(key.data() + key.size()));
    ASSERT_NE(at, block.end());
    *at = 'W';
    const TVersion v(block);
    EXPECT_TRUE(v.Loaded());
    EXPECT_EQ(v.TranslationKey(), "");
    EXPECT_EQ(v.GetFileDescription(), "");
    EXPECT_EQ(v.GetFileType(), 2u);  // the fixed part does not need it
}

TEST_F(VersionFiles, TextsOfTheFixedPartAndTheTranslation)
{
    const TVersion dll(Write("Kosmera.dat", DllWith(mirvo::BuildVersionInfo(DllSource()))));
    // Flags 0x01 and 0x02: debug, then pre-release, in the table's order, no final comma.
    EXPECT_EQ(dll.GetFileFlagString(), "デバッグ情報あり,開発途中バージョン");
    EXPECT_EQ(dll.GetFileOSString(), "32bit Windows on NT");
    EXPECT_EQ(dll.GetFileTypeString(), "ダイナミックリンクライブラリ");
    EXPECT_EQ(dll.GetSubTypeString(), "");
    EXPECT_EQ(dll.GetLanguage(), "日本語");
    EXPECT_EQ(dll.GetCharSet(), "日本");

    mirvo::TVersionSource s = DllSource();
    s.fixed.fileFlags = 0x3F;
    s.fixed.fileOS = 0x40001;  // not in the table
    s.fixed.fileType = 6;      // not in the table
    s.language = 0x0409;
    s.codePage = 1252;
    const TVersion other(mirvo::BuildVersionInfo(s));
    EXPECT_EQ(other.GetFileFlagString(), "デバッグ情報あり,バージョン情報は動的に生成,ファイルは修正を加えられている,"
                                         "開発途中バージョン,私家版,特別バージョン");
    EXPECT_EQ(other.GetFileOSString(), "");
    EXPECT_EQ(other.GetFileTypeString(), "");
    EXPECT_EQ(other.GetLanguage(), "アメリカ英語");
    EXPECT_EQ(other.GetCharSet(), "多言語");
    EXPECT_EQ(other.TranslationKey(), "040904E4");

    s.language = 0x0C0A;  // modern Spanish: not among the 45
    s.codePage = 437;
    const TVersion unknown(mirvo::BuildVersionInfo(s));
    EXPECT_EQ(unknown.GetLanguage(), "");
    EXPECT_EQ(unknown.GetCharSet(), "");
}

TEST_F(VersionFiles, DriverAndFontKinds)
{
    mirvo::TVersionSource s = DllSource();
    const std::tuple<std::uint32_t, std::uint32_t, const char*> cases[] = {
        {3, 0, "不明なデバイスドライバ"}, {3, 2, "キーボードドライバ"}, {3, 10, "COM ポートドライバ"},
        {3, 11, ""},                      {4, 0, "認識不明なフォント"}, {4, 3, "TrueType フォント"},
        {4, 4, ""},                       {1, 3, ""},
    };
    for (const auto& [type, kind, text] : cases) {
        s.fixed.fileType = type;
        s.fixed.fileSubtype = kind;
        EXPECT_EQ(TVersion(mirvo::BuildVersionInfo(s)).GetSubTypeString(), text) << type << "/" << kind;
    }
}

TEST(VersionTexts, NothingLoaded)
{
    const TVersion none(std::span<const std::uint8_t>{});
    EXPECT_EQ(none.GetFileFlagString(), "");
    EXPECT_EQ(none.GetSubTypeString(), "");
    EXPECT_EQ(none.GetLanguage(), "未定義の言語");
    EXPECT_EQ(none.GetCharSet(), "");
    // Nothing loaded reads as system and type 0, which the tables name.
    EXPECT_EQ(none.GetFileOSString(), "未定義");
    EXPECT_EQ(none.GetFileTypeString(), "未定義");
}

TEST(VersionTexts, TableEntriesByIndex)
{
    EXPECT_EQ(TVersion::LanguageName(1), "アラビア語");
    EXPECT_EQ(TVersion::LanguageName(17), "日本語");
    EXPECT_EQ(TVersion::LanguageName(45), "スイス系フランス語");
    EXPECT_EQ(TVersion::CharSetName(1), "7bit ASCII");
    EXPECT_EQ(TVersion::CharSetName(2), "日本");
    EXPECT_EQ(TVersion::CharSetName(12), "アラビア語");
    for (int outside : {0, -1, 46})
        EXPECT_EQ(TVersion::LanguageName(outside), "") << outside;
    for (int outside : {0, 13})
        EXPECT_EQ(TVersion::CharSetName(outside), "") << outside;
    // Every entry has its text.
    for (int i = 1; i <= TVersion::kLanguageCount; ++i)
        EXPECT_FALSE(TVersion::LanguageName(i).empty()) << i;
    for (int i = 1; i <= TVersion::kCharSetCount; ++i)
        EXPECT_FALSE(TVersion::CharSetName(i).empty()) << i;
}
