#include "base/error.h"
#include "base/sjis.h"
#include "base/wholefile.h"
#include "members/options.h"

#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace mirvo;
namespace fs = std::filesystem;

namespace {

// The folder separator LastFolder ends with, and the line end of a settings
// file the program writes: Windows' own there.
constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);
#ifdef _WIN32
const std::string kLineEnd = "\r\n";
#else
const std::string kLineEnd = "\n";
#endif

class OptionsTest : public ::testing::Test {
protected:
    TMirvoOptions Loaded() const
    {
        TMirvoOptions options(FIni, FDir);
        options.LoadFromIni();
        return options;
    }
    void Write(const std::string& bytes) const { std::ofstream(FIni, std::ios::binary) << bytes; }
    std::string Bytes() const { return ReadWholeFile(FIni).value_or("<missing>"); }

    const testsupport::TScratchFolder FScratch{"mirvo-options-"};
    const fs::path FDir = FScratch.Path();
    const fs::path FIni = FDir / "TodayMirvo.ini";
};

void ExpectSameSettings(const TMirvoOptions& a, const TMirvoOptions& b)
{
    EXPECT_EQ(a.DefaultUserIndex, b.DefaultUserIndex);
    EXPECT_EQ(a.BioCycle, b.BioCycle);
    EXPECT_EQ(a.PlanetWeight, b.PlanetWeight);
    EXPECT_EQ(a.PlanetUse, b.PlanetUse);
    EXPECT_EQ(a.LastFolder, b.LastFolder);
    EXPECT_EQ(a.WindowLeft, b.WindowLeft);
    EXPECT_EQ(a.WindowTop, b.WindowTop);
}

} // namespace

