// What the reading means, as values: the face of a biorhythm phase, the
// rating level of an axis and the axis itself, each with one table of how the
// program shows it (the symbol-font letter the window draws, the Unicode
// symbol of the terminal, the string-table numbers, the colour). The
// evaluation hands out these values; the front ends look them up here.
#pragma once

#include "base/messages.h"
#include "members/options.h"

#include <array>
#include <cstdint>
#include <string>

namespace mirvo {

// The face of an axis on the day.
enum class TFace : int {
    Good,      // smiling: the cycle rises (phase below 90 degrees or from 270)
    Poor,      // frowning: the cycle falls (phase 90 to 270 degrees)
    Critical,  // a bomb: within 20 degrees of the peak or the trough
};

// The rating of an axis: 5 for 大変良い down to 1 for 頑張れ.
enum class TRatingLevel : int {
    HangIn = 1,  // 頑張れ
    Almost,      // もう少し
    Average,     // 普通
    Good,        // 良い
    VeryGood,    // 大変良い
};
constexpr int kRatingLevels = 5;

// The three axes, in the order of every per-axis array.
enum TAxis : int {
    axHealth = 0,
    axFeeling,
    axIntellect,
};
constexpr int kAxisCount = kCycleCount;

// The colours of faces and axes, 0x00BBGGRR.
constexpr std::uint32_t kColourWhite = 0x00FFFFFF;
constexpr std::uint32_t kColourAqua = 0x00FFFF00;
constexpr std::uint32_t kColourRed = 0x000000FF;
constexpr std::uint32_t kColourYellow = 0x0000FFFF;

struct FaceLook {
    char glyph;          // letter of the symbol font (Wingdings) the window draws; its picture in reading/glyphs.h
    int spokenName;      // string-table number of its name for a screen reader: 好調の顔
    int spokenWord;      // ... and of its word in a sentence: 好調
};

struct RatingLook {
    TRatingLevel level;
    int text;  // string-table number of the rating word
};

struct AxisLook {
    std::uint32_t colour;  // 0x00BBGGRR
};

// Indexed by TFace.
constexpr std::array<FaceLook, 3> kFaceLooks = {{
    {'J', kSpokenFaceNames + 0, kSpokenFaceWords + 0},  // ☺
    {'L', kSpokenFaceNames + 2, kSpokenFaceWords + 2},  // ☹
    {'M', kSpokenFaceNames + 3, kSpokenFaceWords + 3},  // 💣
}};

// From the best to the worst.
constexpr std::array<RatingLook, kRatingLevels> kRatingLooks = {{
    {TRatingLevel::VeryGood, kRatingVeryGood},
    {TRatingLevel::Good, kRatingGood},
    {TRatingLevel::Average, kRatingAverage},
    {TRatingLevel::Almost, kRatingAlmost},
    {TRatingLevel::HangIn, kRatingHangIn},
}};

// Indexed by TAxis; the names are the string table's kTextAxisNames + axis.
constexpr std::array<AxisLook, kAxisCount> kAxisLooks = {{
    {kColourRed},     // 健康
    {kColourYellow},  // 感情
    {kColourAqua},    // 知性
}};

constexpr const FaceLook& LookOf(TFace face)
{
    return kFaceLooks[static_cast<std::size_t>(face)];
}

// The symbol-font letter of a face as a one-letter text ("J", "L", "M").
std::string FaceGlyph(TFace face);
// The face's picture as a Unicode character: ☺, ☹, 💣.
std::string FaceSymbol(TFace face);

// The string-table number of a rating word.
int RatingId(TRatingLevel level);
// The rating word: 大変良い ... 頑張れ.
std::string RatingText(TRatingLevel level);
// The rating's digit, 5 for 大変良い down to 1 for 頑張れ.
constexpr int RatingDigit(TRatingLevel level)
{
    return static_cast<int>(level);
}

// The colour of an axis (0..kAxisCount-1), 0x00BBGGRR.
constexpr std::uint32_t AxisColour(int axis)
{
    return kAxisLooks[static_cast<std::size_t>(axis)].colour;
}
// The axis name: 健康, 感情, 知性.
std::string AxisName(int axis);

} // namespace mirvo
