// The 31-day biorhythm chart for a terminal, drawn with Braille characters:
// every character cell holds 2 x 4 dots. The geometry is the main window's
// (MakeBioChart), computed on a grid of dots instead of pixels.
#pragma once

#include "reading/biorhythm.h"

#include <string>
#include <vector>

namespace mirvo {

// The chart's size in dots: two dots a day, 8 text lines of 4 dots.
constexpr int kBrailleDotsPerDay = 2;
constexpr int kBrailleChartWidth = kBrailleDotsPerDay * (kChartSamples - 1);  // 60
constexpr int kBrailleChartHeight = 32;
// Text columns of a chart line: the last sample lies on dot column 60.
constexpr int kBrailleChartColumns = kBrailleChartWidth / 2 + 1;            // 31

// The chart of the days around `dayCount` (days since birth) as text lines,
// kBrailleChartColumns columns each. The two axes and a tick mark every
// five days are drawn first, then the curves in axis order, each dot of a
// curve painting over what was there; with `colour` each character takes
// the colour of the last curve that touched it (the axes keep the
// terminal's own colour).
std::vector<std::string> DrawBrailleChart(const Cycles& cycles, double dayCount, bool colour);

// The same for a chart already computed, of any size in dots.
std::vector<std::string> DrawBrailleChart(const BioChart& chart, bool colour);

} // namespace mirvo
