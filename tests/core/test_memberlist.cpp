#include "base/error.h"
#include "base/sjis.h"
#include "base/utf8.h"
#include "base/wholefile.h"
#include "koyomi/datetime.h"
#include "members/backups.h"
#include "members/csvfields.h"
#include "members/memberlist.h"

#include "testfiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <string>
#include <vector>

using namespace mirvo;
using koyomi::EncodeDate;
using koyomi::EncodeTime;
namespace fs = std::filesystem;

namespace {

const fs::path kDataDir = fs::path(MIRVO_TEST_DATA_DIR) / "members";

// A fresh folder per test, removed afterwards.
class MemberFileTest : public ::testing::Test {
protected:
    static std::string Bytes(const fs::path& path) { return ReadWholeFile(path).value_or("<missing>"); }
    static void Write(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::vector<fs::path> FolderEntries() const
    {
        std::vector<fs::path> entries;
        for (const auto& entry : fs::directory_iterator(FDir))
            entries.push_back(entry.path().filename());
        return entries;
    }
    static void ExpectError(const std::function<void()>& action, const std::string& message)
    {
        try {
            action();
            ADD_FAILURE() << "no error, expected: " << message;
        } catch (const koyomi::EMirvoError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }

    const testsupport::TScratchFolder FScratch{"mirvo-members-"};
    const fs::path FDir = FScratch.Path();
};

using Fields = std::vector<std::string>;

} // namespace

TEST(CsvFields, FieldRule)
{
    EXPECT_EQ(SplitCsvFields("\"a,b\",1,2000/01/01"), (Fields{"a,b", "1", "2000/01/01"}));
    EXPECT_EQ(SplitCsvFields("  \"x\"  ,  y  ,z,"), (Fields{"x", "y", "z"}));
    EXPECT_EQ(SplitCsvFields(",a"), (Fields{"", "a"}));
    EXPECT_EQ(SplitCsvFields("a,,b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(SplitCsvFields("Ha na,2"), (Fields{"Ha", "na", "2"}));
    EXPECT_EQ(SplitCsvFields("a\tb"), (Fields{"a", "b"}));
    EXPECT_EQ(SplitCsvFields("\"ab\"cd,1"), (Fields{"ab", "cd", "1"}));
    EXPECT_EQ(SplitCsvFields("\"say \"\"hi\"\"\",\"\"\"\""), (Fields{"say \"hi\"", "\""}));
    EXPECT_EQ(SplitCsvFields("\"\",\"\""), (Fields{"", ""}));
    EXPECT_EQ(SplitCsvFields("\"open, never closed"), (Fields{"open, never closed"}));
    EXPECT_EQ(SplitCsvFields("\"a \"\" b"), (Fields{"a \" b"}));
    EXPECT_TRUE(SplitCsvFields("").empty());
    EXPECT_TRUE(SplitCsvFields(" \t ").empty());
    EXPECT_EQ(SplitCsvFields(","), (Fields{""}));
    // A NUL ends the line.
    EXPECT_EQ(SplitCsvFields(std::string("a,b\0,c", 7)), (Fields{"a", "b"}));
}

TEST(CsvFields, ShiftJisCharactersAreSteppedOverWhole)
{
    // "表" is 0x95 0x5C and the ideographic space 0x81 0x40: neither is a blank.
    EXPECT_EQ(SplitCsvFields("\"\x95\x5C\",\x81\x40x y"), (Fields{"\x95\x5C", "\x81\x40x", "y"}));
    // A lead byte followed by a quote (no trail byte) does not hide the quote.
    EXPECT_EQ(SplitCsvFields("\"\x82\",1"), (Fields{"\x82", "1"}));
    EXPECT_EQ(SplitCsvFields("\x82,1"), (Fields{"\x82", "1"}));
    // Half-width katakana are single bytes.
    EXPECT_EQ(SplitCsvFields("\xB1\xB2,\"\xB3\""), (Fields{"\xB1\xB2", "\xB3"}));
}

TEST(CsvFields, Lines)
{
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitLines("a\n\r\nb\n\r"), (Lines{"a", "", "b", ""}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(MemberList, OwnsCopiesAndDeletes)
{
    const TMemberListItem fresh;
    EXPECT_EQ(fresh.RowIndex, 0);
    EXPECT_EQ(fresh.Sex, kSexNone);
    EXPECT_FALSE(fresh.TimeKnown);
    EXPECT_NEAR(fresh.Birthday, koyomi::Now(), 1.0 / 24);

    TMemberList list;
    list.AddMember("A", kSexMale, EncodeDate(1990, 1, 1), true, "a");
    TMemberListItem& b = list.AddMember("B", kSexFemale, EncodeDate(1991, 2, 2), false, "b");
    b.RowIndex = 5;
    list.AddCopy(b);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(2).RowIndex, 0);
    EXPECT_TRUE(SameMemberData(list.Items(1), list.Items(2)));

    TMemberList copy;
    copy.AddMember("old", 0, 0, false, "");
    copy.Assign(list);
    ASSERT_EQ(copy.Count(), 3);
    copy.Items(0).Name = "changed";
    EXPECT_EQ(list.Items(0).Name, "A");
    copy.Assign(copy);
    EXPECT_EQ(copy.Count(), 3);

    list.Delete(1);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1).Name, "B");
    EXPECT_EQ(list.Items(0).Name, "A");
    EXPECT_THROW(list.Items(2), koyomi::EMirvoError);
    EXPECT_THROW(list.Delete(-1), koyomi::EMirvoError);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);

    TMemberListItem item;
    item.RowIndex = -1;
    item.Assign(copy.Items(0));
    EXPECT_EQ(item.RowIndex, -1);
    EXPECT_TRUE(SameMemberData(item, copy.Items(0)));
    item.Birthday += 1.0 / koyomi::kMSecsPerDay;
    EXPECT_FALSE(SameMemberData(item, copy.Items(0)));
}

TEST_F(MemberFileTest, ReadsTheCornersOfTheFieldRule)
{
    TMemberList list;
    ASSERT_TRUE(list.LoadFromCsv(kDataDir / "corners.csv"));
    ASSERT_EQ(list.Count(), 6);

    const TMemberListItem& three = list.Items(0);
    EXPECT_EQ(three.Name, "Three");
    EXPECT_EQ(three.Sex, kSexMale);
    EXPECT_EQ(three.Birthday, EncodeDate(2000, 1, 1));
    EXPECT_FALSE(three.TimeKnown);
    EXPECT_EQ(three.Memo, "");

    const TMemberListItem& letter = list.Items(1);
    EXPECT_EQ(letter.Name, "Letter");
    EXPECT_EQ(letter.Sex, kSexNone);
    EXPECT_EQ(letter.Birthday, EncodeDate(1999, 1, 2) + EncodeTime(7, 5, 0));
    EXPECT_TRUE(letter.TimeKnown);   // "2"
    EXPECT_EQ(letter.Memo, "m");

    const TMemberListItem& word = list.Items(2);
    EXPECT_FALSE(word.TimeKnown);   // "yes"
    EXPECT_EQ(word.Birthday, EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59));
    EXPECT_EQ(word.Memo, "memo, with comma");

