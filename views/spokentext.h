// What a screen reader says for the day's reading: names for the symbol
// characters the window draws (faces, heart, star, sign symbols), one
// sentence per axis row, and the chart told in words. No Qt: the windows hand
// these texts to their accessibility interfaces, and every text comes from
// the string table.
#pragma once

#include "base/messages.h"
#include "reading/biorhythm.h"
#include "reading/verdict.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mirvo {

// Where a biorhythm curve goes on the shown day, judged from its values one
// day before and one day after.
enum TCurveDirection : int {
    cdRising = 0,
    cdFalling,
    cdPeak,    // higher than both neighbours (or level with one of them)
    cdTrough,  // lower than both neighbours (or level with one of them)
    cdFlat,    // the same on all three days: a cycle length of 0 or below
};

// The curve of a `cycle`-day cycle at `dayCount` days after the birth day
// (negative before it), by the same fraction as the shown percents.
TCurveDirection CurveDirection(float cycle, double dayCount);

// The name of a face for a screen reader: "好調の顔", "不調の顔", "要注意の日".
std::string FaceName(TFace face);
// The same as one word for a sentence: "好調", "不調", "要注意".
std::string FaceWord(TFace face);

// One axis row of the main window as one sentence, for example
// "健康: 好調, 40 パーセント, 星 306 点, もう少し": the axis name as the row
// shows it, the face's word, the percent, the star total and the rating.
std::string AxisSentence(const std::string& axisName, std::int32_t percent, std::int32_t starTotal,
                         const AxisVerdict& verdict);

// The chart in words: what it covers, then for each axis its name, the
// percent of the shown day and the direction of its curve.
std::string ChartDescription(const std::array<std::string, kAxisCount>& axisNames, const Cycles& cycles,
                             double dayCount, const TDayReading& reading);

// The spoken name of a sign symbol from the sign's name: "牡羊座の記号";
// a general name when the sign name is empty.
std::string SignSymbolName(const std::string& signName);

// A cell of the detail window's score grid, from its row and column heads
// and the text it shows: "健康, 太陽: 12"; an empty cell is a score of 0 and
// "-" a body that is not counted.
std::string ScoreCellName(const std::string& rowName, const std::string& columnName, const std::string& shown);

} // namespace mirvo