TEST_F(OptionsTest, NewObjectAndDefaultsWithoutAFile)
{
    const TMirvoOptions fresh(FIni, FDir);
    EXPECT_EQ(fresh.DefaultUserIndex, -1);
    EXPECT_EQ(fresh.BioCycle, (TCycleLengths{0, 0, 0}));
    EXPECT_EQ(fresh.PlanetUse, TPlanetUses{});
    EXPECT_EQ(fresh.LastFolder, FDir.string() + kSeparator);

    const TMirvoOptions options = Loaded();
    EXPECT_EQ(options.BioCycle, (TCycleLengths{23, 28, 33}));
    EXPECT_EQ(options.PlanetWeight, (TPlanetWeights{2, 1.5f, 1, 1, 1, 1, 1, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(options.PlanetUse, (TPlanetUses{true, true, true, true, true, true, true, false, false, false}));
    EXPECT_EQ(options.DefaultUserIndex, -1);
    EXPECT_EQ(options.WindowLeft, 0);
    EXPECT_EQ(options.WindowTop, 0);
    EXPECT_EQ(options.LastFolder, FDir.string() + kSeparator);
    EXPECT_FALSE(fs::exists(FIni));
}

TEST_F(OptionsTest, HandWrittenFile)
{
    fs::copy_file(fs::path(MIRVO_TEST_DATA_DIR) / "members" / "handwritten.ini", FIni);
    const TMirvoOptions options = Loaded();
    EXPECT_EQ(options.WindowLeft, 120);
    EXPECT_EQ(options.WindowTop, 16);   // 0x10
    EXPECT_EQ(options.LastFolder, "/home/hana/メンバー 一覧/");
    EXPECT_EQ(options.DefaultUserIndex, 7);
    // "abc" and the empty text give the defaults, the other key is read.
    EXPECT_EQ(options.BioCycle, (TCycleLengths{23, 27.5f, 33}));
    EXPECT_EQ(options.PlanetWeight[0], 2.0f);   // 1e999 does not read
    EXPECT_EQ(options.PlanetWeight[1], 0.1f);
    EXPECT_EQ(options.PlanetWeight[2], 1.0f);
    EXPECT_FALSE(options.PlanetUse[3]);
    EXPECT_TRUE(options.PlanetUse[8]);
    EXPECT_FALSE(options.PlanetUse[9]);   // "yes": the default
    EXPECT_TRUE(options.PlanetUse[0]);
}

TEST_F(OptionsTest, SaveKeepsCommentsAndUnknownKeysAndReplacesValuesInPlace)
{
    fs::copy_file(fs::path(MIRVO_TEST_DATA_DIR) / "members" / "handwritten.ini", FIni);
    TMirvoOptions options = Loaded();
    options.WindowLeft = -30;
    options.PlanetWeight[4] = 0.1f;
    options.SaveToIni();

#ifdef _WIN32
    const std::string text = koyomi::Cp932ToUtf8(Bytes());   // written in code page 932 there
#else
    const std::string text = Bytes();
#endif
    EXPECT_TRUE(text.starts_with("; TodayMirvo settings, edited by hand\r\n[window]\r\nleft=-30\r\nTOP=16\r\n"));
    EXPECT_NE(text.find("# folder with a blank\r\nLastFolder=/home/hana/メンバー 一覧/\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Extra]\r\nColour=blue\r\n"), std::string::npos);
    EXPECT_NE(text.find("bioraito_0=23\r\nBioRaito_1=27.5\r\nBioRaito_2=33\r\n"), std::string::npos);
    EXPECT_NE(text.find("PlanetRaito_1=0.100000001490116\r\n"), std::string::npos);
    EXPECT_NE(text.find("PlanetRaito_4=0.100000001490116\r\n"), std::string::npos);
    EXPECT_NE(text.find("UnknownKey=keep me\r\n"), std::string::npos);
    // Each key once, whatever its case in the file.
    EXPECT_EQ(text.find("BioRaito_0"), std::string::npos);
    EXPECT_EQ(text.find("Left="), std::string::npos);

    ExpectSameSettings(Loaded(), options);
}

TEST_F(OptionsTest, RoundTripOfAFreshFile)
{
    TMirvoOptions options(FIni, FDir);
    options.DefaultUserIndex = 3;
    options.BioCycle = {23.5f, 0.1f, -1};
    options.PlanetWeight = {0, 1e-7f, -100, 1, 1, 1, 1, 9, 0.25f, 100};
    options.PlanetUse = {false, true, false, true, false, true, false, true, true, true};
    options.LastFolder = " /tmp/with blanks/ ";
    options.WindowLeft = -1920;
    options.WindowTop = 2147483647;
    options.SaveToIni();
    ExpectSameSettings(Loaded(), options);

    std::string text = Bytes();
#ifdef _WIN32
    // Windows programs end INI lines with CR LF.
    ASSERT_EQ(text.find("\r\n"), text.find('\n') - 1);
    std::erase(text, '\r');
#endif
    EXPECT_TRUE(text.starts_with("[Window]\nLeft=-1920\nTop=2147483647\nLastFolder=\" /tmp/with blanks/ \"\n\n"
                                 "[Option]\nDefaultUserIndex=3\nBioRaito_0=23.5\nBioRaito_1=0.100000001490116\n"
                                 "BioRaito_2=-1\nPlanetRaito_0=0\nPlanetUse_0=0\nPlanetRaito_1=1.0000000116861E-7\n"));
}

// The file as the system's programs write INI files (Windows: code page 932
// and CR LF), and a file in either form read on every system.
TEST_F(OptionsTest, FileInTheSystemsFormAndEitherFormRead)
{
    TMirvoOptions options(FIni, FDir);
    options.LastFolder = "C:\\Users\\山田\\";
    options.SaveToIni();
    const std::string text = Bytes();
#ifdef _WIN32
    EXPECT_NE(text.find("\r\nLastFolder=C:\\Users\\\x8E\x52\x93\x63\\\r\n"), std::string::npos) << text;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        EXPECT_EQ(text[at - 1], '\r') << at;
#else
    EXPECT_NE(text.find("\nLastFolder=C:\\Users\\山田\\\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
#endif
    EXPECT_EQ(Loaded().LastFolder, options.LastFolder);

    Write("[Window]\r\nLastFolder=C:\\Users\\\x8E\x52\x93\x63\\\r\n");
    EXPECT_EQ(Loaded().LastFolder, "C:\\Users\\山田\\");
    Write("[Window]\nLastFolder=/home/山田/\n");
    EXPECT_EQ(Loaded().LastFolder, "/home/山田/");

    // A name that code page 932 cannot hold reads back the same.
    options.LastFolder = "C:\\Users\\Müller 山田\\";
    options.SaveToIni();
    EXPECT_EQ(Loaded().LastFolder, options.LastFolder);
#ifdef _WIN32
    EXPECT_TRUE(Bytes().starts_with("\xEF\xBB\xBF")) << Bytes();
#endif
}

TEST_F(OptionsTest, AssignCopiesEverySetting)
{
    TMirvoOptions source(FIni, FDir);
    source.LoadFromIni();
    source.DefaultUserIndex = 2;
    source.PlanetUse[9] = true;
    source.LastFolder = "/elsewhere/";
    source.WindowTop = 44;
    TMirvoOptions copy(FDir / "other.ini", FDir / "other");
    copy.Assign(source);
    ExpectSameSettings(copy, source);
    EXPECT_EQ(copy.GetIniPath(), FDir / "other.ini");
}

TEST_F(OptionsTest, FailedSaveLeavesTheOldFile)
{
    const std::string old = "[Window]\nLeft=1\n";
    Write(old);
    fs::permissions(FIni, fs::perms::owner_read);
    TMirvoOptions options = Loaded();
    options.WindowLeft = 99;
    try {
        options.SaveToIni();
        ADD_FAILURE() << "a read-only file was written";
    } catch (const koyomi::EMirvoError& e) {
        EXPECT_EQ(std::string(e.what()), FIni.string() + " に書き込めません");
    }
    EXPECT_EQ(Bytes(), old);

    fs::permissions(FIni, fs::perms::owner_write, fs::perm_options::add);

    TMirvoOptions missingFolder(FDir / "no" / "such.ini", FDir);
    EXPECT_THROW(missingFolder.SaveToIni(), koyomi::EMirvoError);
    fs::create_directory(FDir / "folder.ini");
    TMirvoOptions folder(FDir / "folder.ini", FDir);
    EXPECT_THROW(folder.SaveToIni(), koyomi::EMirvoError);
    EXPECT_EQ(std::distance(fs::directory_iterator(FDir), fs::directory_iterator()), 2);
}

TEST_F(OptionsTest, AFolderWithALineBreakKeepsTheOldFolderAndSavesTheRest)
{
    Write("[Window]\nLastFolder=/old/\n");
    TMirvoOptions options = Loaded();
    options.LastFolder = "/two\nlines/";
    options.WindowLeft = 42;
    options.BioCycle[1] = 29;
    ASSERT_NO_THROW(options.SaveToIni());
    const TMirvoOptions back = Loaded();
    EXPECT_EQ(back.LastFolder, "/old/");
    EXPECT_EQ(back.WindowLeft, 42);
    EXPECT_EQ(back.BioCycle[1], 29);
}

TEST_F(OptionsTest, ReadProblemsAreReportedAndGiveTheDefaults)
{
    // A file that opens but cannot be read: every default, and the report says so.
    TMirvoOptions failing(fs::path("/proc/self/mem"), FDir);
    const TSettingsReadReport unreadable = failing.LoadFromIni();
    EXPECT_TRUE(unreadable.unreadable);
    EXPECT_EQ(failing.BioCycle, kDefaultBioCycle);
    EXPECT_EQ(failing.DefaultUserIndex, kNoDefaultUser);
    EXPECT_THROW(failing.SaveToIni(), koyomi::EMirvoError);

    // A section name of 100 KB before 20,000 blank lines: the long line is
    // not read, so the keys under it belong to no section.
    Write("[" + std::string(100 * 1024, 'S') + "]\n" + std::string(20000, '\n') + "BioRaito_0=5\n[Option]\nBioRaito_1=7\n");
    TMirvoOptions options(FIni, FDir);
    const TSettingsReadReport longLine = options.LoadFromIni();
    EXPECT_EQ(longLine.longLines, (std::vector<std::size_t>{1}));
    EXPECT_FALSE(longLine.cut);
    EXPECT_EQ(options.BioCycle[0], kDefaultBioCycle[0]);
    EXPECT_EQ(options.BioCycle[1], 7);
    // Saving keeps that line as it was.
    options.SaveToIni();
    EXPECT_TRUE(Bytes().starts_with("[" + std::string(100 * 1024, 'S') + "]" + kLineEnd + kLineEnd));

    // A file past the size limit is read as far as its last whole line within the limit.
    std::string big = "[Option]\nBioRaito_2=40\n";
    while (big.size() < kMaxSettingsFileBytes)
        big += "; filler line of a settings file that grew too large\n";
    big += "BioRaito_0=11\n";
    Write(big);
    const TSettingsReadReport cut = options.LoadFromIni();
    EXPECT_TRUE(cut.cut);
    EXPECT_EQ(options.BioCycle[2], 40);
    EXPECT_EQ(options.BioCycle[0], kDefaultBioCycle[0]);
    // Before it is shortened by a save, the whole file is kept beside it.
    options.SaveToIni();
    EXPECT_EQ(ReadWholeFile(FDir / "TodayMirvo.ini.bak"), big);
    EXPECT_LT(Bytes().size(), 1024u);
    EXPECT_TRUE(options.LoadFromIni().Clean());
    EXPECT_EQ(options.BioCycle[2], 40);

#ifndef _WIN32
    // A FIFO in the settings file's place is neither waited for nor replaced.
    fs::remove(FIni);
    ASSERT_EQ(::mkfifo(FIni.c_str(), 0600), 0);
    EXPECT_TRUE(options.LoadFromIni().unreadable);
    EXPECT_THROW(options.SaveToIni(), koyomi::EMirvoError);
    EXPECT_TRUE(fs::is_fifo(FIni));
#endif
}

TEST_F(OptionsTest, CyclesAndWeightsAsTypedAreTakenOrRefused)
{
    // Full-width forms are the numbers they look like; the rest is refused.
    EXPECT_EQ(CycleFromText("２３"), 23.0f);
    EXPECT_EQ(CycleFromText(" 28 "), 28.0f);
    EXPECT_EQ(CycleFromText("999"), 999.0f);
    for (const char* bad : {"abc", "１．５", "23.5", "0", "1000", "1e10", "-1e10", "-23", "", "2 3"})
        EXPECT_FALSE(CycleFromText(bad).has_value()) << bad;

    EXPECT_EQ(WeightFromText("１．５"), 1.5f);
    EXPECT_EQ(WeightFromText("－２"), -2.0f);
    EXPECT_EQ(WeightFromText("100"), 100.0f);
    EXPECT_EQ(WeightFromText("-100"), -100.0f);
    EXPECT_EQ(WeightFromText("1e1"), 10.0f);
    for (const char* bad : {"abc", "1e10", "-1e10", "100.5", "4294967296", "9999999999", "１，５", ""})
        EXPECT_FALSE(WeightFromText(bad).has_value()) << bad;
}

TEST_F(OptionsTest, WeightsOutOfRangeAndFullWidthNumbersInTheFile)
{
    Write("[Option]\nPlanetRaito_0=4294967296\nPlanetRaito_1=-101\nPlanetRaito_2=１．５\nBioRaito_0=２０\n"
          "PlanetRaito_3=-100\n");
    TMirvoOptions options(FIni, FDir);
    const TSettingsReadReport report = options.LoadFromIni();
    // Out of range: the default, and the key with its text in the report.
    EXPECT_EQ(options.PlanetWeight[0], 2.0f);
    EXPECT_EQ(options.PlanetWeight[1], 1.5f);
    ASSERT_EQ(report.weightsRefused.size(), 2u);
    EXPECT_EQ(report.weightsRefused[0], (std::pair<std::string, std::string>("PlanetRaito_0", "4294967296")));
    EXPECT_EQ(report.weightsRefused[1].first, "PlanetRaito_1");
    EXPECT_FALSE(report.Clean());
    // Full-width digits and point as the ASCII ones; the limit itself is taken.
    EXPECT_EQ(options.PlanetWeight[2], 1.5f);
    EXPECT_EQ(options.BioCycle[0], 20.0f);
    EXPECT_EQ(options.PlanetWeight[3], -100.0f);
}