    EXPECT_EQ(list.Items(3).Name, "Quote \"Q\"");
    EXPECT_EQ(list.Items(3).Memo, "say \"hi\"");
    EXPECT_EQ(list.Items(4).Sex, kSexNone);   // the code 9 is no sex code: read as 0, and reported
    EXPECT_EQ(list.Items(4).Memo, "extra");

    // Text after a closing quote is a field of its own.
    EXPECT_EQ(list.Items(5).Name, "after");
    EXPECT_EQ(list.Items(5).Sex, kSexNone);
    EXPECT_EQ(list.Items(5).Birthday, EncodeDate(1900, 1, 1));
}

TEST_F(MemberFileTest, ReadsShiftJis)
{
    TMemberList list;
    ASSERT_TRUE(list.LoadFromCsv(kDataDir / "japanese.csv"));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0).Name, "山田 花子");
    EXPECT_EQ(list.Items(1).Name, "表示ソフト");
    EXPECT_EQ(list.Items(1).Memo, "10～20①, \"能\" 予定");
    EXPECT_EQ(list.Items(1).Birthday, EncodeDate(1955, 5, 5) + EncodeTime(6, 30, 15));
    EXPECT_EQ(list.Items(2).Name, "髙橋");
    EXPECT_EQ(list.Items(2).Memo, "ⅰ纊");
    // Written back, the file is the same bytes.
    const fs::path copy = FDir / "copy.csv";
    ASSERT_TRUE(list.SaveToCsv(copy));
    EXPECT_EQ(Bytes(copy), Bytes(kDataDir / "japanese.csv"));
}

TEST_F(MemberFileTest, BadDateOrTimeLosesOnlyItsLine)
{
    TMemberList list;
    // The message of the first bad line, and every other line read.
    ExpectError([&] { list.LoadFromCsv(kDataDir / "baddate-line3.csv"); }, "'2001/13/01' は日付ではありません");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0).Name, "Aiko");
    EXPECT_EQ(list.Items(1).Name, "Ben");
    EXPECT_EQ(list.Items(2).Name, "Dan");

    ExpectError([&] { list.LoadFromCsv(kDataDir / "badtime-line2.csv"); }, "'25:00' は時刻ではありません");
    ASSERT_EQ(list.Count(), 1);

    // An unquoted name with a blank shifts the fields: the sex "1" is read as the date.
    const fs::path shifted = FDir / "shifted.csv";
    Write(shifted, "Ha na,1,2000/01/01\r\n");
    ExpectError([&] { list.LoadFromCsv(shifted); }, "'1' は日付ではありません");
    EXPECT_EQ(list.Count(), 0);
    // The field's text is shown in UTF-8.
    Write(shifted, "\"x\",1,\x93\xFA\x95\x74\r\n");
    ExpectError([&] { list.LoadFromCsv(shifted); }, "'日付' は日付ではありません");
}

