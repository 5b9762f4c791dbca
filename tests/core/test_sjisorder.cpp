// The member list's text order: Shift-JIS bytes, a-z as A-Z, shorter first.
#include "members/sjisorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using mirvo::CompareShiftJisText;

TEST(ShiftJisOrder, LettersIgnoreCaseAsTheirUpperCaseBytes)
{
    EXPECT_EQ(CompareShiftJisText("hana", "HANA"), 0);
    EXPECT_EQ(CompareShiftJisText("Hana", "hanb"), -1);
    // 'a' is compared as 'A' (0x41), so it comes before '[' (0x5B) and '_'.
    EXPECT_LT(CompareShiftJisText("a", "["), 0);
    EXPECT_GT(CompareShiftJisText("_", "z"), 0);
}

TEST(ShiftJisOrder, AShorterTextBeforeTheLongerOneItStarts)
{
    EXPECT_LT(CompareShiftJisText("", "a"), 0);
    EXPECT_LT(CompareShiftJisText("ab", "abc"), 0);
    EXPECT_GT(CompareShiftJisText("はなこ", "はな"), 0);
    EXPECT_EQ(CompareShiftJisText("", ""), 0);
}

TEST(ShiftJisOrder, JapaneseByShiftJisNotByUnicode)
{
    // Full-width Ａ is 0x8260 in Shift-JIS, あ 0x82A0: Ａ first, though あ
    // (U+3042) comes before Ａ (U+FF21) in Unicode.
    EXPECT_LT(CompareShiftJisText("Ａ", "あ"), 0);
    // Hiragana (0x82..), katakana (0x83..), kanji (0x88.. and on), then
    // half-width katakana (single bytes 0xA1-0xDF).
    std::vector<std::string> names = {"ｱｷ", "亜紀", "アキ", "あき", "表", "ソラ", "Aki"};
    std::sort(names.begin(), names.end(),
              [](const std::string& x, const std::string& y) { return CompareShiftJisText(x, y) < 0; });
    EXPECT_EQ(names, (std::vector<std::string>{"Aki", "あき", "アキ", "ソラ", "亜紀", "表", "ｱｷ"}));
}

TEST(ShiftJisOrder, TextsShiftJisCannotHoldCompareByTheirUtf8Bytes)
{
    // 😀 has no Shift-JIS code: its UTF-8 lead byte 0xF0 sorts after every Shift-JIS lead byte.
    EXPECT_GT(CompareShiftJisText("😀", "ｱ"), 0);
    EXPECT_GT(CompareShiftJisText("😀", "亜"), 0);
    EXPECT_EQ(CompareShiftJisText("😀", "😀"), 0);
    // NEC's extensions are Shift-JIS (code page 932): ① is 0x8740, before 亜 (0x889F).
    EXPECT_LT(CompareShiftJisText("①", "亜"), 0);
}
