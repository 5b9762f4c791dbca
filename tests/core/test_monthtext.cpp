// mirvo-today's calendar outputs: the month in the terminal, --month with
// --json, --next-good and --ics, each against the core that the month
// window uses; run as the real program.
#include "base/error.h"
#include "base/stringtable.h"
#include "koyomi/datafile.h"
#include "members/memberlist.h"
#include "members/options.h"
#include "reading/monthgrid.h"
#include "start/icalendar.h"
#include "start/todayreport.h"
#include "terminal/monthtext.h"
#include "terminal/terminaltext.h"
#include "terminal/todayargs.h"

#include "datafile.h"
#include "runprogram.h"
#include "testfiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace mirvo;
using koyomi::EncodeDate;
using nlohmann::json;
using testsupport::RunCommand;
using testsupport::ShellQuoted;
using testsupport::TProgramRun;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The text of `line` from terminal column `from` on, `count` columns long.
std::string Columns(const std::string& line, int from, int count)
{
    std::string out;
    int column = 0;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t length = 1;
        while (i + length < line.size() && (static_cast<unsigned char>(line[i + length]) & 0xC0) == 0x80)
            ++length;
        const std::string character = line.substr(i, length);
        if (column >= from && column < from + count)
            out += character;
        column += DisplayWidth(character);
        i += length;
    }
    return out;
}

class MirvoTodayCalendar : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDataFile.Loaded()) << MIRVO_KOSMERA_PATH;
        TMemberList members;
        members.AddMember("山田花子", kSexFemale, EncodeDate(1970, 1, 2), false, "");
        members.SaveToCsv(FDir / "Mirvo.csv");
        TMirvoOptions options(FDir / "TodayMirvo.ini", FDir);
        options.LoadFromIni();
        options.BioCycle = {23, 28.5f, 33};
        options.SaveToIni();
        FSettings = EvalSettingsOf(options);
        FMember = members.Items(0);
    }
    TProgramRun Today(const std::vector<std::string>& args, const std::string& settings = "")
    {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--members", (FDir / "Mirvo.csv").string(), "--settings",
                               settings.empty() ? (FDir / "TodayMirvo.ini").string() : settings});
        return testsupport::RunMirvoToday(all);
    }

    const testsupport::TScratchFolder FScratch{"mirvo-today-calendar-"};
    const fs::path FDir = FScratch.Path();
    const testsupport::TLoadedDataFile FDataFile;
    EvalSettings FSettings;
    TMemberListItem FMember;
};

} // namespace

TEST_F(MirvoTodayCalendar, MonthFitsEightyColumnsAndShowsEveryDay)
{
    const TProgramRun run = Today({"--month", "2026-08"});  // starts on a Saturday: six weeks
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<std::string> lines = Lines(run.out);
    // Title, month, weekday heads, two lines a week, a blank line and two legend lines.
    ASSERT_EQ(lines.size(), 3u + 2 * 6 + 3);
    EXPECT_NE(lines[1].find("2026年8月"), std::string::npos);
    for (const std::string& line : lines)
        EXPECT_LE(DisplayWidth(line), 80) << line;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);  // no colour into a pipe
    // The first day in the Saturday column, the last on Monday of the sixth week.
    const MonthGrid grid = MakeMonthGrid(TMemberDays(FMember.Birthday, FSettings), 2026, 8);
    EXPECT_EQ(Columns(lines[3], 6 * kMonthTextCellWidth, 2), " 1");
    EXPECT_EQ(Columns(lines[3 + 2 * 5], kMonthTextCellWidth, 2), "31");
    // Each day's marks and ratings are those of the grid.
    for (int cell = 0; cell < kMonthGridCells; ++cell) {
        const MonthCell& c = grid.cells[cell];
        if (!c.inMonth)
            continue;
        const int row = cell / kWeekDays;
        const std::string& first = lines[3 + 2 * row];
        const std::string& second = lines[4 + 2 * row];
        const int at = (cell % kWeekDays) * kMonthTextCellWidth;
        SCOPED_TRACE(koyomi::FormatDateTime("yyyy-mm-dd", c.date));
        EXPECT_EQ(Columns(first, at, 2), PadLeft(std::to_string(koyomi::DecodeDate(c.date).day), 2));
        EXPECT_EQ(Columns(first, at + 3, 1) == "!", IsCriticalDay(c.evaluation.verdict));
        std::string digits;
        for (int k = 0; k < kAxisCount; ++k)
            digits += (k ? " " : "") + std::to_string(RatingDigit(c.evaluation.verdict.axes[k].rating));
        EXPECT_EQ(Columns(second, at + 4, 5), digits);
        // 11 August, Mountain Day, is the month's one national holiday.
        EXPECT_EQ(Columns(second, at, 2) == "祝", koyomi::DecodeDate(c.date).day == 11);
    }
}