TEST_F(MemberFileTest, AHeaderLineIsSkippedWithANote)
{
    // As a spreadsheet saves a list: column names first (Shift-JIS), then three members.
    const std::string header = koyomi::Utf8ToCp932("氏名,性別,生年月日,時刻,時刻あり,メモ").value();
    const std::string members = "\"A\",1,1990/01/02\r\n\"B\",2,1991/03/04,05:06:07,1,\"m\"\r\n\"C\",0,1992/05/06\r\n";
    const fs::path file = FDir / "sheet.csv";
    Write(file, header + "\r\n" + members);
    TMemberList list;
    TMemberFileReport report;
    ASSERT_TRUE(list.LoadFromCsv(file, report));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0).Name, "A");
    EXPECT_EQ(list.Items(2).Birthday, EncodeDate(1992, 5, 6));
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].kind, lpHeaderLine);
    EXPECT_EQ(report.problems[0].line, 1);
    EXPECT_EQ(report.problems[0].text, "氏名,性別,生年月日,時刻,時刻あり,メモ");
    // The names lose no member: nothing is unread.
    EXPECT_TRUE(report.Complete());
    EXPECT_EQ(report.UnreadLines(), 0);

    // Only the first line can be one; a later line without digits is a bad line.
    Write(file, members + header + "\r\n");
    ASSERT_TRUE(list.LoadFromCsv(file, report));
    EXPECT_EQ(list.Count(), 3);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].kind, lpBadDate);
    EXPECT_EQ(report.UnreadLines(), 1);
    // A first line with a date written in full-width digits is no header: it is a bad date.
    Write(file, "\"Ｚ\",1,１９９０/０１/０２\r\n" + members);
    ASSERT_TRUE(list.LoadFromCsv(file, report));
    EXPECT_EQ(list.Count() + report.UnreadLines(), 4);
    for (const TLineProblem& problem : report.problems)
        EXPECT_NE(problem.kind, lpHeaderLine);
    // Blank lines before it: still the first line with text.
    Write(file, " \r\n\r\n" + header + "\r\n" + members);
    ASSERT_TRUE(list.LoadFromCsv(file, report));
    EXPECT_EQ(list.Count(), 3);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].kind, lpHeaderLine);
    EXPECT_EQ(report.problems[0].line, 3);
}

TEST(MemberLine, OneLineGivesItsMemberItsProblemOrBoth)
{
    // Every field as written; the time added to the date.
    const TMemberLine full = ParseMemberLine("\"Ken\",1,2001/11/30,06:00:00,1,\"memo\"", 4, false, false);
    ASSERT_TRUE(full.member.has_value());
    EXPECT_FALSE(full.problem.has_value());
    EXPECT_EQ(full.member->Name, "Ken");
    EXPECT_EQ(full.member->Sex, kSexMale);
    EXPECT_EQ(full.member->Birthday, EncodeDate(2001, 11, 30) + 0.25);
    EXPECT_TRUE(full.member->TimeKnown);
    EXPECT_EQ(full.member->Memo, "memo");
    // Three fields are a member born at midnight, time unknown, no memo;
    // Shift-JIS is read as such, UTF-8 as UTF-8.
    const TMemberLine shortLine = ParseMemberLine(koyomi::Utf8ToCp932("\"花子\",2,1990/01/02").value(), 1, false, false);
    ASSERT_TRUE(shortLine.member.has_value());
    EXPECT_EQ(shortLine.member->Name, "花子");
    EXPECT_EQ(shortLine.member->Birthday, EncodeDate(1990, 1, 2));
    EXPECT_FALSE(shortLine.member->TimeKnown);
    EXPECT_EQ(shortLine.member->Memo, "");
    EXPECT_EQ(ParseMemberLine("\"花子\",2,1990/01/02", 1, true, false).member->Name, "花子");
    // A sex code outside 0-2: the member with sex 0, and the code told.
    const TMemberLine seven = ParseMemberLine("\"S\",7,1990/01/02", 9, false, true);
    ASSERT_TRUE(seven.member.has_value());
    EXPECT_EQ(seven.member->Sex, kSexNone);
    ASSERT_TRUE(seven.problem.has_value());
    EXPECT_EQ(seven.problem->line, 9);
    EXPECT_EQ(seven.problem->kind, lpSexCode);
    EXPECT_EQ(seven.problem->text, "7");
    // Column names only where a header may be; elsewhere they are a bad date.
    const TMemberLine header = ParseMemberLine("name,sex,born", 2, true, true);
    EXPECT_FALSE(header.member.has_value());
    ASSERT_TRUE(header.problem.has_value());
    EXPECT_EQ(header.problem->kind, lpHeaderLine);
    EXPECT_EQ(header.problem->text, "name,sex,born");
    EXPECT_EQ(ParseMemberLine("name,sex,born", 2, true, false).problem->kind, lpBadDate);
    EXPECT_EQ(ParseMemberLine("\"A\",1,1990/01/02,25:00:00", 2, true, false).problem->text, "25:00:00");
    // A blank line gives neither.
    const TMemberLine blank = ParseMemberLine(" \t", 3, false, true);
    EXPECT_FALSE(blank.member.has_value());
    EXPECT_FALSE(blank.problem.has_value());
}

TEST_F(MemberFileTest, MissingOrUnreadableFiles)
{
    TMemberList list;
    list.AddMember("kept?", 0, 0, false, "");
    EXPECT_FALSE(list.LoadFromCsv(FDir / "missing.csv"));
    EXPECT_EQ(list.Count(), 0);

    const fs::path blank = FDir / "blank.csv";
    Write(blank, "\r\n  \r\n\"only\",2\r\n");
    list.AddMember("kept?", 0, 0, false, "");
    EXPECT_FALSE(list.LoadFromCsv(blank));
    EXPECT_EQ(list.Count(), 0);

    const fs::path folder = FDir / "folder.csv";
    fs::create_directory(folder);
    ExpectError([&] { list.LoadFromCsv(folder); }, "ファイル " + folder.string() + " は開けません");
}

