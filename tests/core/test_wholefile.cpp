#include "base/wholefile.h"

#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace mirvo;
namespace fs = std::filesystem;

namespace {

class WholeFileTest : public ::testing::Test {
protected:
    void Write(const fs::path& path, const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }

    const testsupport::TScratchFolder FScratch{"mirvo-wholefile-"};
    const fs::path FDir = FScratch.Path();
};

} // namespace

TEST_F(WholeFileTest, ReadErrorsAfterOpeningAreNoContent)
{
    // /proc/self/mem opens as a regular file and fails at the first read (EIO),
    // as a failing disk does.
    EXPECT_FALSE(ReadWholeFile("/proc/self/mem").has_value());
    EXPECT_FALSE(ReadFilePrefix("/proc/self/mem", 10).has_value());
    // A FIFO without a writer is not waited for.
    const fs::path fifo = FDir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(fifo).has_value());
    EXPECT_TRUE(IsSpecialFile(fifo));
    EXPECT_TRUE(IsSpecialFile("/dev/null"));
    EXPECT_FALSE(IsSpecialFile(FDir));
    EXPECT_FALSE(IsSpecialFile(FDir / "missing"));
    EXPECT_FALSE(ReplaceWholeFile(fifo, "x"));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(WholeFileTest, PrefixStopsAtTheLimit)
{
    const fs::path path = FDir / "f";
    Write(path, "0123456789");
    auto part = ReadFilePrefix(path, 4);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->bytes, "0123");
    EXPECT_TRUE(part->cut);
    part = ReadFilePrefix(path, 10);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->bytes, "0123456789");
    EXPECT_FALSE(part->cut);
    // Larger than one read chunk.
    Write(path, std::string(200000, 'z'));
    EXPECT_EQ(ReadWholeFile(path)->size(), 200000u);
    EXPECT_EQ(ReadFilePrefix(path, 150000)->bytes.size(), 150000u);
}

TEST_F(WholeFileTest, CopiesGoToNamesNoFileHas)
{
    const fs::path path = FDir / "Mirvo.csv";
    Write(path, "original");
    EXPECT_EQ(UnusedNameBeside(path, ".bak"), FDir / "Mirvo.csv.bak");
    ASSERT_TRUE(CopyToNewFile(path, FDir / "Mirvo.csv.bak"));
    EXPECT_EQ(ReadWholeFile(FDir / "Mirvo.csv.bak"), "original");
    EXPECT_EQ(UnusedNameBeside(path, ".bak"), FDir / "Mirvo.csv.bak2");
    // A dangling link takes its name too; an existing file is never replaced.
    fs::create_symlink(FDir / "nowhere", FDir / "Mirvo.csv.bak2");
    EXPECT_EQ(UnusedNameBeside(path, ".bak"), FDir / "Mirvo.csv.bak3");
    Write(path, "changed");
    EXPECT_FALSE(CopyToNewFile(path, FDir / "Mirvo.csv.bak"));
    EXPECT_EQ(ReadWholeFile(FDir / "Mirvo.csv.bak"), "original");
    // Numbered copies go up to "(1000)", the last one tried, and no further.
    for (int n = 2; n < 1000; ++n)
        Write(FDir / ("Mirvo (" + std::to_string(n) + ").csv"), "");
    EXPECT_EQ(NumberedNameBeside(path), FDir / "Mirvo (1000).csv");
    Write(FDir / "Mirvo (1000).csv", "");
    EXPECT_EQ(NumberedNameBeside(path), fs::path());
}

// What an interrupted save left: only the program's own temporary names go.
TEST_F(WholeFileTest, LeftoverTemporariesOfAFileAreRemovedByTheirExactName)
{
    const fs::path path = FDir / "Mirvo.csv";
    Write(path, "members");
    for (const char* name : {".Mirvo.csv.123.tmp", ".Mirvo.csv.4294967295.tmp", ".Mirvo.csv.12a.tmp",
                             ".Mirvo.csv..tmp", "Mirvo.csv.5.tmp", ".Other.csv.5.tmp", ".Mirvo.csv.5.tmp.bak"})
        Write(FDir / name, "member data");
    fs::create_symlink(path, FDir / ".Mirvo.csv.77.tmp");
    fs::create_directory(FDir / ".Mirvo.csv.88.tmp");
    EXPECT_EQ(RemoveLeftoverTemporaries(path), 2);
    EXPECT_FALSE(fs::exists(FDir / ".Mirvo.csv.123.tmp"));
    EXPECT_FALSE(fs::exists(FDir / ".Mirvo.csv.4294967295.tmp"));
    for (const char* name : {".Mirvo.csv.12a.tmp", ".Mirvo.csv..tmp", "Mirvo.csv.5.tmp", ".Other.csv.5.tmp",
                             ".Mirvo.csv.5.tmp.bak", ".Mirvo.csv.77.tmp", ".Mirvo.csv.88.tmp", "Mirvo.csv"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(FDir / name))) << name;
    EXPECT_EQ(ReadWholeFile(path), "members");
    EXPECT_EQ(RemoveLeftoverTemporaries(FDir / "missing" / "Mirvo.csv"), 0);
}

TEST_F(WholeFileTest, ALinkStaysALinkAndItsTargetIsReplaced)
{
    fs::create_directory(FDir / "elsewhere");
    const fs::path target = FDir / "elsewhere" / "real.csv";
    Write(target, "old");
    const fs::path link = FDir / "Mirvo.csv";
    fs::create_symlink(target, link);
    ASSERT_TRUE(ReplaceWholeFile(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), target);
    EXPECT_EQ(ReadWholeFile(target), "new");
    // Nothing is left in either folder but the file and the link.
    EXPECT_EQ(std::distance(fs::directory_iterator(FDir / "elsewhere"), fs::directory_iterator()), 1);
}
