// Every member at a glance: names cut to terminal columns, the columns that
// give way on a narrow terminal, and the JSON array of readings.
#include "base/stringtable.h"
#include "koyomi/datafile.h"
#include "terminal/terminaltext.h"
#include "terminal/todayall.h"
#include "terminal/todayjson.h"

#include "datafile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

using namespace mirvo;
using koyomi::EncodeDate;
using nlohmann::json;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The terminal column at which the n-th `mark` of a line starts (-1: none).
int ColumnOf(const std::string& line, const std::string& mark, int n)
{
    std::size_t pos = 0;
    for (int i = 0; i <= n; ++i) {
        pos = line.find(mark, i == 0 ? 0 : pos + mark.size());
        if (pos == std::string::npos)
            return -1;
    }
    return DisplayWidth(line.substr(0, pos));
}

class AllMembers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDataFile.Loaded()) << MIRVO_KOSMERA_PATH;
        FMembers.AddMember("山田花子", kSexFemale, EncodeDate(1970, 1, 2), false, "");
        FMembers.AddMember("Hana", kSexFemale, EncodeDate(1985, 7, 7), false, "");
        FMembers.AddMember("寿限無寿限無五劫の擦り切れ海砂利水魚", kSexMale, EncodeDate(2001, 11, 30), false, "");
        FMembers.AddMember("Christopher Alexander Longname", kSexMale, EncodeDate(1950, 3, 3), false, "");
        FMembers.AddMember("ﾐﾙﾎﾞ", kSexNone, EncodeDate(1999, 9, 9), false, "");
        FReports = AllMembersReports(FMembers, EvalSettings{}, EncodeDate(2024, 5, 1));
    }

    const testsupport::TLoadedDataFile FDataFile;
    TMemberList FMembers;
    std::vector<TodayReport> FReports;
};

} // namespace

TEST(AllMembersCut, NamesAreCutAtWholeCharactersWithinTheWidth)
{
    EXPECT_EQ(CutToWidth("Hana", 8), "Hana");
    EXPECT_EQ(CutToWidth("山田花子", 8), "山田花子");
    EXPECT_EQ(CutToWidth("Christopher", 8), "Christo…");
    // A full-width character that would overhang is left out whole.
    EXPECT_EQ(CutToWidth("山田花子", 7), "山田花…");
    EXPECT_EQ(CutToWidth("山田花子", 6), "山田…");
    EXPECT_EQ(CutToWidth("ﾐﾙﾎﾞﾐﾙﾎﾞ", 6), "ﾐﾙﾎﾞﾐ…");
    for (int width = 1; width <= 12; ++width)
        EXPECT_LE(DisplayWidth(CutToWidth("寿限無寿限無五劫", width)), width) << width;
}

TEST_F(AllMembers, OneLinePerMemberInColumnsThatFitTheWidth)
{
    for (const int width : {60, 80, 120, 200}) {
        SCOPED_TRACE(width);
        const auto lines = Lines(AllMembersText(FReports, EncodeDate(2024, 5, 1), width, false));
        ASSERT_EQ(lines.size(), 2 + FReports.size());
        EXPECT_EQ(lines[0], "今日のミルボ  2024/05/01");
        for (const std::string& line : lines)
            EXPECT_LE(DisplayWidth(line), width) << line;
        // The head's axis names stand over the faces; the percents and the star totals end in one column.
        for (int k = 0; k < kAxisCount; ++k) {
            const int head = ColumnOf(lines[1], LoadStr(kTextAxisNames + k), 0);
            for (std::size_t r = 2; r < lines.size(); ++r) {
                EXPECT_EQ(ColumnOf(lines[r], "%", k), ColumnOf(lines[2], "%", k)) << lines[r];
                EXPECT_EQ(ColumnOf(lines[r], "点", k), ColumnOf(lines[2], "点", k)) << lines[r];
                EXPECT_EQ(ColumnOf(lines[r], "%", k) - head, ColumnOf(lines[2], "%", k) - head);
            }
        }
    }
}

TEST_F(AllMembers, NarrowTerminalsCutTheNamesFirstAndTheRatingWordsLast)
{
    const auto wide = Lines(AllMembersText(FReports, EncodeDate(2024, 5, 1), 200, false));
    EXPECT_EQ(wide[4].rfind("寿限無寿限無五劫の擦り切れ海砂利水魚", 0), 0u);
    EXPECT_EQ(wide[5].rfind("Christopher Alexander Longname", 0), 0u);
    const std::string rating = RatingText(FReports[0].days[0].evaluation.verdict.axes[0].rating);
    EXPECT_NE(wide[2].find(rating), std::string::npos);

    const auto medium = Lines(AllMembersText(FReports, EncodeDate(2024, 5, 1), 100, false));
    EXPECT_NE(medium[4].find("…"), std::string::npos);
    EXPECT_EQ(medium[2].rfind("山田花子", 0), 0u);
    EXPECT_NE(medium[2].find(rating), std::string::npos);

    // At 60 columns the names keep at least eight columns and the faces stand for the rating words.
    const auto narrow = Lines(AllMembersText(FReports, EncodeDate(2024, 5, 1), 60, false));
    EXPECT_EQ(narrow[2].rfind("山田花子", 0), 0u);
    EXPECT_EQ(narrow[4].rfind("寿限無寿", 0), 0u);
    EXPECT_NE(narrow[4].find("…"), std::string::npos);
    EXPECT_EQ(narrow[2].find(rating), std::string::npos);
}

TEST_F(AllMembers, EmptyListSaysSo)
{
    EXPECT_EQ(AllMembersText({}, EncodeDate(2024, 5, 1), 80, false),
              "今日のミルボ  2024/05/01\nメンバーリストにメンバーがいません.\n");
    EXPECT_EQ(json::parse(AllMembersJson({})), json::array());
}

TEST_F(AllMembers, JsonIsTheArrayOfTheSingleReadings)
{
    const json all = json::parse(AllMembersJson(FReports));
    ASSERT_EQ(all.size(), FReports.size());
    for (std::size_t i = 0; i < FReports.size(); ++i) {
        EXPECT_EQ(all[i], json::parse(ReportJson(FReports[i])));
        EXPECT_EQ(all[i]["member"]["index"], static_cast<int>(i));
    }
}
