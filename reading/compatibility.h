// How two members go together: their biorhythm cycles side by side and their
// birth charts compared, per axis and overall, with a rating word per axis
// and one sentence. No Qt: the 相性 window and mirvo-today --pair show it.
//
// Biorhythm compatibility of an axis: with d the whole days between the two
// birth days and f = CyclePhase(cycle, d) the part of the cycle by which one
// runs ahead of the other, the percent is the cosine form
//     round(50 * (1 + cos(2 * pi * f)))
// 100 for cycles in step, 0 for opposite ones (half a cycle apart); the
// overall percent is the rounded mean of the three axes' percents.
//
// Star comparison of an axis a: the natal body a (Sun, Moon, Mercury) of one
// member against the ten natal bodies of the other, all at 12:00 Japan time
// of the birth dates, scored with the aspect table and each body's weight as
// the day's reading scores them; only used bodies count. Both ways are taken
// (first against second, second against first) and the star score is the
// rounded mean of the two totals, so that it stays on the day's scale.
#pragma once

#include "base/messages.h"
#include "koyomi/datetime.h"
#include "reading/verdict.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mirvo {

// The pair's levels, best first; each has a rating word.
enum TPairLevel : int {
    plExcellent = 0,  // 抜群: bio >= 75 % and star score > 100
    plGood,           // 良好: bio >= 50 % and star score > 0
    plFair,           // まずまず: bio >= 50 % or star score > 0
    plEffort,         // 歩み寄り: bio >= 25 % or star score > -100
    plOpposite,       // 正反対: otherwise
};
constexpr int kPairLevelCount = 5;

// The string table holds the rating word of a level at kPairRatingBase +
// level, the pair's sentence at kPairSentenceBase + 3 * level + axis and the
// aspects' names at kAspectNameBase + aspect entry.

// One aspect between two natal bodies.
struct PairAspect {
    bool secondToFirst = false;  // false: the first member's body `axis` against the second's `body`
    int axis = 0;                // natal body of the one side: 0 Sun, 1 Moon, 2 Mercury
    int body = kNoBody;          // natal body 0..9 of the other side; -1 when no used body forms an aspect
    int aspect = -1;             // entry of the aspect table, 0..11
    float angle = 0;             // degrees between the two bodies
    std::int32_t points = 0;     // weighted score, rounded
};

struct PairAxis {
    int bioCompatibility = 0;   // percent, 0..100
    BodyTable firstToSecond{};  // the first's natal body of the axis against each natal body of the second, weighted, rounded
    BodyTable secondToFirst{};  // and the other way
    std::int32_t starScore = 0; // rounded mean of the two totals of the used bodies
    PairAspect strongest;       // the used aspect with the largest weight either way
    TPairLevel level = plFair;
};

struct TPairCompatibility {
    double daysApart = 0;                 // whole days between the two birth days (0 or more)
    std::array<PairAxis, kAxisCount> axes{};
    int bioCompatibility = 0;             // rounded mean of the axes' percents
    std::int32_t starScore = 0;           // rounded mean of the axes' star scores
    TPairLevel level = plFair;            // from the two overall figures
    int sentenceAxis = 0;                 // the axis the sentence speaks of
    int sentenceId = kPairSentenceBase;   // string-table number of the sentence
};

// The compatibility of two members born on `first` and `second` (only the
// date parts count) under the settings' cycle lengths, weights and use flags.
// Swapping the two members swaps firstToSecond and secondToFirst and the
// direction of the strongest aspects; every figure stays the same.
TPairCompatibility PairCompatibility(koyomi::TDateTime first, koyomi::TDateTime second,
                                     const EvalSettings& settings);

// The level of a biorhythm percent and a star score (the rules above).
TPairLevel PairLevel(int bioPercent, std::int32_t starScore);

// Biorhythm compatibility (percent 0..100) of two cycles `daysApart` days apart.
int BioCompatibility(float cycle, double daysApart);

// Entry of the aspect table whose window holds `angle` for the two bodies,
// or -1 (the entry AspectScore scores).
int AspectEntry(int axis, int body, float angle);

// "%1", "%2", ... of a pattern replaced by the arguments in order.
std::string FillNumbered(const std::string& pattern, const std::vector<std::string>& arguments);

// The strongest aspect of an axis in words, with the two members' names
// (the first member's name first): "花子の太陽と太郎の月: トライン (120°)
// 100点", or "アスペクトなし".
std::string PairAspectText(const PairAspect& aspect, const std::string& firstName, const std::string& secondName);

} // namespace mirvo