TEST_F(MemberFileTest, WritesTheFixedFormAndReadsBackEveryText)
{
    TMemberList list;
    list.AddMember("Hana", kSexFemale, EncodeDate(1970, 1, 2) + EncodeTime(12, 0, 0), false, "");
    // Milliseconds are dropped on the way.
    list.AddMember("山田 \"太郎\", 表", kSexMale, EncodeDate(1901, 3, 4) + EncodeTime(5, 6, 7, 890), true,
                   "～①\"\"ⅰ, 髙 \t end");
    list.AddMember("", kSexNone, EncodeDate(9, 1, 1), false, "\"");
    const fs::path path = FDir / "Mirvo.csv";
    ASSERT_TRUE(list.SaveToCsv(path));

    const std::string bytes = Bytes(path);
    EXPECT_TRUE(bytes.starts_with("\"Hana\",2,1970/01/02,12:00:00,0,\"\"\r\n"));
    EXPECT_NE(bytes.find("\x81\x60\x87\x40"), std::string::npos);   // ～① in Shift-JIS
    EXPECT_TRUE(bytes.ends_with(",\"\"\"\"\r\n"));

    TMemberList back;
    ASSERT_TRUE(back.LoadFromCsv(path));
    ASSERT_EQ(back.Count(), list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        const TMemberListItem& a = list.Items(i);
        const TMemberListItem& b = back.Items(i);
        EXPECT_EQ(b.Name, a.Name);
        EXPECT_EQ(b.Sex, a.Sex);
        EXPECT_EQ(b.TimeKnown, a.TimeKnown);
        EXPECT_EQ(b.Memo, a.Memo);
        EXPECT_EQ(koyomi::FormatDateTime("yyyy/mm/dd hh:nn:ss", b.Birthday),
                  koyomi::FormatDateTime("yyyy/mm/dd hh:nn:ss", a.Birthday));
    }
    EXPECT_EQ(back.Items(1).Birthday, EncodeDate(1901, 3, 4) + EncodeTime(5, 6, 7));
    EXPECT_TRUE(SameMemberData(back.Items(0), list.Items(0)));
}

TEST_F(MemberFileTest, EmptyListLeavesTheOldFile)
{
    const fs::path path = FDir / "Mirvo.csv";
    Write(path, "\"Old\",1,2000/01/01,00:00:00,0,\"\"\r\n");
    TMemberList empty;
    EXPECT_FALSE(empty.SaveToCsv(path));
    EXPECT_EQ(Bytes(path), "\"Old\",1,2000/01/01,00:00:00,0,\"\"\r\n");
    EXPECT_FALSE(empty.SaveToCsv(FDir / "new.csv"));
    EXPECT_FALSE(fs::exists(FDir / "new.csv"));
}

TEST_F(MemberFileTest, FailedSaveLeavesTheOldFileByteForByte)
{
    const std::string old = "\"Old\",1,2000/01/01,00:00:00,0,\"\xE3\x81\"\r\n";
    const fs::path path = FDir / "Mirvo.csv";
    Write(path, old);
    TMemberList list;
    list.AddMember("New", kSexMale, EncodeDate(2001, 1, 1), false, "");

    // A file without write permission (also root is refused): it is there, it cannot be written.
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ExpectError([&] { list.SaveToCsv(path); }, path.string() + " に書き込めません");
    EXPECT_EQ(Bytes(path), old);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);

    // A folder where the file should be, and a folder that does not exist.
    const fs::path folder = FDir / "folder.csv";
    fs::create_directory(folder);
    EXPECT_THROW(list.SaveToCsv(folder), koyomi::EMirvoError);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_THROW(list.SaveToCsv(FDir / "no" / "such.csv"), koyomi::EMirvoError);

    // A text Shift-JIS cannot hold is refused before anything is written.
    list.AddMember("김", kSexFemale, EncodeDate(2001, 1, 1), false, "");
    ExpectError([&] { list.SaveToCsv(path); },
                "김 さんのデータはファイルに保存できません: '김' はファイルに保存できない文字です");
    EXPECT_EQ(Bytes(path), old);
    list.Delete(1);
    list.AddMember("Line", kSexFemale, EncodeDate(2001, 1, 1), false, "one\ntwo");
    EXPECT_THROW(list.SaveToCsv(path), koyomi::EMirvoError);
    EXPECT_EQ(Bytes(path), old);

    // No temporary file is left behind.
    EXPECT_EQ(FolderEntries().size(), 2u);
    list.Delete(1);
    ASSERT_TRUE(list.SaveToCsv(path));
    EXPECT_EQ(Bytes(path), "\"New\",1,2001/01/01,00:00:00,0,\"\"\r\n");
    EXPECT_EQ(FolderEntries().size(), 2u);
}