TEST_F(MirvoTodayCalendar, MonthAsJsonHoldsEveryDaysReading)
{
    const TProgramRun run = Today({"--month=2024-02", "--json"});
    ASSERT_EQ(run.exitCode, 0);
    const json j = json::parse(run.out);
    ASSERT_EQ(j["days"].size(), 29u);
    for (int i = 0; i < 29; ++i) {
        const koyomi::TDateTime day = EncodeDate(2024, 2, 1) + i;
        const Evaluation e = Evaluate(FMember.Birthday, day, FSettings);
        const json& d = j["days"][i];
        EXPECT_EQ(d["date"], koyomi::FormatDateTime("yyyy-mm-dd", day));
        for (int k = 0; k < kAxisCount; ++k) {
            EXPECT_EQ(d["axes"][k]["bioPercent"], e.reading.BioPercent[k]);
            EXPECT_EQ(d["axes"][k]["starTotal"], e.reading.StarTotal[k]);
            EXPECT_EQ(d["axes"][k]["ratingId"], RatingId(e.verdict.axes[k].rating));
        }
        EXPECT_EQ(d["advice"]["id"], e.verdict.adviceId);
        // February 2024: the National Foundation Day on a Sunday, its substitute, the Emperor's Birthday.
        const int dayOfMonth = i + 1;
        const json want = dayOfMonth == 11 ? json("建国記念の日")
                          : dayOfMonth == 12 ? json("振替休日")
                          : dayOfMonth == 23 ? json("天皇誕生日")
                                             : json(nullptr);
        EXPECT_EQ(d["holiday"], want);
    }
    // Without a month: the month of --date.
    const json again = json::parse(Today({"--month", "--date", "2024-02-10", "--json"}).out);
    EXPECT_EQ(again["days"], j["days"]);
}

TEST_F(MirvoTodayCalendar, NextGoodDayIsTheCoresAndNoneIsSaid)
{
    const koyomi::TDateTime shown = EncodeDate(2026, 12, 7);
    const auto good = NextGoodDay(TMemberDays(FMember.Birthday, FSettings), shown);
    ASSERT_TRUE(good);
    const TProgramRun run = Today({"--next-good", "--date", "2026-12-07", "--json"});
    ASSERT_EQ(run.exitCode, 0);
    const json j = json::parse(run.out);
    ASSERT_EQ(j["days"].size(), 1u);
    EXPECT_EQ(j["days"][0]["date"], koyomi::FormatDateTime("yyyy-mm-dd", good->date));
    const TProgramRun text = Today({"--next-good", "--date", "2026-12-07"});
    EXPECT_NE(text.out.find(koyomi::FormatDateTime("yyyy/mm/dd", good->date)), std::string::npos);

    // Cycles of no length never rise above zero: no good day.
    const fs::path flat = FDir / "flat.ini";
    TMirvoOptions options(flat, FDir);
    options.LoadFromIni();
    options.BioCycle = {0, 0, 0};
    options.SaveToIni();
    const TProgramRun none = Today({"--next-good", "--date", "2026-12-07"}, flat.string());
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_NE(none.out.find("366 日先までに好調日はありません."), std::string::npos);
    const json noneJson = json::parse(Today({"--next-good", "--json"}, flat.string()).out);
    EXPECT_TRUE(noneJson["days"].empty());
}

