#include "members/numbertext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>

using namespace mirvo;

TEST(NumberText, Integers)
{
    EXPECT_EQ(ParseDecimalInt("0"), 0);
    EXPECT_EQ(ParseDecimalInt("-12"), -12);
    EXPECT_EQ(ParseDecimalInt("+3"), 3);
    EXPECT_EQ(ParseDecimalInt("007"), 7);
    EXPECT_EQ(ParseDecimalInt("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseDecimalInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"", " 1", "1 ", "1.0", "+-1", "-+1", "--1", "+", "-", "0x10", "2147483648", "１", "x"})
        EXPECT_FALSE(ParseDecimalInt(bad).has_value()) << bad;

    EXPECT_EQ(ParseIntOrHex("0x10"), 16);
    EXPECT_EQ(ParseIntOrHex("0XfF"), 255);
    EXPECT_EQ(ParseIntOrHex("0xFFFFFFFF"), -1);
    EXPECT_EQ(ParseIntOrHex("-5"), -5);
    for (const char* bad : {"0x", "0x-1", "0x+1", "0x1g", "0x100000000", "x10", "$10"})
        EXPECT_FALSE(ParseIntOrHex(bad).has_value()) << bad;
}

TEST(NumberText, DecimalNumbers)
{
    EXPECT_EQ(ParseDecimalNumber("23"), 23.0);
    EXPECT_EQ(ParseDecimalNumber("-1.5"), -1.5);
    EXPECT_EQ(ParseDecimalNumber("+.5"), 0.5);
    EXPECT_EQ(ParseDecimalNumber("5."), 5.0);
    EXPECT_EQ(ParseDecimalNumber("2.5E-3"), 0.0025);
    EXPECT_EQ(ParseDecimalNumber("1e+2"), 100.0);
    EXPECT_EQ(ParseDecimalNumber("0.100000001490116"), 0.100000001490116);
    for (const char* bad : {"", ".", "abc", "1,5", " 1", "1 ", "1e", "e5", "inf", "nan", "INF", "0x10", "1e999",
                            "1.2.3", "++1"})
        EXPECT_FALSE(ParseDecimalNumber(bad).has_value()) << bad;
}

TEST(NumberText, FullWidthFormsAsTypedInJapanese)
{
    EXPECT_EQ(AsciiNumberText("２３"), "23");
    EXPECT_EQ(AsciiNumberText("１．５"), "1.5");
    EXPECT_EQ(AsciiNumberText("－０．５"), "-0.5");
    EXPECT_EQ(AsciiNumberText("\xE2\x88\x92" "1"), "-1");   // MINUS SIGN
    EXPECT_EQ(AsciiNumberText("＋１，０００"), "+1,000");
    EXPECT_EQ(AsciiNumberText("\xE3\x80\x80" "9"), " 9");   // ideographic space
    // Other full-width characters and all other text stay as they are.
    EXPECT_EQ(AsciiNumberText("ａｂｃ１ｅ５"), "ａｂｃ1ｅ5");
    EXPECT_EQ(AsciiNumberText("日付：２０"), "日付：20");
    EXPECT_EQ(AsciiNumberText("\xEF\xBC"), "\xEF\xBC");   // cut short
}

TEST(NumberText, GeneralForm)
{
    EXPECT_EQ(FormatGeneralNumber(23), "23");
    EXPECT_EQ(FormatGeneralNumber(1.5), "1.5");
    EXPECT_EQ(FormatGeneralNumber(0.5), "0.5");
    EXPECT_EQ(FormatGeneralNumber(-2), "-2");
    EXPECT_EQ(FormatGeneralNumber(0), "0");
    EXPECT_EQ(FormatGeneralNumber(100), "100");
    EXPECT_EQ(FormatGeneralNumber(static_cast<double>(0.1f)), "0.100000001490116");
    EXPECT_EQ(FormatGeneralNumber(static_cast<double>(29.53f)), "29.5300006866455");
    EXPECT_EQ(FormatGeneralNumber(0.1), "0.1");
    EXPECT_EQ(FormatGeneralNumber(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatGeneralNumber(0.00001), "0.00001");
    EXPECT_EQ(FormatGeneralNumber(0.0000015), "1.5E-6");
    EXPECT_EQ(FormatGeneralNumber(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatGeneralNumber(1e15), "1E15");
    EXPECT_EQ(FormatGeneralNumber(-3.4e38), "-3.4E38");
    // Rounding to 15 digits may carry into a new digit.
    EXPECT_EQ(FormatGeneralNumber(9.9999999999999999), "10");
}

TEST(NumberText, IgnoresTheLocale)
{
    // The GUI sets the user's locale; a decimal comma there must not reach the files.
    const char* const previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(FormatGeneralNumber(1.5), "1.5");
    EXPECT_EQ(ParseDecimalNumber("1.5"), 1.5);
    EXPECT_FALSE(ParseDecimalNumber("1,5").has_value());
    std::setlocale(LC_ALL, saved.c_str());
}