TEST_F(MemberFileTest, SaveKeepsPermissionsAndFollowsLinks)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX permission bits and symbolic links (which need a privilege on Windows)";
#endif
    const fs::path real = FDir / "real.csv";
    Write(real, "old\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path link = FDir / "link.csv";
    fs::create_symlink(real, link);
    TMemberList list;
    list.AddMember("L", kSexMale, EncodeDate(2001, 1, 1), false, "");
    ASSERT_TRUE(list.SaveToCsv(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), real);
    EXPECT_EQ(Bytes(real), "\"L\",1,2001/01/01,00:00:00,0,\"\"\r\n");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(MemberText, ProblemsAreNamed)
{
    EXPECT_FALSE(MemberTextProblem("").has_value());
    EXPECT_FALSE(MemberTextProblem("山田 花子 ～①ⅰ髙 \"a,b\"\t").has_value());
    EXPECT_EQ(MemberTextProblem("a\nb"), std::optional<std::string>("改行などの制御文字はファイルに保存できません"));
    EXPECT_TRUE(MemberTextProblem("a\rb").has_value());
    EXPECT_TRUE(MemberTextProblem(std::string("a\0b", 3)).has_value());
    EXPECT_EQ(MemberTextProblem("10〜20"), std::optional<std::string>("'〜' はファイルに保存できない文字です"));
    EXPECT_TRUE(MemberTextProblem("Zoë").has_value());
    EXPECT_TRUE(MemberTextProblem("\xE3\x81").has_value());
}

namespace {

std::vector<int> ProblemLines(const TMemberFileReport& report)
{
    std::vector<int> lines;
    for (const TLineProblem& problem : report.problems)
        lines.push_back(problem.line);
    return lines;
}

} // namespace

TEST_F(MemberFileTest, EveryLineNotReadIsReportedWithItsNumber)
{
    TMemberList list;
    TMemberFileReport report;
    ASSERT_TRUE(list.LoadFromCsv(kDataDir / "damaged-lines.csv", report));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0).Name, "Good");
    EXPECT_EQ(list.Items(1).Name, "Seven");
    EXPECT_EQ(list.Items(1).Sex, kSexNone);
    EXPECT_EQ(list.Items(2).Name, "Last");
    // The empty line 5 is no problem; everything else is, in line order.
    ASSERT_EQ(ProblemLines(report), (std::vector<int>{2, 3, 4, 6}));
    EXPECT_EQ(report.problems[0].kind, lpNulByte);
    EXPECT_EQ(report.problems[1].kind, lpOpenQuote);
    EXPECT_EQ(report.problems[2].kind, lpTooFewFields);
    EXPECT_EQ(report.problems[3].kind, lpSexCode);
    EXPECT_EQ(report.problems[3].text, "7");
    EXPECT_FALSE(report.Complete());

    // A bad date loses its line alone: the lines after it are read.
    ASSERT_TRUE(list.LoadFromCsv(kDataDir / "five-baddate-line3.csv", report));
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(2).Name, "Daisuke");
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].line, 3);
    EXPECT_EQ(report.problems[0].kind, lpBadDate);
    EXPECT_EQ(report.problems[0].text, "1990/13/01");
    EXPECT_EQ(report.UnreadLines(), 1);

    // Read up to a size limit, a line cut in two is not read, although its
    // first part would read as a member (born at 06:30 instead of 06:30:59).
    const std::string two = "\"A\",1,1990/01/02,12:00:00,0,\"\"\r\n\"B\",2,1975/11/23,06:30:59,1,\"\"\r\n";
    const fs::path cut = FDir / "cut.csv";
    Write(cut, two);
    ASSERT_TRUE(list.LoadFromCsv(cut, report, two.find("06:30:59") + 5));
    EXPECT_TRUE(report.cut);
    EXPECT_FALSE(report.Complete());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0).Name, "A");

    ASSERT_TRUE(list.LoadFromCsv(kDataDir / "japanese.csv", report));
    EXPECT_TRUE(report.Complete());
    EXPECT_EQ(report.encoding, feShiftJis);
}

TEST_F(MemberFileTest, BytesThatAreNotShiftJisAreReportedNotLoadedAsGarbage)
{
    TMemberList list;
    TMemberFileReport report;
    ASSERT_TRUE(list.LoadFromCsv(kDataDir / "not-shiftjis.csv", report));
    EXPECT_EQ(report.encoding, feShiftJis);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1).Name, "日本");
    ASSERT_EQ(ProblemLines(report), (std::vector<int>{2}));
    EXPECT_EQ(report.problems[0].kind, lpUndecodable);
}

TEST_F(MemberFileTest, FilesInUtf8AndUtf16AreReadAsWhatTheyAre)
{
    for (const char* name : {"utf8-bom.csv", "utf8-nobom.csv", "utf16le.csv", "utf16be.csv"}) {
        SCOPED_TRACE(name);
        TMemberList list;
        TMemberFileReport report;
        ASSERT_TRUE(list.LoadFromCsv(kDataDir / name, report));
        EXPECT_TRUE(report.problems.empty());
        EXPECT_NE(report.encoding, feShiftJis);
        ASSERT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Items(0).Name, "山田 花子");
        EXPECT_EQ(list.Items(0).Memo, "～①メモ");
        EXPECT_EQ(list.Items(1).Birthday, EncodeDate(1975, 11, 23) + EncodeTime(6, 30, 0));

        // Written back in Shift-JIS; the file as it was is kept beside it.
        const fs::path path = FDir / name;
        fs::copy_file(kDataDir / name, path);
        ASSERT_TRUE(list.LoadFromCsv(path, report));
        TMemberSaveReport saved;
        ASSERT_TRUE(list.SaveToCsv(path, saved));
        EXPECT_EQ(Bytes(path), Bytes(kDataDir / "utf8-source-as-sjis.csv"));
        EXPECT_EQ(saved.backup, fs::path(path.string() + ".bak"));
        EXPECT_EQ(Bytes(saved.backup), Bytes(kDataDir / name));
        // From then on the file is the program's own: no more copies.
        ASSERT_TRUE(list.SaveToCsv(path, saved));
        EXPECT_TRUE(saved.backup.empty());
    }
    EXPECT_EQ(DecodeMemberFile(std::string_view("\xFF\xFE\x3D\xD8\x00\xDE", 6)).text, "\xF0\x9F\x98\x80");   // a surrogate pair
    EXPECT_EQ(DecodeMemberFile(std::string_view("\xFE\xFF\xDC\x00\x00", 5)).text, "\xEF\xBF\xBD\xEF\xBF\xBD");   // lone low half, odd byte
    EXPECT_FALSE(koyomi::IsValidUtf8("\xC0\xAF"));   // overlong
    EXPECT_FALSE(koyomi::IsValidUtf8("\xED\xA0\x80"));   // a surrogate
    EXPECT_TRUE(koyomi::IsValidUtf8("山"));

    // A name Shift-JIS cannot hold gives no member, with its line.
    const fs::path korean = FDir / "korean.csv";
    Write(korean, "\xEF\xBB\xBF\"김\",1,2000/01/01\r\n\"Ok\",1,2000/01/01\r\n");
    TMemberList list;
    TMemberFileReport report;
    ASSERT_TRUE(list.LoadFromCsv(korean, report));
    EXPECT_EQ(list.Count(), 1);
    ASSERT_EQ(ProblemLines(report), (std::vector<int>{1}));
    EXPECT_EQ(report.problems[0].kind, lpUnsavable);
    EXPECT_EQ(report.problems[0].text, "'김' はファイルに保存できない文字です");
}

