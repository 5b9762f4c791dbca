// The about box's worked-out texts: the date line and the memo.
#include "version/abouttext.h"
#include "version/version.h"

#include <gtest/gtest.h>

using mirvo::FileDateText;

TEST(AboutDate, SuffixesFollowTheDayNumberNotEnglish)
{
    EXPECT_EQ(FileDateText(1999, 6, 4), "Jun. 4th , 1999");
    EXPECT_EQ(FileDateText(2024, 1, 1), "Jan. 1st , 2024");
    EXPECT_EQ(FileDateText(2024, 2, 2), "Feb. 2nd , 2024");
    EXPECT_EQ(FileDateText(2024, 3, 3), "Mar. 3rd , 2024");
    EXPECT_EQ(FileDateText(2024, 4, 11), "Apr. 11th , 2024");
    EXPECT_EQ(FileDateText(2024, 5, 21), "May. 21th , 2024");
    EXPECT_EQ(FileDateText(2024, 7, 22), "Jul. 22th , 2024");
    EXPECT_EQ(FileDateText(2024, 8, 23), "Aug. 23th , 2024");
    EXPECT_EQ(FileDateText(2024, 12, 31), "Dec. 31th , 2024");
}

TEST(AboutDate, EveryMonthHasItsAbbreviation)
{
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(FileDateText(2000, m, 10), std::string(months[m - 1]) + ". 10th , 2000");
    EXPECT_EQ(FileDateText(2000, 13, 10), "???. 10th , 2000");
    EXPECT_EQ(FileDateText(2000, 0, 10), "???. 10th , 2000");
}

TEST(AboutMemo, VersionLinesOnTopAndTheDateAboveTheLastTwoLines)
{
    const mirvo::TVersion own(mirvo::ProgramFile());
    const std::vector<std::string> fixed = {"credits", "history", "thanks", ""};
    const std::vector<std::string> want = {"今日のミルボ", "Version 1.3.3.142", "", "\"Today Mirvo\"",
                                           "credits",      "history",           "Jun. 4th , 1999", "thanks", ""};
    EXPECT_EQ(mirvo::AboutMemoLines(own, fixed, "Jun. 4th , 1999"), want);
}

TEST(AboutMemo, WithoutVersionInformationTheLinesStayEmpty)
{
    const mirvo::TVersion none(std::span<const std::uint8_t>{});
    const std::vector<std::string> want = {"", "Version ", "", "\"\"", "date", "thanks", ""};
    EXPECT_EQ(mirvo::AboutMemoLines(none, {"thanks", ""}, "date"), want);
    // Too short a fixed text to hold the thank-you line: the date goes first.
    const std::vector<std::string> shortWant = {"", "Version ", "", "\"\"", "date", "only"};
    EXPECT_EQ(mirvo::AboutMemoLines(none, {"only"}, "date"), shortWant);
}
