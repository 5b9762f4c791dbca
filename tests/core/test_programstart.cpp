// The start shared by the window program and mirvo-today: the data file, the
// settings and the member list, and each failure as one error with its
// message number.
#include "base/messages.h"
#include "base/stringtable.h"
#include "start/programstart.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

using namespace mirvo;
namespace fs = std::filesystem;

namespace {

// A folder of its own for each test, removed afterwards.
class ProgramStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        FFolder = fs::temp_directory_path() / ("mirvo-start-" + std::to_string(std::random_device{}()));
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }

    const fs::path& Folder() const { return FFolder; }
    ProgramPaths Paths() const { return ProgramFilesIn(FFolder); }
    void Write(const fs::path& path, const std::string& bytes) const
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // Runs `step`, which must throw EStartError, and returns a copy of it.
    template <typename Step>
    static EStartError Failure(Step step)
    {
        try {
            step();
        } catch (const EStartError& e) {
            return e;
        }
        ADD_FAILURE() << "no EStartError";
        return EStartError(sfFileMissing, 0, "");
    }

private:
    fs::path FFolder;
};

} // namespace

TEST_F(ProgramStart, FilesAreNamedAfterTheWindowProgramInItsFolder)
{
    const ProgramPaths p = Paths();
    EXPECT_EQ(p.programFile, Folder() / "TodayMirvo");
    EXPECT_EQ(p.DataFile(), Folder() / "Kosmera.dat");
    EXPECT_EQ(p.SettingsFile(), Folder() / "TodayMirvo.ini");
    EXPECT_EQ(p.MemberFile(), Folder() / "Mirvo.csv");
}

TEST_F(ProgramStart, DataFileMissingOrRefusedIsOneErrorWithItsMessage)
{
    EStartError missing = Failure([&] { LoadDataFile(Paths()); });
    EXPECT_EQ(missing.Failure(), sfDataFileMissing);
    EXPECT_EQ(missing.MessageId(), kMsgDataFileMissing);
    EXPECT_STREQ(missing.what(), "暦ライブラリ Kosmera.dat が見つかりません.");

    // A folder in its place is no data file either.
    fs::create_directory(Paths().DataFile());
    EXPECT_EQ(Failure([&] { LoadDataFile(Paths()); }).Failure(), sfDataFileMissing);
    fs::remove(Paths().DataFile());

    Write(Paths().DataFile(), std::string(4096, 'M'));
    EStartError refused = Failure([&] { LoadDataFile(Paths()); });
    EXPECT_EQ(refused.Failure(), sfDataFileRefused);
    EXPECT_EQ(refused.MessageId(), kMsgLibraryInitFailed);
    EXPECT_EQ(refused.what(), LoadStr(kMsgLibraryInitFailed));
    EXPECT_TRUE(refused.File().empty());

    // The build's own data file is taken, and stays loaded while held.
    fs::copy_file(MIRVO_KOSMERA_PATH, Paths().DataFile(), fs::copy_options::overwrite_existing);
    const TDataModule module = LoadDataFile(Paths());
    EXPECT_NE(module, nullptr);
}

TEST_F(ProgramStart, SettingsFromTheProgramsFileOrANamedOne)
{
    // No settings file of the program's: every default, kept in its place.
    const TMirvoOptions defaults = LoadSettings(Paths());
    EXPECT_EQ(defaults.GetIniPath(), Paths().SettingsFile());
    EXPECT_EQ(defaults.BioCycle, kDefaultBioCycle);
    EXPECT_EQ(defaults.DefaultUserIndex, kNoDefaultUser);
    EXPECT_EQ(defaults.LastFolder, Folder().string() + static_cast<char>(fs::path::preferred_separator));

    Write(Paths().SettingsFile(), "[Option]\r\nBioRaito_0=30\r\n");
    EXPECT_EQ(LoadSettings(Paths()).BioCycle[0], 30.0f);

    const fs::path named = Folder() / "other.ini";
    Write(named, "[Option]\r\nBioRaito_0=21\r\nDefaultUserIndex=2\r\n");
    const TMirvoOptions chosen = LoadSettings(Paths(), named);
    EXPECT_EQ(chosen.GetIniPath(), named);
    EXPECT_EQ(chosen.BioCycle[0], 21.0f);
    EXPECT_EQ(chosen.DefaultUserIndex, 2);
}

TEST_F(ProgramStart, NamedFilesMustExistAndBeReadable)
{
    const fs::path none = Folder() / "none.ini";
    EStartError missing = Failure([&] { LoadSettings(Paths(), none); });
    EXPECT_EQ(missing.Failure(), sfFileMissing);
    EXPECT_EQ(missing.MessageId(), kMsgFileMissing);
    EXPECT_EQ(missing.File(), none);
    EXPECT_EQ(missing.what(), "ファイル " + none.string() + " が見つかりません.");

    TMemberList members;
    EStartError unreadable = Failure([&] { LoadMembers(members, Paths(), Folder()); });
    EXPECT_EQ(unreadable.Failure(), sfFileUnreadable);
    EXPECT_EQ(unreadable.MessageId(), kMsgFileUnreadable);
    EXPECT_EQ(unreadable.what(), "ファイル " + Folder().string() + " は開けません");
    EXPECT_EQ(Failure([&] { LoadSettings(Paths(), Folder()); }).Failure(), sfFileUnreadable);
}

TEST_F(ProgramStart, MemberListFromTheProgramsFileOrANamedOne)
{
    TMemberList members;
    LoadMembers(members, Paths());  // none yet: an empty list, no error
    EXPECT_EQ(members.Count(), 0);

    Write(Paths().MemberFile(), "\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n");
    LoadMembers(members, Paths());
    ASSERT_EQ(members.Count(), 1);
    EXPECT_EQ(members.Items(0).Name, "Hana");

    TMemberList named;
    LoadMembers(named, Paths(), fs::path(MIRVO_TEST_DATA_DIR) / "members" / "japanese.csv");
    EXPECT_GT(named.Count(), 1);
}

TEST_F(ProgramStart, DamagedMemberFileNamesTheFileAndKeepsTheOtherLines)
{
    const fs::path damaged = fs::path(MIRVO_TEST_DATA_DIR) / "members" / "baddate-line3.csv";
    TMemberList members;
    EStartError bad = Failure([&] { LoadMembers(members, Paths(), damaged); });
    EXPECT_EQ(bad.Failure(), sfMemberFileBad);
    EXPECT_EQ(bad.File(), damaged);
    EXPECT_NE(std::string(bad.what()).find("'2001/13/01' は日付ではありません"), std::string::npos) << bad.what();
    EXPECT_EQ(members.Count(), 3);

    // The program's own file: the same error, for the window to show.
    fs::copy_file(damaged, Paths().MemberFile());
    TMemberList own;
    EXPECT_EQ(Failure([&] { LoadMembers(own, Paths()); }).File(), Paths().MemberFile());
}

TEST_F(ProgramStart, EvaluationSettingsAreTheSettingsCycleAndBodies)
{
    TMirvoOptions options = LoadSettings(Paths());
    options.BioCycle = {20, 25.5f, 40};
    options.PlanetWeight[9] = 3;
    options.PlanetUse[0] = false;
    const EvalSettings settings = EvalSettingsOf(options);
    EXPECT_EQ(settings.bioCycle, options.BioCycle);
    EXPECT_EQ(settings.planetWeight, options.PlanetWeight);
    EXPECT_EQ(settings.planetUse, options.PlanetUse);
}