TEST_F(MemberFileTest, APartlyReadFileIsKeptBeforeItIsReplaced)
{
    const fs::path path = FDir / "Mirvo.csv";
    fs::copy_file(kDataDir / "five-baddate-line3.csv", path);
    const std::string original = Bytes(path);
    TMemberList list;
    TMemberFileReport report;
    list.LoadFromCsv(path, report);
    ASSERT_EQ(list.Count(), 4);

    TMemberSaveReport saved;
    ASSERT_TRUE(list.SaveToCsv(path, saved));
    EXPECT_EQ(saved.writtenTo, path);
    EXPECT_FALSE(saved.changedOnDisk);
    EXPECT_EQ(saved.backup, FDir / "Mirvo.csv.bak");
    EXPECT_EQ(Bytes(saved.backup), original);
    EXPECT_EQ(Bytes(path), "\"Aiko\",2,1980/04/01,12:00:00,0,\"one\"\r\n\"Ben\",1,1975/11/23,06:30:00,1,\"two\"\r\n"
                           "\"Daisuke\",1,1988/02/29,12:00:00,0,\"four\"\r\n\"Emi\",0,2001/07/07,12:00:00,0,\"five\"\r\n");

    // A second partial read of the same file never replaces the first copy.
    fs::copy_file(kDataDir / "five-baddate-line3.csv", path, fs::copy_options::overwrite_existing);
    list.LoadFromCsv(path, report);
    ASSERT_TRUE(list.SaveToCsv(path, saved));
    EXPECT_EQ(saved.backup, FDir / "Mirvo.csv.bak2");
    EXPECT_EQ(Bytes(FDir / "Mirvo.csv.bak"), original);
    EXPECT_EQ(Bytes(FDir / "Mirvo.csv.bak2"), original);

    // The copy of the list (the settings window's) knows the file too.
    fs::copy_file(kDataDir / "five-baddate-line3.csv", path, fs::copy_options::overwrite_existing);
    list.LoadFromCsv(path, report);
    TMemberList copy;
    copy.Assign(list);
    ASSERT_TRUE(copy.SaveToCsv(path, saved));
    EXPECT_EQ(saved.backup, FDir / "Mirvo.csv.bak3");
    // The thrown form of the load names the bad date; the file is kept all the same.
    fs::copy_file(kDataDir / "five-baddate-line3.csv", path, fs::copy_options::overwrite_existing);
    ExpectError([&] { list.LoadFromCsv(path); }, "'1990/13/01' は日付ではありません");
    ASSERT_TRUE(list.SaveToCsv(path, saved));
    EXPECT_EQ(saved.backup, FDir / "Mirvo.csv.bak4");
}