TEST_F(MirvoTodayCalendar, CalendarFilesToTheOutputAndToAFile)
{
    const TProgramRun out = Today({"--ics", "-", "--date", "2026-12-30", "--days", "5"});
    ASSERT_EQ(out.exitCode, 0);
    int events = 0;
    for (auto at = out.out.find("BEGIN:VEVENT"); at != std::string::npos; at = out.out.find("BEGIN:VEVENT", at + 1))
        ++events;
    EXPECT_EQ(events, 5);
    EXPECT_NE(out.out.find("UID:" + IcsUid(FMember, EncodeDate(2027, 1, 3)) + "\r\n"), std::string::npos);
    EXPECT_NE(out.out.find("DTSTART;VALUE=DATE:20270103\r\n"), std::string::npos);

    // Into a file, read by the real parser; without --days, 31 days.
    const fs::path file = FDir / "mirvo.ics";
    ASSERT_EQ(Today({"--ics", file.string(), "--date", "2026-12-07"}).exitCode, 0);
    const TProgramRun parsed = RunCommand("/usr/bin/python3 " + ShellQuoted(MIRVO_SOURCE_DIR "/tests/core/read_ics.py") + " "
                                  + ShellQuoted(file.string()));
    ASSERT_EQ(parsed.exitCode, 0);
    const json j = json::parse(parsed.out);
    ASSERT_EQ(j["events"].size(), static_cast<std::size_t>(31));
    EXPECT_EQ(j["events"][0]["dtstart"], "2026-12-07");
    EXPECT_EQ(j["events"][30]["dtstart"], "2027-01-06");
    EXPECT_EQ(j["events"][0]["summary"].get<std::string>().rfind("ミルボ 山田花子 健康:", 0), 0u);

    // A file that cannot be written: exit 6 and the old one stays.
    const fs::path folder = FDir / "is-a-folder.ics";
    fs::create_directory(folder);
    EXPECT_EQ(Today({"--ics", folder.string()}).exitCode, 6);
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(MirvoTodayCalendar, BadMonthsAndMixedModesAreRefused)
{
    EXPECT_EQ(Today({"--month", "2024-13"}).exitCode, 3);
    EXPECT_EQ(Today({"--month", "24-01"}).exitCode, 3);
    EXPECT_EQ(Today({"--month", "0000-01"}).exitCode, 3);
    EXPECT_EQ(Today({"--month", "--next-good"}).exitCode, 2);
    EXPECT_EQ(Today({"--ics", "-", "--month"}).exitCode, 2);
    EXPECT_EQ(Today({"--next-good=yes"}).exitCode, 2);
    EXPECT_EQ(Today({"--ics"}).exitCode, 2);
    EXPECT_EQ(Today({"--ics", "-", "--date", "9999-12-30", "--days", "3"}).exitCode, 3);
    EXPECT_EQ(Today({"--month", "9999-12"}).exitCode, 0);
}

TEST(MirvoTodayMonthArgs, MonthTakesAnOptionalValue)
{
    EXPECT_EQ(ParseTodayArgs({"--month"}).month, std::string());
    EXPECT_EQ(ParseTodayArgs({"--month", "2026-12"}).month, std::string("2026-12"));
    EXPECT_EQ(ParseTodayArgs({"--month=2026-12", "--json"}).month, std::string("2026-12"));
    const TodayArgs a = ParseTodayArgs({"--month", "--json"});
    EXPECT_EQ(a.month, std::string());
    EXPECT_TRUE(a.json);
    EXPECT_EQ(ParseYearMonth("9999-12"), (std::pair<int, int>{9999, 12}));
    EXPECT_THROW(ParseYearMonth("2026-1"), koyomi::EMirvoError);
    EXPECT_EQ(ParseTodayArgs({"--ics", "-"}).ics, std::string("-"));
    EXPECT_TRUE(ParseTodayArgs({"--next-good"}).nextGood);
}
