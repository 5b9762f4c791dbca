#include "views/spokentext.h"

#include <gtest/gtest.h>

using namespace mirvo;

namespace {

const Cycles kDefaultCycles = {23.0f, 28.0f, 33.0f};
const std::array<std::string, kAxisCount> kAxisNames = {"健康", "感情", "知性"};

AxisVerdict Verdict(TFace face, TRatingLevel rating)
{
    AxisVerdict v;
    v.face = face;
    v.rating = rating;
    return v;
}

} // namespace

TEST(SpokenText, FacesHaveJapaneseNamesAndWords)
{
    EXPECT_EQ(FaceName(TFace::Good), "好調の顔");
    EXPECT_EQ(FaceName(TFace::Poor), "不調の顔");
    EXPECT_EQ(FaceName(TFace::Critical), "要注意の日");
    EXPECT_EQ(FaceWord(TFace::Good), "好調");
    EXPECT_EQ(FaceWord(TFace::Poor), "不調");
    EXPECT_EQ(FaceWord(TFace::Critical), "要注意");
    // The window's symbol-font letters and the terminal's pictures of the same faces.
    EXPECT_EQ(FaceGlyph(TFace::Good) + FaceGlyph(TFace::Poor) + FaceGlyph(TFace::Critical), "JLM");
    EXPECT_EQ(FaceSymbol(TFace::Good) + FaceSymbol(TFace::Poor) + FaceSymbol(TFace::Critical), "☺☹💣");
}

TEST(SpokenText, AxisRowIsOneSentence)
{
    EXPECT_EQ(AxisSentence("健康", 40, 306, Verdict(TFace::Good, TRatingLevel::Almost)), "健康: 好調, 40 パーセント, 星 306 点, もう少し");
    EXPECT_EQ(AxisSentence("知性", -100, -12, Verdict(TFace::Critical, TRatingLevel::HangIn)),
              "知性: 要注意, -100 パーセント, 星 -12 点, 頑張れ");
}

// Seven days after the birth day: health (23 days) is past its peak,
// feeling (28) at its peak, intellect (33) still rising; at 21 days the
// feeling curve is at its trough.
TEST(SpokenText, CurveDirectionsAroundPeaksAndTroughs)
{
    EXPECT_EQ(CurveDirection(23.0f, 7.0), cdFalling);
    EXPECT_EQ(CurveDirection(28.0f, 7.0), cdPeak);
    EXPECT_EQ(CurveDirection(33.0f, 7.0), cdRising);
    EXPECT_EQ(CurveDirection(28.0f, 21.0), cdTrough);
    EXPECT_EQ(CurveDirection(28.0f, 0.0), cdRising);
    EXPECT_EQ(CurveDirection(28.0f, 14.0), cdFalling);
    // Before the birth day the curve runs the same way as a cycle later.
    EXPECT_EQ(CurveDirection(28.0f, -7.0), cdTrough);
    EXPECT_EQ(CurveDirection(28.0f, -3.0), cdRising);
    // A cycle length the settings allow but no curve has.
    EXPECT_EQ(CurveDirection(0.0f, 7.0), cdFlat);
    EXPECT_EQ(CurveDirection(-5.0f, 7.0), cdFlat);
}

TEST(SpokenText, ChartDescriptionHoldsPercentsAndDirections)
{
    TDayReading reading;
    reading.BioPercent = {94, 100, 97};
    EXPECT_EQ(ChartDescription(kAxisNames, kDefaultCycles, 7.0, reading),
              "表示している日の前後 15 日間のバイオリズム. 健康 94 パーセント, 下降中. "
              "感情 100 パーセント, 山 (いちばん高い日). 知性 97 パーセント, 上昇中");
}

TEST(SpokenText, SignSymbolsAndScoreCells)
{
    EXPECT_EQ(SignSymbolName("牡羊座"), "牡羊座の記号");
    EXPECT_EQ(SignSymbolName(""), "星座の記号");
    EXPECT_EQ(ScoreCellName("健康", "太陽", "12"), "健康, 太陽: 12");
    EXPECT_EQ(ScoreCellName("感情", "冥王星", "-3"), "感情, 冥王星: -3");
    EXPECT_EQ(ScoreCellName("知性", "月", ""), "知性, 月: 0");
    EXPECT_EQ(ScoreCellName("知性", "天王星", "-"), "知性, 天王星: 計算しない");
}