TEST_F(MemberFileTest, TwoListsOfOneFileLoseNeitherVersion)
{
    // Two running copies of the program read the same file, each changes
    // its list and saves at its end.
    const fs::path path = FDir / "Mirvo.csv";
    Write(path, "\"Shared\",1,2000/01/01,12:00:00,0,\"\"\r\n");
    TMemberList first;
    TMemberList second;
    first.LoadFromCsv(path);
    second.LoadFromCsv(path);
    first.AddMember("First's", kSexMale, EncodeDate(2001, 1, 1), false, "");
    second.AddMember("Second's", kSexFemale, EncodeDate(2002, 2, 2), false, "");

    TMemberSaveReport saved;
    ASSERT_TRUE(first.SaveToCsv(path, saved));
    EXPECT_FALSE(saved.changedOnDisk);
    ASSERT_TRUE(second.SaveToCsv(path, saved));
    EXPECT_TRUE(saved.changedOnDisk);
    EXPECT_EQ(saved.writtenTo, FDir / "Mirvo (2).csv");
    EXPECT_NE(Bytes(path).find("First's"), std::string::npos);
    EXPECT_EQ(Bytes(path).find("Second's"), std::string::npos);
    EXPECT_NE(Bytes(saved.writtenTo).find("Second's"), std::string::npos);

    // The first saves again: its own last write is no change by another.
    first.AddMember("Again", kSexMale, EncodeDate(2003, 3, 3), false, "");
    ASSERT_TRUE(first.SaveToCsv(path, saved));
    EXPECT_FALSE(saved.changedOnDisk);

    // A file that was missing at the start and made by another since is not replaced either.
    const fs::path late = FDir / "late.csv";
    TMemberList third;
    EXPECT_FALSE(third.LoadFromCsv(late));
    third.AddMember("Third's", kSexMale, EncodeDate(2004, 4, 4), false, "");
    Write(late, "\"Other\",1,2000/01/01\r\n");
    ASSERT_TRUE(third.SaveToCsv(late, saved));
    EXPECT_EQ(saved.writtenTo, FDir / "late (2).csv");
    EXPECT_EQ(Bytes(late), "\"Other\",1,2000/01/01\r\n");
    // A file deleted since holds no other version: the list goes back in its
    // place, where the next start looks for it.
    fs::remove(path);
    first.AddMember("After", kSexMale, EncodeDate(2005, 5, 5), false, "");
    ASSERT_TRUE(first.SaveToCsv(path, saved));
    EXPECT_FALSE(saved.changedOnDisk);
    EXPECT_EQ(saved.writtenTo, path);
    EXPECT_EQ(Bytes(path), first.FileText());
}

TEST_F(MemberFileTest, SomethingOtherThanARegularFileIsNeverReplaced)
{
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs are made with mkfifo(3), which Windows does not have";
#else
    TMemberList list;
    list.AddMember("F", kSexMale, EncodeDate(2001, 1, 1), false, "");
    const fs::path fifo = FDir / "fifo.csv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ExpectError([&] { list.SaveToCsv(fifo); }, "ファイル " + fifo.string() + " は通常のファイルではないので保存しません");
    EXPECT_TRUE(fs::is_fifo(fifo));
    // A link to a device is refused the same way, and stays a link.
    const fs::path link = FDir / "null.csv";
    fs::create_symlink("/dev/null", link);
    EXPECT_THROW(list.SaveToCsv(link), koyomi::EMirvoError);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    // Reading one does not wait for a writer.
    EXPECT_THROW(list.LoadFromCsv(fifo), koyomi::EMirvoError);
#endif
}

TEST_F(MemberFileTest, SavesKeepTheTenVersionsTheyReplacedNewestFirst)
{
    const fs::path file = FDir / "Mirvo.csv";
    TMemberList list;
    TMemberSaveReport report;
    // Save n holds n members; the first save has nothing to keep.
    for (int n = 1; n <= 15; ++n) {
        list.AddMember("人" + std::to_string(n), kSexFemale, EncodeDate(1970, 1, n), false, "");
        SaveMemberListKeepingBackup(list, file, report);
    }
    // The same list again replaces the file with the same bytes: nothing new to keep.
    SaveMemberListKeepingBackup(list, file, report);
    const std::vector<TBackupFile> copies = ListBackups(file, true);
    ASSERT_EQ(copies.size(), std::size_t(kBackupsKept));
    std::vector<int> counts;
    for (const TBackupFile& copy : copies) {
        counts.push_back(copy.members);
        EXPECT_EQ(copy.path.parent_path(), FDir / "backup");
        EXPECT_EQ(copy.path.extension(), ".csv");
        EXPECT_LE(copy.keptAt, koyomi::Now());
        EXPECT_GT(copy.keptAt, koyomi::Now() - 1.0);
        // Each a member file read whole, its lines those of the list it was.
        TMemberList back;
        TMemberFileReport read;
        back.LoadFromCsv(copy.path, read);
        EXPECT_TRUE(read.Complete());
        EXPECT_EQ(back.Items(back.Count() - 1).Name, "人" + std::to_string(back.Count()));
    }
    EXPECT_EQ(counts, (std::vector<int>{14, 13, 12, 11, 10, 9, 8, 7, 6, 5}));
    EXPECT_EQ(std::distance(fs::directory_iterator(FDir / "backup"), fs::directory_iterator()), kBackupsKept);

    // Deleting every member, said so, leaves an empty file and keeps the last list.
    list.Clear();
    const std::string fifteen = Bytes(file);
    SaveMemberListKeepingBackup(list, file, report);
    EXPECT_EQ(Bytes(file), fifteen);
    SaveMemberListKeepingBackup(list, file, report, true);
    EXPECT_EQ(Bytes(file), "");
    EXPECT_EQ(ListBackups(file, true).front().members, 15);
    // A list that cannot be written makes no copy and leaves the file.
    list.AddMember("😀", kSexNone, EncodeDate(2000, 1, 1), false, "");
    EXPECT_THROW(SaveMemberListKeepingBackup(list, file, report), koyomi::EMirvoError);
    EXPECT_EQ(ListBackups(file, true).front().members, 15);
}

TEST_F(MemberFileTest, ACopyOnlyWhenTheContentChanges)
{
    const fs::path file = FDir / "Mirvo.csv";
    Write(file, "\"A\",1,1990/01/02\r\n");
    EXPECT_EQ(KeepBackup(file, "other bytes").outcome, boKept);
    // The file as it is is the newest copy already: no second copy, whatever replaces it.
    EXPECT_EQ(KeepBackup(file, "third bytes").outcome, boNotNeeded);
    EXPECT_EQ(KeepBackup(file, Bytes(file)).outcome, boNotNeeded);
    EXPECT_EQ(ListBackups(file).size(), 1u);
    Write(file, "\"B\",1,1990/01/02\r\n");
    EXPECT_EQ(KeepBackup(file, "other bytes").outcome, boKept);
    EXPECT_EQ(ListBackups(file).size(), 2u);
}

TEST_F(MemberFileTest, OldCopiesGoAfterTheSaveAFewAtATime)
{
    const fs::path file = FDir / "Mirvo.csv";
    Write(file, "\"Old\",1,1990/01/02\r\n");
    // 120 copies from long ago.
    fs::create_directory(FDir / "backup");
    for (int i = 0; i < 120; ++i)
        Write(FDir / "backup" / ("Mirvo-20000101-000000-" + std::to_string(i + 2) + ".csv"), "x");
    TMemberList list;
    list.AddMember("New", kSexMale, EncodeDate(1990, 1, 2), false, "");
    TMemberSaveReport report;
    ASSERT_TRUE(SaveMemberListKeepingBackup(list, file, report));
    EXPECT_EQ(Bytes(file), list.FileText());
    // The new copy and the newest old ones stay; one save removes kBackupsRemovedPerSave.
    std::vector<TBackupFile> copies = ListBackups(file);
    ASSERT_EQ(copies.size(), std::size_t(121 - kBackupsRemovedPerSave));
    EXPECT_EQ(Bytes(copies[0].path), "\"Old\",1,1990/01/02\r\n");
    EXPECT_EQ(copies[1].path.filename(), "Mirvo-20000101-000000-121.csv");
    EXPECT_EQ(copies.back().path.filename(), "Mirvo-20000101-000000-" + std::to_string(2 + kBackupsRemovedPerSave) + ".csv");
    // Later saves, even of the same list, go on until kBackupsKept remain.
    for (int i = 0; i < 3; ++i)
        SaveMemberListKeepingBackup(list, file, report);
    EXPECT_EQ(ListBackups(file).size(), std::size_t(kBackupsKept));
    EXPECT_EQ(ListBackups(file)[0].path, copies[0].path);
}

TEST_F(MemberFileTest, NoSaveWithoutItsCopyUnlessTheUserAgrees)
{
    const fs::path file = FDir / "Mirvo.csv";
    const std::string ten = "\"A\",1,1990/01/02\r\n\"B\",2,1991/01/02\r\n";
    Write(file, ten);
    // "backup" is a file: no copy can be made there.
    Write(FDir / "backup", "not a folder");
    TMemberList list;
    list.AddMember("A", kSexMale, EncodeDate(1990, 1, 2), false, "");
    TMemberSaveReport report;
    fs::path askedAbout;
    const auto refuse = [&](const fs::path& folder) { askedAbout = folder; return false; };
    EXPECT_FALSE(SaveMemberListKeepingBackup(list, file, report, false, refuse));
    EXPECT_EQ(askedAbout, FDir / "backup");
    EXPECT_EQ(Bytes(file), ten);
    // Agreed: saved without it.
    EXPECT_TRUE(SaveMemberListKeepingBackup(list, file, report, false, [](const fs::path&) { return true; }));
    EXPECT_EQ(Bytes(file), list.FileText());
    // Nothing to keep (the same bytes): nobody is asked.
    askedAbout.clear();
    EXPECT_TRUE(SaveMemberListKeepingBackup(list, file, report, false, refuse));
    EXPECT_TRUE(askedAbout.empty());
}

TEST_F(MemberFileTest, TheRestoreListTellsWhenACopyWasSavedAndWhatItHolds)
{
    const fs::path file = FDir / "Mirvo.csv";
    Write(file, "\"Aiko\",2,1980/04/01\r\n\"Ben\",1,1980/13/01\r\n\"Chika\",2,1980/04/03\r\n"
                "\"Daisuke\",1,1980/04/04\r\n\"Emi\",2,1980/04/05\r\n");
    // Saved two days ago, replaced now.
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(48));
    ASSERT_EQ(KeepBackup(file, "new").outcome, boKept);
    const std::vector<TBackupFile> copies = ListBackups(file, true);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NEAR(copies[0].savedAt, koyomi::Now() - 2.0, 1.0 / 24 / 60);
    EXPECT_NEAR(copies[0].keptAt, koyomi::Now(), 1.0 / 24 / 60);
    EXPECT_EQ(copies[0].members, 4);
    EXPECT_EQ(copies[0].unreadLines, 1);
    EXPECT_EQ(copies[0].firstNames, (std::vector<std::string>{"Aiko", "Chika", "Daisuke"}));
}

TEST_F(MemberFileTest, SettingsSavesKeepTheSettingsTheyReplaced)
{
    const fs::path ini = FDir / "TodayMirvo.ini";
    Write(ini, "; mine\r\n[Option]\r\nBioRaito_0=20\r\n");
    TMirvoOptions options(ini, FDir);
    options.LoadFromIni();
    SaveSettingsKeepingBackup(options);
    SaveSettingsKeepingBackup(options);
    const std::vector<TBackupFile> copies = ListBackups(ini);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].path.filename().string().substr(0, 11), "TodayMirvo-");
    EXPECT_EQ(Bytes(copies[0].path), "; mine\r\n[Option]\r\nBioRaito_0=20\r\n");
    EXPECT_NE(Bytes(ini).find("BioRaito_0=20"), std::string::npos);
}
